#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace tw {

enum class SeekOrigin { Begin, End };

// A seekable byte stream: a file on disk or a growable memory stream. Every operation that
// fails in the platform throws FileError; reading at the end is not a failure (fewer bytes).
class Stream {
public:
    virtual ~Stream() = default;

    virtual void Seek(std::int64_t offset, SeekOrigin origin = SeekOrigin::Begin) = 0;
    // Reads up to into.size() bytes at the position; returns how many were read.
    virtual std::size_t Read(std::span<std::uint8_t> into) = 0;
    // Writes all bytes at the position (extending the stream), or throws.
    virtual void Write(std::span<const std::uint8_t> bytes) = 0;
    virtual std::uint64_t Length() const = 0;
    virtual std::uint64_t Position() const = 0;
    // Sets the length (cutting or zero-extending); the position is left where it was.
    virtual void Truncate(std::uint64_t length) = 0;
    virtual void Flush() {}
    // A second handle on the same content with a position of its own.
    virtual std::unique_ptr<Stream> Duplicate() const = 0;
    // The file's path, or an empty path for streams that are not files.
    virtual std::filesystem::path Path() const { return {}; }

    // Conveniences built on the operations above.
    void Write(std::string_view text) {
        Write(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    }
    void WriteU8(std::uint8_t v) { Write(std::span(&v, 1)); }
    void WriteU16Le(std::uint16_t v);
    void WriteU16Be(std::uint16_t v);
    void WriteU32Le(std::uint32_t v);
    void WriteU32Be(std::uint32_t v);
    // The whole content, read from offset 0; the position ends at the end.
    std::vector<std::uint8_t> ReadAll();
};

}  // namespace tw
