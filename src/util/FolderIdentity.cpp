#include "util/FolderIdentity.h"

#include <cstdio>

#ifdef _WIN32
#include "util/Win32.h"
#else
#include <sys/stat.h>
#include <sys/statfs.h>
#endif

namespace tw {

std::string FolderIdentity(const std::filesystem::path& folder) {
    char text[96];
#ifdef _WIN32
    HANDLE h = CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(h, &info) != 0;
    CloseHandle(h);
    if (!known) return {};
    std::snprintf(text, sizeof text, "vol-%08lx-file-%08lx%08lx", static_cast<unsigned long>(info.dwVolumeSerialNumber),
                  static_cast<unsigned long>(info.nFileIndexHigh), static_cast<unsigned long>(info.nFileIndexLow));
#else
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) return {};
    // The file system's own id where it has one (from its UUID on ext4 and btrfs), else the
    // device number, which is the same for every mount of one file system while it is mounted.
    struct statfs system {};
    unsigned long long id = 0;
    if (::statfs(folder.c_str(), &system) == 0) {
        int parts[2];
        static_assert(sizeof parts == sizeof system.f_fsid);
        __builtin_memcpy(parts, &system.f_fsid, sizeof parts);
        id = (static_cast<unsigned long long>(static_cast<unsigned>(parts[0])) << 32) | static_cast<unsigned>(parts[1]);
    }
    if (id == 0) id = static_cast<unsigned long long>(info.st_dev);
    std::snprintf(text, sizeof text, "fs-%016llx-ino-%llx", id, static_cast<unsigned long long>(info.st_ino));
#endif
    return text;
}

}  // namespace tw
