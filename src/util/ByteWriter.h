#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace tw {

// Appends to a byte vector with explicit byte order; sizes are patched in afterwards.
// Patching outside the bytes written so far is a programming error (asserted).
class ByteWriter {
public:
    ByteWriter() = default;
    explicit ByteWriter(std::vector<std::uint8_t> initial) : bytes_(std::move(initial)) {}

    void PutU8(std::uint8_t v) { bytes_.push_back(v); }
    void PutU16Le(std::uint16_t v);
    void PutU16Be(std::uint16_t v);
    void PutU32Le(std::uint32_t v);
    void PutU32Be(std::uint32_t v);
    void PutBytes(std::span<const std::uint8_t> bytes);
    void PutText(std::string_view text);
    // Text followed by one NUL byte.
    void PutCString(std::string_view text);
    void PutZeros(std::size_t count) { bytes_.insert(bytes_.end(), count, 0); }

    void PatchU16Le(std::size_t offset, std::uint16_t v);
    void PatchU32Le(std::size_t offset, std::uint32_t v);
    void PatchU32Be(std::size_t offset, std::uint32_t v);

    std::size_t Size() const { return bytes_.size(); }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

// Loose helpers on buffers whose size the caller has made room for (see LoadU32Be).
inline void StoreU16Le(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void StoreU32Le(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void StoreU32Be(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

}  // namespace tw
