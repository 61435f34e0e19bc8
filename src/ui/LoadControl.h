#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>

namespace tw {

// What the loading window and its worker share. The worker reads `cancel` at its checks, sets
// `result` to 2 when it fails, and stops; `done` is set when the worker function has returned
// (the worker may also set it itself). The window sets `result` to 2 and `cancel` to 1 on
// Cancel and closes on the first timer tick that finds `done` set.
// Only the standard library here, so that a load that knows nothing of the window can take it.
class LoadControl {
public:
    static constexpr int Loaded = 1;
    static constexpr int Failed = 2;

    std::atomic<int> cancel{0};
    std::atomic<int> done{0};
    std::atomic<int> result{Loaded};

    bool CancelRequested() const { return cancel.load() != 0; }
    void Fail() { result.store(Failed); }

    // The status line's text; callable from any thread. The text is shown by the window's own
    // thread.
    void SetStatus(const std::string& text);

    // Where status texts go; the loading window sets it while it runs.
    void SetStatusSink(std::function<void(const std::string&)> sink);

private:
    std::mutex sinkMutex_;
    std::function<void(const std::string&)> sink_;
};

}  // namespace tw
