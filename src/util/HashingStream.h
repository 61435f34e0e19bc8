#pragma once

#include "util/BackgroundSha256.h"
#include "util/Stream.h"

#include <memory>
#include <optional>
#include <string>

namespace tw {

// A stream that passes everything on to another one and takes the SHA-256 of what is written,
// so that a file's digest costs no second reading; the hashing runs on a thread of its own
// (BackgroundSha256). Only a file written straight through from its
// start has a digest here; one that is seeked over or patched has none (Digest gives nullopt).
class HashingStream final : public Stream {
public:
    explicit HashingStream(Stream& inner) : inner_(inner), hasher_(std::make_unique<BackgroundSha256>()) {}

    void Seek(std::int64_t offset, SeekOrigin origin = SeekOrigin::Begin) override { inner_.Seek(offset, origin); }
    std::size_t Read(std::span<std::uint8_t> into) override { return inner_.Read(into); }
    void Write(std::span<const std::uint8_t> bytes) override {
        const std::uint64_t at = inner_.Position();
        inner_.Write(bytes);
        if (at != hashed_) {
            straight_ = false;
            return;
        }
        hasher_->Update(bytes);
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
        const std::unique_ptr<BackgroundSha256> hasher = TakeHasher();
        if (!hasher) return std::nullopt;
        return Sha256::ToHex(hasher->Finish());
    }
    // The same digest, to be finished later while the hashing goes on; null when there is none.
    // The stream must not be written afterwards.
    std::unique_ptr<BackgroundSha256> TakeHasher() {
        if (!straight_ || !hasher_ || hashed_ != inner_.Length()) return nullptr;
        return std::move(hasher_);
    }
    std::uint64_t Size() const { return hashed_; }

private:
    Stream& inner_;
    std::unique_ptr<BackgroundSha256> hasher_;
    std::uint64_t hashed_ = 0;
    bool straight_ = true;
};

}  // namespace tw
