#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "far/FARWriter.h"
#include "support/TempFolder.h"
#include "util/EnvironmentLookup.h"

namespace tw::test {

// A made-up environment for the locator.
struct FakeEnvironment {
    std::map<std::string, std::string> variables;

    EnvironmentLookup Lookup() const {
        return [vars = variables](const std::string& name) -> std::optional<std::string> {
            const auto it = vars.find(name);
            if (it == vars.end()) return std::nullopt;
            return it->second;
        };
    }
};

// The bytes of a FAR archive whose entries have these names, each holding four bytes.
inline std::string FarBytes(const std::vector<std::string>& names) {
    FARWriter writer;
    for (const std::string& name : names) writer.Add(name, {'d', 'a', 't', 'a'});
    const std::vector<std::uint8_t> bytes = writer.Bytes();
    return {bytes.begin(), bytes.end()};
}

}  // namespace tw::test
