#pragma once

#include "util/Sha256.h"
#include "util/Stream.h"

#include <memory>
#include <optional>
#include <string>

namespace tw {

// A stream that passes everything on to another one and takes the SHA-256 of what is written,
// so that a file's digest costs no second reading. Only a file written straight through from its
// start has a digest here; one that is seeked over or patched has none (Digest gives nullopt).
class HashingStream final : public Stream {
public:
    explicit HashingStream(Stream& inner) : inner_(inner) {}

    void Seek(std::int64_t offset, SeekOrigin origin = SeekOrigin::Begin) override { inner_.Seek(offset, origin); }
    std::size_t Read(std::span<std::uint8_t> into) override { return inner_.Read(into); }
    void Write(std::span<const std::uint8_t> bytes) override {
        const std::uint64_t at = inner_.Position();
        inner_.Write(bytes);
        if (at != hashed_) {
            straight_ = false;
            return;
        }
        hasher_.Update(bytes);
        hashed_ += bytes.size();
    }
    using Stream::Write;
    std::uint64_t Length() const override { return inner_.Length(); }
    std::uint64_t Position() const override { return inner_.Position(); }
    void Truncate(std::uint64_t length) override {
        if (length < hashed_) straight_ = false;
        inner_.Truncate(length);
    }
    void Flush() override { inner_.Flush(); }
    std::unique_ptr<Stream> Duplicate() const override { return inner_.Duplicate(); }
    std::filesystem::path Path() const override { return inner_.Path(); }

    // The digest in hexadecimal and the size of what was written, when it was written straight
    // through; the stream must not be written afterwards.
    std::optional<std::string> Digest() {
        if (!straight_ || hashed_ != inner_.Length()) return std::nullopt;
        return Sha256::ToHex(hasher_.Finish());
    }
    std::uint64_t Size() const { return hashed_; }

private:
    Stream& inner_;
    Sha256 hasher_;
    std::uint64_t hashed_ = 0;
    bool straight_ = true;
};

}  // namespace tw
