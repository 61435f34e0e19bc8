#pragma once

#include "gamefiles/GameContext.h"
#include "gamefiles/GameLoad.h"
#include "sample/SampleInstallation.h"
#include "support/ScriptedPort.h"
#include "support/TempFolder.h"
#include "util/HostPath.h"

#include <gtest/gtest.h>

#include <array>
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
        if (withSample) {
            const Status written = WriteSampleInstallation(root);
            EXPECT_TRUE(written) << written.Reason();
        }
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
    std::vector<std::string> Files() const { return FilesBelow(root); }

    TempFolder folder{"tw-game"};
    const std::filesystem::path root = folder.Path();
    // Where the program keeps its own state for this installation (locks, journal) and the
    // player's original files, outside it.
    TempFolder state{"tw-state"};
    TempFolder originals{"tw-originals"};
};

// The four files a save writes, in the order it writes them.
inline const std::array<std::string, 4> SavedFiles = {
    "ExpansionShared/Work.iff", "GameData/Objects/CarPortal.iff",
    "UIGraphics/cpanel/Buttons/JobIconMultiButton.BMP", "UIGraphics/cpanel/Backgrounds/JobIconMultiPopup.BMP"};

using SavedBytes = std::array<std::vector<std::uint8_t>, 4>;

inline SavedBytes Snapshot(const GameFolder& folder) {
    SavedBytes files;
    for (std::size_t i = 0; i < files.size(); ++i) files[i] = folder.Read(SavedFiles[i]);
    return files;
}

// Changes to the sample that show in every file a save writes.
inline void EditEveryFile(GameContext& context) {
    context.careerSet.careers.at(0).track.name = "Apiary";
    context.careerSet.careers.at(0).cards[0].items.push_back(CardItem{1, 0, 777});
    Bitmap red(112, 22);
    std::fill(red.pixels.begin(), red.pixels.end(), 0xFF0000u);
    EXPECT_TRUE(context.iconStrips.PutButtonIcon(1, red));
    Bitmap blue(84, 63);
    std::fill(blue.pixels.begin(), blue.pixels.end(), 0x0000FFu);
    EXPECT_TRUE(context.iconStrips.PutPopupIcon(1, blue));
}

// A context pointed at `folder`, keeping its state beside it.
inline void PointAt(GameContext& context, const GameFolder& folder) {
    context.gameFolder = BytesFromPath(folder.root).value_or(folder.root.string());
    context.installationOptions.stateRoot = folder.state.Path();
    context.installationOptions.originalsRoot = folder.originals.Path();
}

// A context pointed at `folder` that holds the game as the one program that changes it, as the
// editor and the changing commands do before their load; its changes go through `files` (the
// machine's own when null).
inline void TakeForWriting(GameContext& context, const GameFolder& folder, FileSystem* files = nullptr) {
    PointAt(context, folder);
    context.installationOptions.files = files;
    EXPECT_TRUE(context.TakeInstallation(Installation::Intent::Write));
}

}  // namespace tw::test
