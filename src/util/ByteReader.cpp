#include "util/ByteReader.h"

#include <cstring>

namespace tw {

bool ByteReader::Need(std::size_t count) {
    if (count > data_.size() - offset_) {
        failed_ = true;
        return false;
    }
    return true;
}

bool ByteReader::Seek(std::size_t offset) {
    if (offset > data_.size()) {
        failed_ = true;
        return false;
    }
    offset_ = offset;
    return true;
}

bool ByteReader::Skip(std::size_t count) {
    if (!Need(count)) return false;
    offset_ += count;
    return true;
}

std::uint8_t ByteReader::U8() {
    if (!Need(1)) return 0;
    return data_[offset_++];
}

std::uint16_t ByteReader::U16Le() {
    if (!Need(2)) return 0;
    const auto v = LoadU16Le(data_.data() + offset_);
    offset_ += 2;
    return v;
}

std::uint16_t ByteReader::U16Be() {
    if (!Need(2)) return 0;
    const auto v = LoadU16Be(data_.data() + offset_);
    offset_ += 2;
    return v;
}

std::uint32_t ByteReader::U32Le() {
    if (!Need(4)) return 0;
    const auto v = LoadU32Le(data_.data() + offset_);
    offset_ += 4;
    return v;
}

std::uint32_t ByteReader::U32Be() {
    if (!Need(4)) return 0;
    const auto v = LoadU32Be(data_.data() + offset_);
    offset_ += 4;
    return v;
}

std::span<const std::uint8_t> ByteReader::Bytes(std::size_t count) {
    if (!Need(count)) return {};
    auto out = data_.subspan(offset_, count);
    offset_ += count;
    return out;
}

std::span<const std::uint8_t> ByteReader::CStringBytes() {
    const std::uint8_t* start = data_.data() + offset_;
    const auto* end = offset_ < data_.size()
                          ? static_cast<const std::uint8_t*>(std::memchr(start, 0, data_.size() - offset_))
                          : nullptr;
    if (end == nullptr) {
        failed_ = true;
        return {};
    }
    const auto length = static_cast<std::size_t>(end - start);
    offset_ += length + 1;
    return data_.subspan(offset_ - length - 1, length);
}

std::string ByteReader::CString() {
    const std::span<const std::uint8_t> text = CStringBytes();
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

ByteReader ByteReader::Sub(std::size_t count) {
    if (!Need(count)) {
        ByteReader empty({});
        empty.failed_ = true;
        return empty;
    }
    ByteReader sub(data_.subspan(offset_, count));
    offset_ += count;
    return sub;
}

}  // namespace tw
