#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace partita {

// A file opened for reading by its descriptor, closed on destruction.
class ReadOnlyFile {
  public:
    explicit ReadOnlyFile(const std::string& path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    std::uint64_t Size() const { return size_; }
    // Reads up to `size` bytes at `offset`; returns the count read (short at the end).
    std::size_t ReadAt(std::uint64_t offset, void* data, std::size_t size) const;

  private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

// Appends the bytes [begin, end) of `in` to `out`, at the end of what `out` holds. The kernel
// copies where it can (no pass through user memory); otherwise one buffer is used. False when a
// read or write fails or the source ends early.
bool AppendFileRange(const ReadOnlyFile& in, std::uint64_t begin, std::uint64_t end,
                     std::FILE* out);

}  // namespace partita
