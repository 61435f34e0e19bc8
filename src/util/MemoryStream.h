#pragma once

#include "util/Stream.h"

#include <memory>
#include <vector>

namespace tw {

// A growable in-memory stream. Its storage grows in steps of 1024 bytes; duplicates share the
// storage (like two handles on one file) and keep positions of their own.
class MemoryStream final : public Stream {
public:
    static constexpr std::size_t GrowthStep = 1024;

    MemoryStream();
    explicit MemoryStream(std::vector<std::uint8_t> content);

    void Seek(std::int64_t offset, SeekOrigin origin = SeekOrigin::Begin) override;
    std::size_t Read(std::span<std::uint8_t> into) override;
    void Write(std::span<const std::uint8_t> bytes) override;
    using Stream::Write;
    std::uint64_t Length() const override { return storage_->size(); }
    std::uint64_t Position() const override { return position_; }
    void Truncate(std::uint64_t length) override;
    std::unique_ptr<Stream> Duplicate() const override;

    std::span<const std::uint8_t> Bytes() const { return *storage_; }
    std::vector<std::uint8_t> Copy() const { return *storage_; }
    std::size_t Capacity() const { return storage_->capacity(); }

private:
    void Reserve(std::size_t size);

    std::shared_ptr<std::vector<std::uint8_t>> storage_;
    std::uint64_t position_ = 0;
};

}  // namespace tw
