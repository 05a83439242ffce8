#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "app/job_host.h"
#include "join/merge_source.h"
#include "join/pcm_stream.h"

namespace partita {

struct ConvertOptions {
    int sampleRate = 44100;
    int channels = 2;
    // Tightens the joins: the last moments of a file and the quiet lead-in of the next are
    // dropped (see ConvertMerge).
    bool gapless = true;
    std::size_t chunkBytes = 5'000'000;
    // When given, receives where each source merged lies in the output (its samples sent).
    std::vector<MergedPiece>* pieces = nullptr;
};

// Decodes every source to PCM in the output format and sends it to `sink`: each source from
// its range start to its range end (or its end), then its silence as zero samples. Sets the
// progress (one step per source) and the status text; the stop request is read after every
// chunk and confirmed with ConfirmStopMerge. A source that cannot be decoded asks Abort, Retry or
// Ignore (CannotLoadFile): Ignore leaves it and its silence out, Abort stops the run.
//
// With `gapless`, W = sampleRate / 10 (bytes and 16-bit sample values alike): a file that is
// not the last loses the last min(W, bytes) bytes of its final chunk, and the mean level of its
// last W sample values is kept; a file that is not the first starts, when its first chunk holds
// more than 6W bytes, at its first positive sample value within the first 2W and then at the
// first value within 3W that is louder than 61.8 % of that kept level. Both cuts fall on whole
// sample frames, so the channels of a stereo stream never trade places.
MergeResult ConvertMerge(const std::vector<MergeSource>& sources, const ConvertOptions& options,
                         PcmDecoder& decoder, PcmSink& sink, JobHost& host);

// A whole convert merge into `outputPath`: starts the encoder `encoderPath` (EncoderNotStarted when
// it cannot be started or is not given), runs ConvertMerge into it and lets it finish the file
// (EncoderFailed when it fails). A merge that does not finish ends the encoder at once.
MergeResult RunConvertMerge(const std::string& encoderPath, const std::string& outputPath,
                            const std::vector<MergeSource>& sources, const ConvertOptions& options,
                            PcmDecoder& decoder, JobHost& host);

}  // namespace partita
