#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tw {

// Bounds-checked reader over a byte span. Method names carry the byte order.
// A read that does not fit leaves the offset where it was, returns 0 (or an empty value) and
// sets a sticky failure flag, so a parser reads a whole record and checks Ok() once.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> data, std::size_t offset = 0)
        : data_(data), offset_(offset <= data.size() ? offset : data.size()), failed_(offset > data.size()) {}

    bool Ok() const { return !failed_; }
    std::size_t Offset() const { return offset_; }
    std::size_t Size() const { return data_.size(); }
    std::size_t Remaining() const { return data_.size() - offset_; }
    std::span<const std::uint8_t> Data() const { return data_; }

    // Moves to an absolute offset; past the end fails.
    bool Seek(std::size_t offset);
    bool Skip(std::size_t count);

    std::uint8_t U8();
    std::uint16_t U16Le();
    std::uint16_t U16Be();
    std::uint32_t U32Le();
    std::uint32_t U32Be();
    std::int32_t I32Le() { return static_cast<std::int32_t>(U32Le()); }

    // Exactly `count` bytes, or an empty span and failure.
    std::span<const std::uint8_t> Bytes(std::size_t count);
    // Text up to its NUL; the NUL is consumed. No NUL before the end: failure.
    std::string CString();
    // The same as a view of the bytes, without the NUL.
    std::span<const std::uint8_t> CStringBytes();
    // A sub-reader over exactly the next `count` bytes; fails when they are not all there.
    ByteReader Sub(std::size_t count);

private:
    bool Need(std::size_t count);

    std::span<const std::uint8_t> data_;
    std::size_t offset_;
    bool failed_;
};

// Loose helpers on buffers whose size has already been checked by the caller.
inline std::uint16_t LoadU16Le(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::uint16_t LoadU16Be(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }
inline std::uint32_t LoadU32Le(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::uint32_t LoadU32Be(const std::uint8_t* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}

}  // namespace tw
