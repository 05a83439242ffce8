#include "split/wav_cut.h"

#include <cstdio>
#include <optional>

#include "app/output_file.h"
#include "split/file_copy.h"

namespace partita {
namespace {

void PutLe32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

bool WriteAt(std::FILE* out, std::uint64_t offset, const void* data, std::size_t size) {
    return ::fseeko(out, static_cast<off_t>(offset), SEEK_SET) == 0 &&
           std::fwrite(data, 1, size, out) == size;
}

bool WriteLe32At(std::FILE* out, std::uint64_t offset, std::uint32_t value) {
    std::uint8_t bytes[4];
    PutLe32(bytes, value);
    return WriteAt(out, offset, bytes, 4);
}

bool WriteLe64At(std::FILE* out, std::uint64_t offset, std::uint64_t value) {
    std::uint8_t bytes[8];
    PutLe32(bytes, static_cast<std::uint32_t>(value));
    PutLe32(bytes + 4, static_cast<std::uint32_t>(value >> 32));
    return WriteAt(out, offset, bytes, 8);
}

// Fixes the sizes of a WAV output whose samples are the source's `range` (a pad byte follows an
// odd count), and its sample count.
bool PatchWavSizes(std::FILE* out, const WavLayout& layout, ByteRange range) {
    const std::uint64_t dataBytes = range.end - range.begin;
    const std::uint64_t riffSize = layout.dataStart + dataBytes + (dataBytes & 1) - 8;
    const std::uint64_t frames =
        layout.SampleFramesBetween(range.begin - layout.dataStart, range.end - layout.dataStart);
    if (layout.rf64) {
        if (layout.ds64Pos != 0 && (!WriteLe64At(out, layout.ds64Pos, riffSize) ||
                                    !WriteLe64At(out, layout.ds64Pos + 8, dataBytes) ||
                                    !WriteLe64At(out, layout.ds64Pos + 16, frames))) {
            return false;
        }
    } else {
        if (riffSize > 0xFFFFFFFF)
            return false;  // more than a RIFF file can describe
        if (!WriteLe32At(out, 4, static_cast<std::uint32_t>(riffSize)) ||
            !WriteLe32At(out, layout.dataStart - 4, static_cast<std::uint32_t>(dataBytes))) {
            return false;
        }
    }
    if (layout.factPos != 0 && frames <= 0xFFFFFFFF &&
        !WriteLe32At(out, layout.factPos, static_cast<std::uint32_t>(frames))) {
        return false;
    }
    return std::fseek(out, 0, SEEK_END) == 0;
}

}  // namespace

ByteRange WavSampleRange(const WavLayout& layout, std::uint64_t startMs, std::uint64_t endMs) {
    return ByteRange{layout.dataStart + layout.DataOffsetOf(startMs),
                     layout.dataStart + layout.DataOffsetOf(endMs)};
}

CutOutcome CutWav(const std::string& sourcePath, const WavLayout& layout,
                  const std::string& outPath, std::uint64_t startMs, std::uint64_t endMs,
                  ByteRange* copied, ExistingOutput existing) {
    if (startMs > endMs)
        return CutOutcome::Failed;
    const ByteRange range = WavSampleRange(layout, startMs, endMs);
    if (range.begin >= range.end)
        return CutOutcome::Failed;  // no samples there (a track past the end of a shrunk source)
    ReadOnlyFile in(sourcePath);
    std::optional<WavLayout> now = in.IsOpen() ? ReadWavLayout(in) : std::nullopt;
    if (!now || now->dataStart != layout.dataStart)
        return CutOutcome::Failed;  // the file changed since it was analysed
    OutputFile out;
    if (!out.Open(outPath))
        return CutOutcome::Failed;
    const std::uint64_t dataBytes = range.end - range.begin;
    const std::uint8_t pad = 0;
    bool ok = AppendFileRange(in, 0, layout.dataStart, out.Stream()) &&
              AppendFileRange(in, range.begin, range.end, out.Stream()) &&
              ((dataBytes & 1) == 0 || out.Write(&pad, 1)) &&
              PatchWavSizes(out.Stream(), layout, range);
    const CutOutcome outcome = ok ? CommitCut(out, existing) : CutOutcome::Failed;
    if (outcome == CutOutcome::Written && copied)
        *copied = range;
    return outcome;
}

}  // namespace partita
