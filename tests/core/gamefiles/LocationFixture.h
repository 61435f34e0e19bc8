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

#include "gamefiles/EnvironmentLookup.h"
#include "support/TempFolder.h"

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
    auto u32 = [](std::string& out, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    std::string bytes = "FAR!byAZ";
    u32(bytes, 1);                                                       // version
    u32(bytes, static_cast<std::uint32_t>(16 + 4 * names.size()));       // directory offset
    for (std::size_t i = 0; i < names.size(); ++i) bytes += "data";
    u32(bytes, static_cast<std::uint32_t>(names.size()));                // entry count
    for (std::size_t i = 0; i < names.size(); ++i) {
        u32(bytes, 4);                                                   // size
        u32(bytes, 4);                                                   // second size
        u32(bytes, static_cast<std::uint32_t>(16 + 4 * i));              // data offset
        u32(bytes, static_cast<std::uint32_t>(names[i].size()));         // name length
        bytes += names[i];
    }
    return bytes;
}

}  // namespace tw::test
