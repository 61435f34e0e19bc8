#include "model/FieldBitStream.h"

#include "util/ByteWriter.h"

#include <cassert>

namespace tw {
namespace {

// The value widths for the two-bit width codes 0 to 3.
constexpr int ValueBits[4] = {6, 11, 21, 32};

bool Fits(std::int32_t value, int bits) {
    const std::int64_t limit = std::int64_t{1} << (bits - 1);
    return value >= -limit && value < limit;
}

// The width code of the smallest width that holds `value` (value != 0).
std::uint32_t WidthCode(std::int32_t value) {
    for (std::uint32_t code = 0; code < 3; ++code) {
        if (Fits(value, ValueBits[code])) return code;
    }
    return 3;
}

}  // namespace

FieldBitStream::FieldBitStream(std::span<const std::uint8_t> data, std::size_t start) : data_(data), next_(start) {}

FieldBitStream::FieldBitStream(ByteWriter& out) : out_(&out), mask_(0x80) {}

int FieldBitStream::FieldBitCount(std::int32_t value) {
    if (value == 0) return 1;
    return 3 + ValueBits[WidthCode(value)];
}

bool FieldBitStream::ReadBitMsbFirst() {
    if (mask_ == 0) {
        current_ = next_ < data_.size() ? data_[next_] : 0;
        ++next_;
        mask_ = 0x80;
    }
    const bool bit = (current_ & mask_) != 0;
    mask_ = static_cast<std::uint8_t>(mask_ >> 1);
    return bit;
}

std::uint32_t FieldBitStream::ReadBitsMsbFirst(int count) {
    std::uint32_t bits = 0;
    for (int i = 0; i < count; ++i) bits = (bits << 1) | (ReadBitMsbFirst() ? 1u : 0u);
    return bits;
}

std::int32_t FieldBitStream::ReadField() {
    if (!ReadBitMsbFirst()) return 0;
    const int width = ValueBits[ReadBitsMsbFirst(2)];
    std::uint32_t bits = ReadBitsMsbFirst(width);
    if (width < 32 && (bits & (1u << (width - 1))) != 0) bits |= ~((1u << width) - 1);  // sign extension
    return static_cast<std::int32_t>(bits);
}

void FieldBitStream::RestartAt(std::size_t position) {
    next_ = position;
    mask_ = 0;
    current_ = 0;
}

void FieldBitStream::WriteBitMsbFirst(bool bit) {
    assert(out_ != nullptr);
    if (bit) current_ = static_cast<std::uint8_t>(current_ | mask_);
    mask_ = static_cast<std::uint8_t>(mask_ >> 1);
    if (mask_ == 0) {
        out_->PutU8(current_);
        current_ = 0;
        mask_ = 0x80;
    }
}

void FieldBitStream::WriteBitsMsbFirst(std::uint32_t bits, int count) {
    for (int i = count - 1; i >= 0; --i) WriteBitMsbFirst(((bits >> i) & 1u) != 0);
}

void FieldBitStream::WriteField(std::int32_t value) {
    if (value == 0) {
        WriteBitMsbFirst(false);
        return;
    }
    const std::uint32_t code = WidthCode(value);
    WriteBitMsbFirst(true);
    WriteBitsMsbFirst(code, 2);
    WriteBitsMsbFirst(static_cast<std::uint32_t>(value), ValueBits[code]);
}

void FieldBitStream::Flush() {
    assert(out_ != nullptr);
    if (mask_ == 0x80) return;
    out_->PutU8(current_);
    current_ = 0;
    mask_ = 0x80;
}

}  // namespace tw
