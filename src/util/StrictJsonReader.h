#pragma once

#include "util/JsonValue.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// One reason why a JSON document is not what its reader expects, at the place where it was
// found, written as JavaScript would reach it: "careers[1].levels[2].values[18]" (empty for the
// document itself).
struct JsonProblem {
    std::string path;
    std::string reason;

    bool operator==(const JsonProblem&) const = default;
};

// Reads the values of a JSON document strictly and goes on past every problem, so that one pass
// finds them all. Each read takes the value (null when it is missing: nothing more to say) and
// its path, and gives none after noting the problem.
class StrictJsonReader {
public:
    struct Key {
        const char* name;
        bool optional = false;
    };

    // The members named by `keys`, in their order; null for a missing one. Unknown and repeated
    // keys are problems, and so are missing ones that are not optional. None for a non-object.
    std::optional<std::vector<const JsonValue*>> Fields(const JsonValue* value, const std::string& path,
                                                        std::initializer_list<Key> keys);
    // The items of an array, of exactly `size` items when one is given (else `sizeReason`).
    const std::vector<JsonValue>* Array(const JsonValue* value, const std::string& path,
                                        std::optional<std::size_t> size = std::nullopt,
                                        const std::string& sizeReason = {});
    // An integer from `minimum` to `maximum`; `outside` says why another one is refused.
    std::optional<std::int64_t> Integer(const JsonValue* value, const std::string& path, std::int64_t minimum,
                                        std::int64_t maximum, const std::string& outside);
    const std::string* String(const JsonValue* value, const std::string& path);

    void Problem(std::string path, std::string reason);
    const std::vector<JsonProblem>& Problems() const { return problems_; }
    std::vector<JsonProblem> TakeProblems() { return std::move(problems_); }

    // The path of a member (`path.key`, or `path["odd key"]`) and of an item (`path[3]`).
    static std::string Member(const std::string& path, std::string_view key);
    static std::string Item(const std::string& path, std::size_t index);

private:
    std::vector<JsonProblem> problems_;
};

}  // namespace tw
