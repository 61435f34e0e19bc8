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

namespace tw::test {

// A fresh folder below the system's temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder() {
        // Test cases run as parallel processes: the random part keeps their folders apart.
        static std::atomic<unsigned> counter{0};
        const std::string unique = std::to_string(std::random_device{}()) + "-" + std::to_string(counter++);
        path_ = std::filesystem::temp_directory_path() / ("tw-location-" + unique);
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

    // Writes a file below the folder (`relative` with '/'), creating its folders.
    std::filesystem::path Write(std::string_view relative, std::string_view content) const {
        const std::filesystem::path file = path_ / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary).write(content.data(), static_cast<std::streamsize>(content.size()));
        return file;
    }

    std::filesystem::path Folder(std::string_view relative) const {
        const std::filesystem::path folder = path_ / relative;
        std::filesystem::create_directories(folder);
        return folder;
    }

private:
    std::filesystem::path path_;
};

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
