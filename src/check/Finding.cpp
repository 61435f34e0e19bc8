#include "check/Finding.h"

#include <algorithm>

namespace tw {

const char* KindName(Finding::Kind kind) {
    switch (kind) {
        case Finding::Kind::Form: return "form";
        case Finding::Kind::Loss: return "loss";
        case Finding::Kind::Damaged: return "damaged";
        case Finding::Kind::Rule: return "rule";
    }
    return "rule";
}

const char* SeverityName(Finding::Severity severity) {
    return severity == Finding::Severity::Note ? "note" : "problem";
}

bool CountsAgainst(const Finding& finding) {
    switch (finding.kind) {
        case Finding::Kind::Form: return false;
        case Finding::Kind::Loss:
        case Finding::Kind::Damaged: return true;
        case Finding::Kind::Rule: return finding.severity == Finding::Severity::Problem;
    }
    return true;
}

bool AnyLoss(const std::vector<Finding>& findings) {
    return std::any_of(findings.begin(), findings.end(),
                       [](const Finding& f) { return f.kind == Finding::Kind::Loss; });
}

}  // namespace tw
