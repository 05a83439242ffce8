// Arbitrary bytes as an MPEG audio file: header-based and full analysis, the frame index, time
// mapping and snapping must neither crash nor read out of bounds nor hang.
//
// The first input byte chooses the start offset, whether the bytes are read from memory or
// from a real file (through the reader's windows), and the times asked for.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "mpeg/mpeg_analysis.h"

using partita::BufferedFile;
using partita::MpegAnalysis;

namespace {

const std::string& ScratchPath() {
    static const std::string path = "/tmp/partita-fuzz-" + std::to_string(::getpid()) + ".mp3";
    return path;
}

void Exercise(BufferedFile& file, std::uint8_t choice, std::uint64_t size) {
    MpegAnalysis info;
    const std::uint64_t start = size == 0 ? 0 : (choice * 131u) % (size + 1);
    info.OpenFile(file, "fuzz.mp3", start, (choice & 1) != 0);
    if (info.vbrType != partita::VbrHeaderType::None && !info.indexBuilt) {
        file.Seek(info.dataStart);
        info.BuildFrameIndex(file, [](int percent) { return percent < 101; });
    }
    for (std::uint64_t ms :
         {std::uint64_t{0}, std::uint64_t{1}, std::uint64_t{26}, std::uint64_t{500},
          std::uint64_t{1000} + choice, std::uint64_t{100'000}, info.durationMs,
          info.durationMs + 1, ~std::uint64_t{0}}) {
        info.LocateTime(ms, file);
        info.TimeToOffset(ms, 0, true);
        info.TimeToOffset(ms, choice, true);
        if (info.indexBuilt) {
            // The index overload that opens the file would find no file here; walk the open one.
            info.LocateTime(ms, file);
        }
    }
    for (std::uint64_t offset : {std::uint64_t{0}, start, size / 2, size, size + 7})
        info.SnapToFrame(file, offset);
    info.GetFrameCount();

    MpegAnalysis analysed;
    analysed.AnalyseFile(file, "fuzz.mp3");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::uint8_t choice = data[0];
    const std::uint8_t* bytes = data + 1;
    const std::size_t length = size - 1;
    BufferedFile file;
    if ((choice & 2) == 0) {
        file.OpenMemory({bytes, length});
        Exercise(file, choice, length);
        return 0;
    }
    std::FILE* out = std::fopen(ScratchPath().c_str(), "wb");
    if (!out)
        return 0;
    std::fwrite(bytes, 1, length, out);
    std::fclose(out);
    if (file.Open(ScratchPath()))
        Exercise(file, choice, length);
    file.Close();
    std::remove(ScratchPath().c_str());
    return 0;
}
