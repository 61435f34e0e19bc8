// The game's files on Windows, where other programs hold files with share modes: a save never
// leaves a mix when the game holds one of them, and a reader beside the writer never blocks it.
#ifdef _WIN32

#include "edit/GameSave.h"
#include "gamefiles/GameLoad.h"
#include "support/ScriptedPort.h"
#include "util/FileStream.h"

#include "../gamefiles/GameFolderFixture.h"

#include <gtest/gtest.h>

#include "util/Win32.h"

namespace tw {
namespace {

using test::GameFolder;
using test::PointAt;
using test::ScriptedPort;

using test::SavedFiles;
using test::Snapshot;

// Another program's handle, as the game holds its files: others may read, nothing more.
struct OtherProgram {
    OtherProgram(const std::filesystem::path& path, DWORD share, DWORD access = GENERIC_READ)
        : h(CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~OtherProgram() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    HANDLE h;
};

TEST(WindowsGameTransactionTest, AFileAnotherProgramHoldsStopsTheWholeSave) {
    GameFolder folder;
    GameContext context;
    test::TakeForWriting(context, folder);
    ScriptedPort port;
    ASSERT_EQ(RunLoad(context, port), 1);
    const auto before = Snapshot(folder);
    const std::vector<std::string> files = folder.Files();
    context.careerSet.careers.at(0).track.name = "Apiary";
    context.careerSet.careers.at(0).cards[0].items.push_back(CardItem{1, 0, 777});
    {
        // The third file of four: the first two are moved before it fails, and must go back.
        // Sharing reading and writing with the editor, but not deletion: a scanner, say.
        OtherProgram scanner(folder.At(SavedFiles[2]), FILE_SHARE_READ | FILE_SHARE_WRITE);
        ASSERT_NE(scanner.h, INVALID_HANDLE_VALUE);
        EXPECT_FALSE(SaveGameFiles(context, port));
    }
    EXPECT_EQ(port.Shown(), std::vector<std::string>{"Error: Couldn't save the Career buttons! There's probably a file I/O error!"});
    EXPECT_FALSE(port.calls.at(0).message.detail.empty());
    EXPECT_EQ(Snapshot(folder), before);
    EXPECT_EQ(folder.Files(), files);
    // With the game gone, the same edits save.
    port.calls.clear();
    EXPECT_TRUE(SaveGameFiles(context, port));
    EXPECT_NE(Snapshot(folder), before);
}

TEST(WindowsGameTransactionTest, AReaderBesideTheEditorNeverBlocksItsSave) {
    GameFolder folder;
    GameContext editor;
    test::TakeForWriting(editor, folder);
    ScriptedPort port;
    ASSERT_EQ(RunLoad(editor, port), 1);
    editor.careerSet.careers.at(0).track.name = "Apiary";

    GameContext reader;
    PointAt(reader, folder);
    ASSERT_EQ(RunLoad(reader, port), 1);
    ASSERT_FALSE(reader.installation->Writes());
    // The reader still holds the strips it read.
    ASSERT_TRUE(reader.buttonsBitmapFile && reader.popupBitmapFile);
    EXPECT_TRUE(SaveGameFiles(editor, port)) << (port.calls.empty() ? "" : port.Shown()[0] + " / " + port.calls[0].message.detail);
}

// The game reading a file does not keep the editor from loading it; the game writing it does,
// and the load says which file.
TEST(WindowsGameTransactionTest, ALooseFileTheGameWritesStopsTheLoad) {
    GameFolder folder;
    {
        GameContext first;
        test::TakeForWriting(first, folder);
        ScriptedPort port;
        ASSERT_EQ(RunLoad(first, port), 1);
        ASSERT_TRUE(SaveGameFiles(first, port));  // every file loose
    }
    const auto before = Snapshot(folder);
    for (const DWORD access : {static_cast<DWORD>(GENERIC_READ), static_cast<DWORD>(GENERIC_READ | GENERIC_WRITE)}) {
        OtherProgram game(folder.At(SavedFiles[0]), FILE_SHARE_READ, access);
        ASSERT_NE(game.h, INVALID_HANDLE_VALUE);
        GameContext context;
        test::TakeForWriting(context, folder);
        ScriptedPort port;
        if (access == GENERIC_READ) {
            EXPECT_EQ(RunLoad(context, port), 1);
            continue;
        }
        EXPECT_EQ(RunLoad(context, port), 2);
        ASSERT_FALSE(port.calls.empty());
        EXPECT_EQ(port.Shown().back(), "Error: Can't locate/open/load the Work.iff file!");
        EXPECT_FALSE(port.calls.back().message.detail.empty());
    }
    EXPECT_EQ(Snapshot(folder), before);
}

}  // namespace
}  // namespace tw

#endif  // _WIN32
