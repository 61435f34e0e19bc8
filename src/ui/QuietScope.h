#pragma once

namespace tw {

// Marks the program's own changes of its widgets for as long as it lives: their change notices
// are then not the person's doing and stay unanswered. Scopes nest.
class QuietScope {
public:
    explicit QuietScope(int& depth) : depth_(depth) { ++depth_; }
    ~QuietScope() { --depth_; }
    QuietScope(const QuietScope&) = delete;
    QuietScope& operator=(const QuietScope&) = delete;

private:
    int& depth_;
};

}  // namespace tw
