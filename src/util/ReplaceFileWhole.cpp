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
    if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw FileError(LastSystemErrorText());
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
        auto stream = FileStream::Open(temp, FileMode::CreateExclusive);
        written = write(*stream);
        if (written) stream->Flush();
    } catch (const FileError& e) {
        failure = e.what();
        written = false;
    }

    bool moved = false;
    if (written) {
        const FileMode heldMode = held != nullptr ? held->Mode() : FileMode::ReadShared;
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
