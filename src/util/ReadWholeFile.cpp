#include "util/ReadWholeFile.h"

#include <cstdint>
#include <span>
#include <system_error>

#include "util/FileError.h"
#include "util/FileStream.h"

namespace tw {

Expected<std::string> ReadWholeFile(const std::filesystem::path& path, std::size_t maxBytes, FileMode mode) {
    auto fail = [](std::string why) { return Failure(std::move(why), ErrorKind::System); };
    std::string out;
    std::error_code ec;
    // A link to one of our own files is left to the open, which refuses it and says so.
    const bool own = mode == FileMode::ReadOwn;
    const std::filesystem::file_status status = own ? std::filesystem::symlink_status(path, ec)
                                                    : std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found) return fail("not found");
    if (ec) return fail(ec.message());
    const bool link = own && status.type() == std::filesystem::file_type::symlink;
    if (status.type() != std::filesystem::file_type::regular && !link) return fail("not a regular file");

    try {
        auto file = FileStream::Open(path, mode);
        const std::uint64_t length = file->Length();
        if (length > maxBytes) return fail("too large (" + std::to_string(length) + " bytes)");
        out.resize(static_cast<std::size_t>(length));
        std::size_t got = 0;
        while (got < out.size()) {
            const std::size_t n = file->Read(std::span<std::uint8_t>(
                reinterpret_cast<std::uint8_t*>(out.data()) + got, out.size() - got));
            if (n == 0) break;
            got += n;
        }
        // A file that shrank while being read is taken as far as it went.
        out.resize(got);
    } catch (const FileError& e) {
        return fail(e.what());
    }
    return out;
}

}  // namespace tw
