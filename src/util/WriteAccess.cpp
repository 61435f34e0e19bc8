#include "util/WriteAccess.h"

#include "util/FileError.h"
#include "util/HostPath.h"

#include <system_error>

#ifdef _WIN32
#include "util/Win32.h"
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tw {

namespace fs = std::filesystem;

Status CheckWritableFolder(const fs::path& folder) {
    std::error_code ec;
    fs::path at = folder.empty() ? fs::path(".") : folder;
    while (!fs::exists(at, ec) && at.has_parent_path() && at.parent_path() != at) at = at.parent_path();
#ifdef _WIN32
    // Opened for adding files and closed at once: the folder's access rules and a read-only
    // share answer, and nothing is made.
    HANDLE h = CreateFileW(at.c_str(), FILE_ADD_FILE | FILE_DELETE_CHILD,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return Status::Failure(PathText(at) + ": " + LastSystemErrorText());
    CloseHandle(h);
#else
    // With the process's effective ids, as the system will judge the save's own calls.
    if (::faccessat(AT_FDCWD, at.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
        return Status::Failure(PathText(at) + ": " + LastSystemErrorText());
#endif
    return {};
}

}  // namespace tw
