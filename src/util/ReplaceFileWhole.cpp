#include "util/ReplaceFileWhole.h"

#include "util/FileError.h"

#include <atomic>
#include <system_error>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace tw {
namespace {

std::filesystem::path TemporaryBeside(const std::filesystem::path& target) {
    static std::atomic<unsigned> counter{0};
#ifdef _WIN32
    const unsigned long pid = GetCurrentProcessId();
#else
    const unsigned long pid = static_cast<unsigned long>(::getpid());
#endif
    std::filesystem::path temp = target;
    temp += ".tw" + std::to_string(pid) + "-" + std::to_string(counter++) + ".tmp";
    return temp;
}

void MoveOver(const std::filesystem::path& from, const std::filesystem::path& to) {
#ifdef _WIN32
    // One rename within the folder: the name holds either the old or the new file, never
    // neither. ReplaceFileW would keep the old file's attributes and security, but it works in
    // several steps and can fail after it has moved the old file aside
    // (ERROR_UNABLE_TO_MOVE_REPLACEMENT_2). No MOVEFILE_COPY_ALLOWED: the temporary file is in
    // the same folder, so a copy is never needed, and a copy would not be one step.
    //
    // Virus scanners and indexers open new files for a moment; a sharing failure is tried again
    // a few times before it counts. A file held open by another program stays a failure.
    constexpr int Attempts = 5;
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return;
        const DWORD code = GetLastError();
        const bool transient = code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION ||
                               code == ERROR_ACCESS_DENIED;
        if (!transient || attempt == Attempts) {
            SetLastError(code);
            throw FileError(LastSystemErrorText());
        }
        Sleep(50);
    }
#else
    std::error_code ec;
    std::filesystem::rename(from, to, ec);
    if (ec) throw FileError(ec.message());
#endif
}

}  // namespace

bool ReplaceFileWhole(const std::filesystem::path& target, const std::function<bool(Stream&)>& write,
                      std::string* error, FileStream* held) {
    const std::filesystem::path temp = TemporaryBeside(target);
    std::string failure;
    bool written = false;
    try {
        // Closed at the end of this block: Windows cannot rename a file that is still open.
        auto stream = FileStream::Open(temp, FileMode::CreateExclusive);
        written = write(*stream);
        if (written) stream->Flush();
    } catch (const FileError& e) {
        failure = e.what();
        written = false;
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
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
            MoveOver(temp, target);
            moved = true;
        } catch (const FileError& e) {
            failure = e.what();
        }
        if (held != nullptr) {
            try {
                held->Reopen(target, heldMode);
            } catch (const FileError& e) {
                if (failure.empty()) failure = e.what();
                moved = false;
            }
        }
    }
    if (!moved) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        if (error != nullptr) *error = failure;
        return false;
    }
    return true;
}

}  // namespace tw
