#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace partita {

// A read-only file with a position, read through a window of the file kept in memory, so a
// scan that looks at one 4-byte word per byte costs no system call per word. It can also read
// from bytes already in memory (tests and fuzzing). Reads past the end return fewer bytes.
class BufferedFile {
  public:
    BufferedFile() = default;
    ~BufferedFile();
    BufferedFile(const BufferedFile&) = delete;
    BufferedFile& operator=(const BufferedFile&) = delete;

    // Opens a file for reading; false when it cannot be opened or is not a regular file.
    bool Open(const std::filesystem::path& path);
    // Reads from `bytes`, which must outlive the reading.
    void OpenMemory(std::span<const std::uint8_t> bytes);
    void Close();
    bool IsOpen() const { return fd_ >= 0 || memory_ != nullptr; }

    // Size when opened.
    std::uint64_t Size() const { return size_; }
    std::uint64_t Tell() const { return position_; }
    void Seek(std::uint64_t offset) { position_ = offset; }
    void Skip(std::uint64_t bytes) { position_ += bytes; }

    // Reads up to `size` bytes at the position and moves past them; returns the count read.
    std::size_t Read(void* out, std::size_t size);
    // Reads up to `size` bytes at `offset` without moving the position.
    std::size_t ReadAt(std::uint64_t offset, void* out, std::size_t size);
    // Reads at `offset` straight from the file, leaving the window alone (for a few bytes far
    // from where the scanning happens, such as a trailing tag).
    std::size_t ReadDirect(std::uint64_t offset, void* out, std::size_t size);

    // The big-endian word at `offset`; false when fewer than 4 bytes can be read there.
    bool WordAt(std::uint64_t offset, std::uint32_t& word) {
        if (offset >= windowStart_ && offset - windowStart_ + 4 <= windowLength_) {
            const std::uint8_t* p = window_ + (offset - windowStart_);
            word = (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
                   (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
            return true;
        }
        return WordAtSlow(offset, word);
    }

    // Bytes read from the file system so far (to check how much of a file an operation reads).
    std::uint64_t BytesFetched() const { return bytesFetched_; }
    // Whether a read failed for another reason than the end of the file.
    bool ReadFailed() const { return readFailed_; }

  private:
    bool WordAtSlow(std::uint64_t offset, std::uint32_t& word);
    // Loads the window so that it holds `offset` (with some bytes before it); false when the
    // offset is at or past the end.
    bool Fill(std::uint64_t offset);
    std::size_t PRead(std::uint64_t offset, std::uint8_t* out, std::size_t size);

    int fd_ = -1;
    const std::uint8_t* memory_ = nullptr;
    std::uint64_t size_ = 0;
    std::uint64_t position_ = 0;
    std::vector<std::uint8_t> buffer_;
    const std::uint8_t* window_ = nullptr;
    std::uint64_t windowStart_ = 0;
    std::size_t windowLength_ = 0;
    std::uint64_t bytesFetched_ = 0;
    bool readFailed_ = false;
};

}  // namespace partita
