#pragma once

#include "gamefiles/GameContext.h"
#include "gamefiles/GameLoad.h"
#include "gamefiles/HostPath.h"
#include "gamefiles/SampleInstallation.h"
#include "support/ScriptedPort.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tw::test {

// A temporary game folder for one test, holding the sample installation unless told otherwise,
// and removed afterwards. Paths inside it are given with '/'.
class GameFolder {
public:
    explicit GameFolder(bool withSample = true) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        // Numbered, so that one test can have several folders.
        static int serial = 0;
        std::string name = std::string("tw-game-") + info->test_suite_name() + "-" + info->name() + "-" +
                           std::to_string(++serial);
        for (char& c : name)
            if (c == '/') c = '_';
        root = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root);
        if (withSample) {
            std::string error;
            EXPECT_TRUE(WriteSampleInstallation(root, &error)) << error;
        }
    }
    ~GameFolder() {
        std::error_code ignored;
        std::filesystem::permissions(root, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(root, ignored);
    }
    GameFolder(const GameFolder&) = delete;
    GameFolder& operator=(const GameFolder&) = delete;

    std::filesystem::path At(const std::string& relative) const { return root / relative; }
    bool Exists(const std::string& relative) const { return std::filesystem::exists(At(relative)); }

    std::vector<std::uint8_t> Read(const std::string& relative) const {
        std::ifstream in(At(relative), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void Write(const std::string& relative, const std::vector<std::uint8_t>& bytes) const {
        std::filesystem::create_directories(At(relative).parent_path());
        std::ofstream out(At(relative), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    void Remove(const std::string& relative) const { std::filesystem::remove_all(At(relative)); }

    // Every file below the folder, relative with '/', sorted.
    std::vector<std::string> Files() const {
        std::vector<std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
            if (entry.is_regular_file()) files.push_back(entry.path().lexically_relative(root).generic_string());
        std::sort(files.begin(), files.end());
        return files;
    }

    std::filesystem::path root;
};

// A context pointed at `folder`.
inline void PointAt(GameContext& context, const GameFolder& folder) {
    context.gameFolder = BytesFromPath(folder.root).value_or(folder.root.string());
}

}  // namespace tw::test
