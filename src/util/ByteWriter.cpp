#include "util/ByteWriter.h"

#include <cassert>

namespace tw {

void ByteWriter::PutU16Le(std::uint16_t v) {
    bytes_.push_back(static_cast<std::uint8_t>(v));
    bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
}

void ByteWriter::PutU16Be(std::uint16_t v) {
    bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
    bytes_.push_back(static_cast<std::uint8_t>(v));
}

void ByteWriter::PutU32Le(std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(static_cast<std::uint8_t>(v >> shift));
}

void ByteWriter::PutU32Be(std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes_.push_back(static_cast<std::uint8_t>(v >> shift));
}

void ByteWriter::PutBytes(std::span<const std::uint8_t> bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

void ByteWriter::PutText(std::string_view text) {
    bytes_.insert(bytes_.end(), text.begin(), text.end());
}

void ByteWriter::PutCString(std::string_view text) {
    PutText(text);
    bytes_.push_back(0);
}

void ByteWriter::PatchU16Le(std::size_t offset, std::uint16_t v) {
    assert(offset + 2 <= bytes_.size());
    bytes_[offset] = static_cast<std::uint8_t>(v);
    bytes_[offset + 1] = static_cast<std::uint8_t>(v >> 8);
}

void ByteWriter::PatchU32Le(std::size_t offset, std::uint32_t v) {
    assert(offset + 4 <= bytes_.size());
    for (int i = 0; i < 4; ++i) bytes_[offset + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void ByteWriter::PatchU32Be(std::size_t offset, std::uint32_t v) {
    assert(offset + 4 <= bytes_.size());
    for (int i = 0; i < 4; ++i) bytes_[offset + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

}  // namespace tw
