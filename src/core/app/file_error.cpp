#include "app/file_error.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <utility>

#include "app/user_message.h"

namespace partita {
namespace {

thread_local FileError lastError;

constexpr std::array<std::pair<int, Msg>, 14> kReasons{{
    {ENOSPC, Msg::ReasonDiskFull},
    {EDQUOT, Msg::ReasonQuota},
    {ENOENT, Msg::ReasonNotFound},
    {EACCES, Msg::ReasonPermission},
    {EPERM, Msg::ReasonPermission},
    {ENAMETOOLONG, Msg::ReasonNameTooLong},
    {EROFS, Msg::ReasonReadOnly},
    {EFBIG, Msg::ReasonTooLarge},
    {ENOTDIR, Msg::ReasonNotFolder},
    {EISDIR, Msg::ReasonIsFolder},
    {EIO, Msg::ReasonInputOutput},
    {EMFILE, Msg::ReasonTooManyFiles},
    {ENFILE, Msg::ReasonTooManyFiles},
    {EEXIST, Msg::ReasonExists},
}};

}  // namespace

std::string FileErrorText(int code) {
    for (const auto& [error, id] : kReasons) {
        if (error == code)
            return Message(id);
    }
    return std::strerror(code);
}

void NoteFileError(int code, std::string path) {
    lastError = {code, std::move(path)};
}

FileError TakeFileError() {
    return std::exchange(lastError, {});
}

int ReadErrorOf(const std::string& path) {
    // Non-blocking: asking why a named pipe was refused must not wait for a writer.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno;
    ::close(fd);
    return 0;
}

}  // namespace partita
