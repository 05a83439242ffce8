#include "mpeg/buffered_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace partita {
namespace {

// One window: large enough that a walk over a file needs few system calls, small enough that
// looking at the head of a file reads little of it.
constexpr std::size_t kWindowSize = 64 * 1024;
// Bytes kept before the requested offset, so a scan that checks a frame ahead and comes back
// (at most one frame, under 3 KiB) stays in the window.
constexpr std::uint64_t kLookBehind = 4096;

}  // namespace

BufferedFile::~BufferedFile() {
    Close();
}

bool BufferedFile::Open(const std::filesystem::path& path) {
    Close();
    // Non-blocking, so a named pipe or a device fails the check below at once instead of
    // waiting for a writer; reads of the regular file that passes it block as usual.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd);
        errno = EISDIR;
        return false;
    }
    fd_ = fd;
    size_ = static_cast<std::uint64_t>(st.st_size);
    return true;
}

void BufferedFile::OpenMemory(std::span<const std::uint8_t> bytes) {
    Close();
    // An empty span may have no data pointer; any non-null pointer marks the memory source.
    static const std::uint8_t kNothing = 0;
    memory_ = bytes.empty() ? &kNothing : bytes.data();
    size_ = bytes.size();
    window_ = memory_;
    windowStart_ = 0;
    windowLength_ = bytes.size();
}

void BufferedFile::Close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    memory_ = nullptr;
    size_ = 0;
    position_ = 0;
    window_ = nullptr;
    windowStart_ = 0;
    windowLength_ = 0;
    readFailed_ = false;
}

std::size_t BufferedFile::PRead(std::uint64_t offset, std::uint8_t* out, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        ssize_t n = ::pread(fd_, out + got, size - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            readFailed_ = true;
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    bytesFetched_ += got;
    return got;
}

bool BufferedFile::Fill(std::uint64_t offset) {
    if (fd_ < 0 || offset >= size_)
        return false;
    if (buffer_.empty())
        buffer_.resize(kWindowSize);
    std::uint64_t start = offset > kLookBehind ? offset - kLookBehind : 0;
    windowLength_ = PRead(start, buffer_.data(), buffer_.size());
    windowStart_ = start;
    window_ = buffer_.data();
    return offset < windowStart_ + windowLength_;
}

bool BufferedFile::WordAtSlow(std::uint64_t offset, std::uint32_t& word) {
    std::uint8_t bytes[4];
    if (ReadAt(offset, bytes, 4) != 4)
        return false;
    word = (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
    return true;
}

std::size_t BufferedFile::ReadAt(std::uint64_t offset, void* out, std::size_t size) {
    auto* dst = static_cast<std::uint8_t*>(out);
    std::size_t done = 0;
    while (done < size) {
        const std::uint64_t at = offset + done;
        if (at >= size_)
            break;
        if (!(at >= windowStart_ && at < windowStart_ + windowLength_)) {
            if (memory_ != nullptr || !Fill(at))
                break;
        }
        const std::size_t inWindow = static_cast<std::size_t>(windowStart_ + windowLength_ - at);
        const std::size_t n = std::min(inWindow, size - done);
        std::memcpy(dst + done, window_ + (at - windowStart_), n);
        done += n;
    }
    return done;
}

std::size_t BufferedFile::Read(void* out, std::size_t size) {
    std::size_t n = ReadAt(position_, out, size);
    position_ += n;
    return n;
}

std::size_t BufferedFile::ReadDirect(std::uint64_t offset, void* out, std::size_t size) {
    if (memory_ != nullptr)
        return ReadAt(offset, out, size);
    if (fd_ < 0 || offset >= size_)
        return 0;
    return PRead(offset, static_cast<std::uint8_t*>(out), size);
}

}  // namespace partita
