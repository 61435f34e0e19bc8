#include "util/ReplaceFileWhole.h"

#include "util/FileError.h"
#include "util/FileSystem.h"
#include "util/RandomName.h"

#include <system_error>

namespace tw {
namespace {

namespace fs = std::filesystem;

// A target that is a symbolic link is replaced where the link leads, so the link stays.
fs::path FollowLink(const fs::path& target) {
    std::error_code ec;
    if (!fs::is_symlink(target, ec)) return target;
    const fs::path resolved = fs::canonical(target, ec);
    return ec ? target : resolved;
}

}  // namespace

Status ReplaceFileWhole(const fs::path& requested, const std::function<bool(Stream&)>& write, FileStream* held) {
    FileSystem& files = HostFileSystem();
    const fs::path target = FollowLink(requested);
    const fs::path temp = FreshNameBeside(target, ".new");
    std::error_code ec;
    const bool existed = fs::exists(target, ec);
    std::string failure;
    bool written = false;
    try {
        // Closed at the end of this block: Windows cannot rename a file that is still open.
        auto stream = files.CreateNew(temp, existed ? &target : nullptr);
        written = write(*stream);
        if (written) stream->Flush();
    } catch (const FileError& e) {
        failure = e.what();
        written = false;
    } catch (...) {
        try {
            files.Remove(temp);
        } catch (const FileError&) {
        }
        throw;
    }

    bool moved = false;
    if (written) {
        const FileMode heldMode = held != nullptr ? held->Mode() : FileMode::ReadShared;
        // Our own handle must go before the rename. Opening with FILE_SHARE_DELETE instead would
        // let other programs delete or rename the player's files while we hold them, and NTFS
        // still refuses to rename over a file that has open handles unless POSIX rename
        // semantics are asked for (newer Windows 10 only). Every duplicate of the held stream
        // must therefore be gone too: on Windows the rename fails while another one is open.
        if (held != nullptr) held->Close();
        try {
            files.Replace(temp, target);
            moved = true;
        } catch (const FileError& e) {
            failure = e.what();
        }
        if (held != nullptr) {
            try {
                held->Reopen(requested, heldMode);
            } catch (const FileError& e) {
                if (failure.empty()) failure = e.what();
                moved = false;
            }
        }
    }
    if (!moved) {
        try {
            files.Remove(temp);
        } catch (const FileError&) {
        }
        return Failure(failure, ErrorKind::System);
    }
    return {};
}

}  // namespace tw
