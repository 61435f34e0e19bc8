#include "util/BackgroundSha256.h"

#include <algorithm>
#include <system_error>

namespace tw {

BackgroundSha256::~BackgroundSha256() { Stop(false); }

void BackgroundSha256::Update(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return;
    if (!thread_.joinable() && !inline_) {
        // Started with the first bytes: a stream that writes nothing costs no thread.
        try {
            thread_ = std::thread([this] { Run(); });
        } catch (const std::system_error&) {
            inline_ = true;
        }
    }
    if (inline_) {
        hasher_.Update(bytes);
        return;
    }
    // In pieces, so that a large write waits for room instead of being copied whole.
    while (!bytes.empty()) {
        const std::size_t size = std::min(bytes.size(), MaxQueued / 4);
        std::vector<std::uint8_t> piece(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
        bytes = bytes.subspan(size);
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return queued_ + piece.size() <= MaxQueued; });
            queued_ += piece.size();
            queue_.push_back(std::move(piece));
        }
        changed_.notify_all();
    }
}

Sha256::Digest BackgroundSha256::Finish() {
    Stop(true);
    return hasher_.Finish();
}

void BackgroundSha256::Stop(bool finish) {
    if (!thread_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        (finish ? finishing_ : stopping_) = true;
    }
    changed_.notify_all();
    thread_.join();
}

void BackgroundSha256::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return stopping_ || finishing_ || !queue_.empty(); });
        // Finishing hashes what is queued first; stopping drops it.
        if (stopping_ || queue_.empty()) return;
        std::vector<std::uint8_t> piece = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        hasher_.Update(piece);
        lock.lock();
        queued_ -= piece.size();
        changed_.notify_all();
    }
}

}  // namespace tw
