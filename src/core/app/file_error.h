#pragma once

#include <string>

namespace partita {

// Why a file operation failed, as the system said it (an errno value).
struct FileError {
    int code = 0;      // 0: no reason known
    std::string path;  // the file it concerned; may be empty
};

// The reason in the user's language: the common ones from the string table, any other as the
// C library words it.
std::string FileErrorText(int code);

// The reason of the last failed file operation of this thread. The writers of outputs and the
// readers of sources note it where they fail, before they clean up (which may change errno), so
// that the job that reports the failure can say why.
void NoteFileError(int code, std::string path = {});
// The noted reason; reading clears it.
FileError TakeFileError();

// Why `path` cannot be opened for reading (0 when it can): an errno value.
int ReadErrorOf(const std::string& path);

}  // namespace partita
