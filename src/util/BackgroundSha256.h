#pragma once

#include "util/Sha256.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

namespace tw {

// SHA-256 taken on a thread of its own: the bytes given to Update are copied and hashed while the
// caller goes on, so that a save's digests run beside its encoding, writing and flushing instead
// of after them. At most MaxQueued bytes wait at a time (Update waits while more would). Where no
// thread can be started, the bytes are hashed at once.
class BackgroundSha256 {
public:
    static constexpr std::size_t MaxQueued = std::size_t{4} << 20;

    BackgroundSha256() = default;
    // Stops the thread; what was not hashed yet is dropped.
    ~BackgroundSha256();
    BackgroundSha256(const BackgroundSha256&) = delete;
    BackgroundSha256& operator=(const BackgroundSha256&) = delete;

    void Update(std::span<const std::uint8_t> bytes);
    // Waits until every byte given is hashed; the hasher must not be fed afterwards.
    Sha256::Digest Finish();

private:
    void Run();
    void Stop(bool finish);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<std::uint8_t>> queue_;
    std::size_t queued_ = 0;
    bool finishing_ = false;
    bool stopping_ = false;
    bool inline_ = false;  // no thread could be started
    Sha256 hasher_;        // only the thread touches it while it runs
    std::thread thread_;
};

}  // namespace tw
