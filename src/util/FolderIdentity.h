#pragma once

#include <filesystem>
#include <string>

namespace tw {

// What a folder is, whatever path reaches it (a bind mount, a second mount, a link): the file
// system it lies on and its number there, as text ("fs-<id>-ino-<n>" on POSIX, "vol-<serial>-
// file-<id>" on Windows). Where the file system gives a lasting id (ext4, btrfs, NTFS) the text
// stays the same across remounts and reboots; elsewhere (vfat, exFAT) it lasts while the file
// system is mounted. Empty when the folder cannot be looked at.
std::string FolderIdentity(const std::filesystem::path& folder);

}  // namespace tw
