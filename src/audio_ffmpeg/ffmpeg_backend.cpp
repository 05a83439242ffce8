// The audio module: the FFmpeg-backed implementation of the audio layer, loaded by the core at
// run time through its one exported function.

#include <mutex>
#include <string>

#include "ffmpeg_stream.h"

extern "C" {
#include <libavutil/avutil.h>
}

namespace partita::audio::ffmpeg {
namespace {

std::string VersionText(unsigned version) {
    return std::to_string(version >> 16) + "." + std::to_string((version >> 8) & 0xFF) + "." +
           std::to_string(version & 0xFF);
}

class FfmpegBackend final : public AudioBackend {
  public:
    std::string SelfCheck() override {
        std::string missing;
        // The libraries found at run time must be those the module was built against.
        if (avformat_version() >> 16 != LIBAVFORMAT_VERSION_MAJOR ||
            avcodec_version() >> 16 != LIBAVCODEC_VERSION_MAJOR ||
            swresample_version() >> 16 != LIBSWRESAMPLE_VERSION_MAJOR ||
            avutil_version() >> 16 != LIBAVUTIL_VERSION_MAJOR)
            missing += " library versions (" + Versions() + ")";
        for (const char* reader : {"mp3", "wav", "ogg", "asf", "aiff"}) {
            if (!av_find_input_format(reader))
                missing += std::string(" reader ") + reader;
        }
        for (AVCodecID codec : {AV_CODEC_ID_MP3, AV_CODEC_ID_MP2, AV_CODEC_ID_MP1,
                                AV_CODEC_ID_PCM_S16LE, AV_CODEC_ID_VORBIS, AV_CODEC_ID_WMAV2}) {
            if (!avcodec_find_decoder(codec))
                missing += std::string(" decoder ") + avcodec_get_name(codec);
        }
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
        SwrContext* raw = nullptr;
        int result = swr_alloc_set_opts2(&raw, &mono, AV_SAMPLE_FMT_S16, 22050, &stereo,
                                         AV_SAMPLE_FMT_FLTP, 44100, 0, nullptr);
        ResamplerPtr resampler(raw);
        if (result < 0 || swr_init(raw) < 0)
            missing += " resampler";
        return missing;
    }

    std::string Versions() override {
        return "libavformat " + VersionText(avformat_version()) + ", libavcodec " +
               VersionText(avcodec_version()) + ", libswresample " +
               VersionText(swresample_version()) + ", libavutil " + VersionText(avutil_version());
    }

    std::unique_ptr<AudioStream> Open(const std::string& path, const OpenOptions& options,
                                      OpenError& error) override {
        return FfmpegStream::Open(path, options, error);
    }
};

}  // namespace
}  // namespace partita::audio::ffmpeg

extern "C" __attribute__((visibility("default"))) partita::audio::AudioBackend*
partita_audio_backend(int interfaceVersion) {
    using namespace partita::audio;
    if (interfaceVersion != kAudioBackendVersion)
        return nullptr;
    // FFmpeg reports damaged input on standard error by default; the program reports failures
    // itself.
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_QUIET); });
    static ffmpeg::FfmpegBackend backend;
    return &backend;
}
