#include "util/OwnFolder.h"

#include "util/FileError.h"
#include "util/HostPath.h"

#include <system_error>
#include <vector>

#ifdef _WIN32
#include "util/Win32.h"
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tw {

namespace fs = std::filesystem;

Status CheckOwnFolder(const fs::path& folder) {
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return Status::Failure(PathText(folder) + ": " + LastSystemErrorText());
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return Status::Failure(PathText(folder) + ": it is a link to another place, which Trackwright does not follow for "
                                               "its own files");
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return Status::Failure(PathText(folder) + ": it is not a folder");
#else
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) return Status::Failure(PathText(folder) + ": " + LastSystemErrorText());
    if (S_ISLNK(info.st_mode))
        return Status::Failure(PathText(folder) + ": it is a symbolic link, which Trackwright does not follow for its "
                                               "own files");
    if (!S_ISDIR(info.st_mode)) return Status::Failure(PathText(folder) + ": it is not a folder");
    if (info.st_uid != ::geteuid())
        return Status::Failure(PathText(folder) + ": it belongs to another user, so Trackwright does not trust what it "
                                               "holds");
    if ((info.st_mode & S_IWOTH) != 0)
        return Status::Failure(PathText(folder) + ": other users may write into it, so Trackwright does not trust what "
                                               "it holds (\"chmod o-w\" on it mends that)");
#endif
    return {};
}

Status MakeOwnFolders(const fs::path& root, const fs::path& folder) {
    std::error_code ec;
    if (!root.parent_path().empty()) fs::create_directories(root.parent_path(), ec);
    // The folders from `root` down to `folder`.
    std::vector<fs::path> chain{root};
    const fs::path below = folder.lexically_relative(root);
    if (below.empty() || *below.begin() == "..") {
        if (folder != root) return Status::Failure(PathText(folder) + ": it is not below " + PathText(root));
    } else if (below != ".") {
        for (const fs::path& part : below) chain.push_back(chain.back() / part);
    }
    for (const fs::path& step : chain) {
#ifdef _WIN32
        if (!CreateDirectoryW(step.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return Status::Failure(PathText(step) + ": " + LastSystemErrorText());
#else
        if (::mkdir(step.c_str(), 0700) != 0 && errno != EEXIST)
            return Status::Failure(PathText(step) + ": " + LastSystemErrorText());
#endif
        if (Status own = CheckOwnFolder(step); !own) return own;
    }
    return {};
}

}  // namespace tw
