#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "locate/RememberedFolder.h"
#include "util/EnvironmentLookup.h"
#include "util/Error.h"

namespace tw {

// The game folders opened last, newest first, for the editor's File > Recent Games: one folder
// per line in "recent-games" beside the remembered folder's file. A file that cannot be read
// counts as an empty list; lines that are no folder text are passed over.
class RecentGames {
public:
    static constexpr std::size_t MaxCount = 5;

    explicit RecentGames(EnvironmentLookup environment = ProcessEnvironment()) : folder_(std::move(environment)) {}

    std::vector<std::string> List() const;
    // `folder` first, once, with at most MaxCount in all.
    Status Add(const std::string& folder) const;
    Status Remove(const std::string& folder) const;

private:
    Status Write(const std::vector<std::string>& folders) const;

    RememberedFolder folder_;
};

}  // namespace tw
