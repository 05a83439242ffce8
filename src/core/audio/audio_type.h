#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace partita::audio {

// The kind of a source file, as the lists, the split and the merge tell files apart. The values
// are stored and compared as small integers.
enum class AudioType : int {
    Unknown = -1,
    Mpeg = 1,  // MPEG audio layer 1, 2 or 3
    Wav = 2,   // PCM or floating-point samples in a RIFF WAVE (or RF64) file
    Ogg = 3,   // Ogg Vorbis
    Wma = 4,   // Windows Media audio in an ASF container
    Aiff = 5,  // AIFF or AIFF-C
};

inline constexpr int ToInt(AudioType type) {
    return static_cast<int>(type);
}

// The type named by the file's extension (letter case ignored): "mp3", "mp2", "mp1" → MPEG,
// "wav" → WAV, "ogg" → Ogg, "wma", "asf" → WMA, "aif", "aiff" → AIFF. Nothing for no extension,
// another extension or "mpa": such a file has to be opened to be known. Never loads the audio
// module and never touches the file.
std::optional<AudioType> AudioTypeFromExtension(const std::filesystem::path& path);

// The type of an opened stream, from the names the audio module reports for its container
// ("mp3", "wav", "ogg", "asf", "aiff") and its codec ("mp3", "pcm_s16le", "vorbis", "wmav2"):
// MPEG layers 1-3 in any container → MPEG, integer or float PCM in WAV → WAV, Vorbis → Ogg,
// any WMA codec or an ASF container → WMA, an AIFF container → AIFF, anything else Unknown.
AudioType AudioTypeFromStream(std::string_view container, std::string_view codec);

// The type of a file: by its extension when that decides, otherwise by opening it with the
// audio module (loaded here if it is not yet) and looking at its stream. Unknown when the file
// cannot be opened or the module is not available.
AudioType ClassifyAudioFile(const std::filesystem::path& path);

}  // namespace partita::audio
