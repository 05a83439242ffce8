#include "split/file_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "app/file_error.h"

namespace partita {
namespace {

// Size of the copy buffer where the kernel cannot copy between the two files.
constexpr std::size_t kCopyBufferSize = 10'000'000;

bool AppendWithBuffer(const ReadOnlyFile& in, std::uint64_t begin, std::uint64_t end,
                      std::FILE* out) {
    std::vector<char> buffer(
        static_cast<std::size_t>(std::min<std::uint64_t>(kCopyBufferSize, end - begin)));
    while (begin < end) {
        std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), end - begin));
        std::size_t got = in.ReadAt(begin, buffer.data(), want);
        if (got == 0)
            return false;
        if (std::fwrite(buffer.data(), 1, got, out) != got) {
            NoteFileError(errno);
            return false;
        }
        begin += got;
    }
    return true;
}

}  // namespace

ReadOnlyFile::ReadOnlyFile(const std::string& path) {
    // Non-blocking for the open only: a named pipe is refused below instead of waited on.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0)
        return;
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode) ||
        ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd_);
        fd_ = -1;
        return;
    }
    size_ = static_cast<std::uint64_t>(info.st_size);
}

ReadOnlyFile::~ReadOnlyFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::size_t ReadOnlyFile::ReadAt(std::uint64_t offset, void* data, std::size_t size) const {
    std::size_t done = 0;
    auto* bytes = static_cast<char*>(data);
    while (done < size) {
        ssize_t n = ::pread(fd_, bytes + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

bool AppendFileRange(const ReadOnlyFile& in, std::uint64_t begin, std::uint64_t end,
                     std::FILE* out) {
    if (!in.IsOpen() || begin > end)
        return false;
    if (begin == end)
        return true;
    if (std::fflush(out) != 0) {
        NoteFileError(errno);
        return false;
    }
    int outFd = ::fileno(out);
    // The stream's own position is unknown to the kernel copy: write at the end of the file.
    off_t outEnd = ::lseek(outFd, 0, SEEK_END);
    if (outEnd < 0)
        return false;
    loff_t inOffset = static_cast<loff_t>(begin);
    bool kernelCopy = true;
    while (static_cast<std::uint64_t>(inOffset) < end) {
        ssize_t n = ::copy_file_range(in.Fd(), &inOffset, outFd, nullptr,
                                      static_cast<std::size_t>(end - inOffset), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP ||
                      errno == EBADF)) {
            kernelCopy = false;
            break;
        }
        if (n < 0)
            NoteFileError(errno);
        if (n <= 0)
            return false;
    }
    bool ok = kernelCopy || AppendWithBuffer(in, static_cast<std::uint64_t>(inOffset), end, out);
    // Bring the stream back to the end of the file for what is written next.
    return std::fseek(out, 0, SEEK_END) == 0 && ok;
}

}  // namespace partita
