#pragma once

#include <cassert>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace tw {

// What kind of failure an Error is, for callers that act on it (a CLI exit status, whether to
// offer another folder). The words for people are in the reason and its context.
enum class ErrorKind {
    Damaged,    // bytes read are not what their format allows
    System,     // the system refused or failed: permissions, a full disk, a missing file
    Busy,       // another program holds what is needed
    Missing,    // nothing of that name is there
    Refused,    // the request cannot be done as asked: nothing loaded, a value out of range
};

// A failure of bad input or a failing environment (our own faults are asserts). It carries the
// innermost reason, often the system's own words, and the context each caller added on the way
// out: "Work.iff: chunk CARR 3: the track is cut off". Only the user interface turns it into
// sentences for people; the reason is never dropped on the way.
class Error {
public:
    Error(ErrorKind kind, std::string reason) : kind_(kind), chain_{std::move(reason)} {}

    ErrorKind Kind() const { return kind_; }
    // Adds what was being done when this failed, outermost last.
    Error& Context(std::string outer) & {
        chain_.push_back(std::move(outer));
        return *this;
    }
    Error&& Context(std::string outer) && { return std::move(Context(std::move(outer))); }
    // The context from the outside in, then the reason.
    std::string Message() const {
        std::string text;
        for (auto it = chain_.rbegin(); it != chain_.rend(); ++it) {
            if (it->empty()) continue;
            if (!text.empty()) text += ": ";
            text += *it;
        }
        return text;
    }
    // The innermost reason alone.
    const std::string& Reason() const { return chain_.front(); }
    // Whom or what the failure is about, for callers that name it in words of their own: the
    // program that holds a game (ErrorKind::Busy). Empty when not set.
    const std::string& Subject() const { return subject_; }
    Error&& About(std::string subject) && {
        subject_ = std::move(subject);
        return std::move(*this);
    }

private:
    ErrorKind kind_;
    std::vector<std::string> chain_;  // the reason first, then each context
    std::string subject_;
};

inline Error Failure(std::string reason, ErrorKind kind = ErrorKind::Refused) { return Error(kind, std::move(reason)); }

// A value, or the Error that kept it from being made (LLVM's Expected<T>, SerenityOS's ErrorOr<T>).
template <typename T>
class [[nodiscard]] Expected {
public:
    Expected(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Expected(Error error) : state_(std::in_place_index<1>, std::move(error)) {}

    bool Ok() const { return state_.index() == 0; }
    explicit operator bool() const { return Ok(); }

    T& operator*() & { return Value(); }
    const T& operator*() const& { return Value(); }
    T&& operator*() && { return std::move(Value()); }
    T* operator->() { return &Value(); }
    const T* operator->() const { return &Value(); }
    T& Value() & {
        assert(Ok());
        return std::get<0>(state_);
    }
    const T& Value() const& {
        assert(Ok());
        return std::get<0>(state_);
    }
    T&& Value() && {
        assert(Ok());
        return std::move(std::get<0>(state_));
    }
    T ValueOr(T fallback) const& { return Ok() ? std::get<0>(state_) : std::move(fallback); }

    const Error& Err() const& {
        assert(!Ok());
        return std::get<1>(state_);
    }
    Error&& Err() && {
        assert(!Ok());
        return std::move(std::get<1>(state_));
    }
    // The failure's whole message; empty on success.
    std::string Reason() const { return Ok() ? std::string() : Err().Message(); }
    // Adds context to a failure; a success passes through.
    Expected&& Context(std::string outer) && {
        if (!Ok()) std::get<1>(state_).Context(std::move(outer));
        return std::move(*this);
    }

private:
    std::variant<T, Error> state_;
};

// Success, or an Error.
template <>
class [[nodiscard]] Expected<void> {
public:
    Expected() = default;
    Expected(Error error) : error_(std::move(error)) {}
    static Expected Failure(std::string reason, ErrorKind kind = ErrorKind::Refused) {
        return Expected(Error(kind, std::move(reason)));
    }

    bool Ok() const { return !error_.has_value(); }
    explicit operator bool() const { return Ok(); }
    const Error& Err() const& {
        assert(!Ok());
        return *error_;
    }
    Error&& Err() && {
        assert(!Ok());
        return std::move(*error_);
    }
    std::string Reason() const { return Ok() ? std::string() : error_->Message(); }
    Expected&& Context(std::string outer) && {
        if (error_) error_->Context(std::move(outer));
        return std::move(*this);
    }

private:
    std::optional<Error> error_;
};

using Status = Expected<void>;

}  // namespace tw

