#include "ui/LoadControl.h"

#include <utility>

namespace tw {

void LoadControl::SetStatus(const std::string& text) {
    const std::lock_guard<std::mutex> lock(sinkMutex_);
    if (sink_) sink_(text);
}

void LoadControl::SetStatusSink(std::function<void(const std::string&)> sink) {
    const std::lock_guard<std::mutex> lock(sinkMutex_);
    sink_ = std::move(sink);
}

}  // namespace tw
