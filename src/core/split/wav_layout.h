#pragma once

#include <cstdint>
#include <optional>

namespace partita {

class ReadOnlyFile;

// Where the samples of a RIFF/WAVE (or RF64) file lie and how they are framed.
//
// RIFF layout: "RIFF" size32 "WAVE", then chunks of id(4) size32(LE) data, each padded to an
// even length. "fmt " holds format tag, channels, sample rate, byte rate, block align and bits
// per sample, and for coded formats (ADPCM and the like) an extension whose first field after
// its size is the samples per block; "fact" the sample count; "data" the samples. RF64 files
// say "RF64" and keep the real sizes in a "ds64" chunk (RIFF size64, data size64, sample
// count64) with 0xFFFFFFFF in the 32-bit fields.
//
// Times come from the samples: PCM (integer, float, A-law, µ-law) has rate × block align bytes
// per second, a coded format its sample count over its blocks. The byte-rate field is not used:
// writers get it wrong.
struct WavLayout {
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t byteRate = 0;    // as the header says; times never come from it
    std::uint16_t blockAlign = 0;  // bytes of one sample frame (or one coded block)
    std::uint16_t bitsPerSample = 0;
    std::uint64_t dataStart = 0;  // offset of the first sample byte
    std::uint64_t dataSize = 0;   // sample bytes, within the file
    bool rf64 = false;
    std::uint64_t ds64Pos = 0;          // RF64: offset of the ds64 chunk's data
    std::uint64_t factPos = 0;          // offset of the "fact" chunk's sample count, 0 when none
    std::uint32_t samplesPerBlock = 1;  // sample frames in a block (1 for PCM)
    std::uint64_t sampleFrames = 0;     // sample frames in the data

    std::uint64_t DataEnd() const { return dataStart + dataSize; }
    std::uint64_t DurationMs() const;
    // The offset within the samples of a time: whole blocks, never past the samples.
    std::uint64_t DataOffsetOf(std::uint64_t ms) const;
    // The sample frames in the data bytes [from, to) (offsets within the samples, on blocks;
    // `to` may be the end of the data, where a last block may hold fewer).
    std::uint64_t SampleFramesBetween(std::uint64_t from, std::uint64_t to) const;
};

// Reads the layout; nullopt when the file is not a WAVE file with a format and a data chunk.
std::optional<WavLayout> ReadWavLayout(const ReadOnlyFile& file);

}  // namespace partita
