#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace partita {

// The run of the MP3 encoder that a convert merge feeds: raw signed 16-bit little-endian PCM on
// standard input ("-r" marks the input headerless; "-s" gives its rate in kHz, "-m mono" one
// channel), the output file named last. `arguments` is what the process is started with (no
// shell ever sees it); `text` is the same command as one quoted line, for messages.
struct EncoderCommand {
    std::vector<std::string> arguments;
    std::string text;
};

EncoderCommand MakeEncoderCommand(const std::string& encoderPath, const std::string& outputPath,
                                  int sampleRate, int channels);

// The name of the encoder program.
inline constexpr std::string_view kEncoderName = "lame";

// Finds the encoder: in the folder `installPath` ("Install Path") when set, then in
// `programFolder`, then along `searchPath` (a PATH value). Only an executable regular file
// counts. Empty when none is found.
std::string FindEncoder(std::string_view installPath, std::string_view programFolder,
                        std::string_view searchPath);

// The folder of the running program (empty when it cannot be told).
std::string ProgramFolder();

}  // namespace partita
