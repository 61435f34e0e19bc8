#include "util/MemoryStream.h"

#include "util/FileError.h"

#include <algorithm>
#include <cstring>

namespace tw {

MemoryStream::MemoryStream() : storage_(std::make_shared<std::vector<std::uint8_t>>()) {}

MemoryStream::MemoryStream(std::vector<std::uint8_t> content)
    : storage_(std::make_shared<std::vector<std::uint8_t>>(std::move(content))) {}

void MemoryStream::Seek(std::int64_t offset, SeekOrigin origin) {
    const std::int64_t base = origin == SeekOrigin::Begin ? 0 : static_cast<std::int64_t>(storage_->size());
    const std::int64_t target = base + offset;
    if (target < 0) throw FileError("Seek before the start of a memory stream.");
    position_ = static_cast<std::uint64_t>(target);
}

std::size_t MemoryStream::Read(std::span<std::uint8_t> into) {
    if (position_ >= storage_->size()) return 0;
    const std::size_t available = storage_->size() - static_cast<std::size_t>(position_);
    const std::size_t count = std::min(available, into.size());
    if (count > 0) std::memcpy(into.data(), storage_->data() + position_, count);
    position_ += count;
    return count;
}

void MemoryStream::Reserve(std::size_t size) {
    if (size <= storage_->capacity()) return;
    // Grow in whole steps, as the containers and resources expect of their scratch streams.
    const std::size_t rounded = (size + GrowthStep - 1) / GrowthStep * GrowthStep;
    storage_->reserve(std::max(rounded, storage_->capacity() + GrowthStep));
}

void MemoryStream::Write(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return;
    const std::size_t end = static_cast<std::size_t>(position_) + bytes.size();
    Reserve(end);
    if (end > storage_->size()) storage_->resize(end);
    std::memcpy(storage_->data() + position_, bytes.data(), bytes.size());
    position_ = end;
}

void MemoryStream::Truncate(std::uint64_t length) {
    Reserve(static_cast<std::size_t>(length));
    storage_->resize(static_cast<std::size_t>(length));
}

std::unique_ptr<Stream> MemoryStream::Duplicate() const {
    auto copy = std::make_unique<MemoryStream>();
    copy->storage_ = storage_;
    return copy;
}

}  // namespace tw
