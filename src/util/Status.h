#pragma once

#include <string>
#include <utility>

namespace tw {

// Success, or a failure with its reason in words a person can read (a file's name and the
// system's description). The caller decides what the person is shown; the reason is never lost.
class [[nodiscard]] Status {
public:
    Status() = default;
    static Status Failure(std::string reason) {
        Status status;
        status.failed_ = true;
        status.reason_ = std::move(reason);
        return status;
    }

    bool Ok() const { return !failed_; }
    explicit operator bool() const { return !failed_; }
    const std::string& Reason() const { return reason_; }

private:
    bool failed_ = false;
    std::string reason_;
};

}  // namespace tw
