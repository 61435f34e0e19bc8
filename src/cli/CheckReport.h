#pragma once

#include "check/Finding.h"

#include <string>
#include <vector>

namespace tw::cli {

// The findings of `check`, one line each: "KIND: PLACE: MESSAGE", a rule as
// "rule NAME (SEVERITY): ...", a form or a note marked as not counting.
std::string CheckText(const std::vector<Finding>& findings);

// {"findings":[{...}]}, each finding with the keys kind, severity, file, type, id, label, career,
// level, field, rule and message in that order, those that do not apply left out. Labels are byte
// strings as `dump` writes them; a message that is not UTF-8 is written as bytes too.
std::string CheckJson(const std::vector<Finding>& findings);

// The places and reasons of the findings, "- PLACE: MESSAGE" per line.
std::string ListFindings(const std::vector<Finding>& findings);

}  // namespace tw::cli
