#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tw {

// One thing `check` finds in a game: what a save would change with no edit (form or loss), a
// part the load could not read, or a career the game would show wrongly. Fields that do not apply
// stay empty.
struct Finding {
    enum class Kind { Form, Loss, Damaged, Rule };
    enum class Severity { Problem, Note };

    Kind kind = Kind::Rule;
    Severity severity = Severity::Problem;
    std::string file;                     // relative to the game folder, '/' between the parts
    std::string type;                     // a resource type ("STR#") or "BMP" for an icon strip
    std::optional<std::uint16_t> id;      // the resource id
    std::string label;                    // the chunk's label
    std::optional<std::uint16_t> career;  // the career's resource id
    std::optional<std::uint32_t> level;   // the job level, from 0
    std::string field;                    // "salary", "car pool", "male job name", ...
    std::string rule;                     // the rule's short name, for kind Rule
    std::string message;                  // a sentence a player understands

    bool operator==(const Finding&) const = default;
};

const char* KindName(Finding::Kind kind);
const char* SeverityName(Finding::Severity severity);

// Whether the finding makes `check` fail: a loss, a damaged part or a rule of severity problem.
// Forms and notes are listed but do not count.
bool CountsAgainst(const Finding& finding);
// Whether any finding is a loss, which the changing commands refuse without being told to accept it.
bool AnyLoss(const std::vector<Finding>& findings);

}  // namespace tw
