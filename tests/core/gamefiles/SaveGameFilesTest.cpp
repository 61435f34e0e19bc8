#include "edit/GameSave.h"

#include "gamefiles/GameLoad.h"
#include "support/CareerIds.h"
#include "support/ScriptedPort.h"

#include "GameFolderFixture.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace tw {
namespace {

using test::GameFolder;
using test::PointAt;
using test::SavedFiles;
using test::ScriptedPort;
using Bytes = std::vector<std::uint8_t>;


const std::string SaveButtonsFailed = "Error: Couldn't save the Career buttons! There's probably a file I/O error!";
const std::string SavePopupFailed = "Error: Couldn't save the Career popup! There's probably a file I/O error!";

// The sample installation after a first save (every file loose), loaded.
struct Loaded {
    Loaded() {
        test::TakeForWriting(context, folder);
        EXPECT_EQ(RunLoad(context, port), 1);
        EXPECT_TRUE(SaveGameFiles(context, port));
        EXPECT_EQ(ReloadGameFiles(context, Runner()), 1);
        port.calls.clear();
        port.statuses.clear();
    }
    test::SavedBytes Snapshot() const { return test::Snapshot(folder); }
    void Edit() { test::EditEveryFile(context); }
    LoadRunner Runner() {
        return [this](GameContext& c) { return RunLoad(c, port); };
    }

    GameFolder folder;
    GameContext context;
    ScriptedPort port;
};

std::uint16_t BitsPerPixel(const Bytes& bmp) { return static_cast<std::uint16_t>(bmp.at(28) | (bmp.at(29) << 8)); }

TEST(SaveGameFilesTest, SaveWritesEveryFileAndTheReloadShowsTheEdits) {
    Loaded game;
    const auto before = game.Snapshot();
    game.Edit();
    ASSERT_TRUE(SaveGameFiles(game.context, game.port));
    EXPECT_TRUE(game.port.calls.empty());
    const auto after = game.Snapshot();
    for (std::size_t i = 0; i < after.size(); ++i) EXPECT_NE(after[i], before[i]) << SavedFiles[i];
    EXPECT_EQ(BitsPerPixel(after[2]), 24);
    EXPECT_EQ(BitsPerPixel(after[3]), 24);
    // The strip files stay open, now on the new files.
    ASSERT_TRUE(game.context.buttonsBitmapFile);
    EXPECT_EQ(game.context.buttonsBitmapFile->ReadAll(), after[2]);
    EXPECT_EQ(game.context.popupBitmapFile->ReadAll(), after[3]);

    ASSERT_EQ(ReloadGameFiles(game.context, game.Runner()), 1);
    EXPECT_EQ(game.context.careerSet.careers.at(0).track.name, "Apiary");
    const auto& items = game.context.careerSet.careers.at(0).cards[0].items;
    EXPECT_NE(std::find(items.begin(), items.end(), CardItem{1, 0, 777}), items.end());
    Bitmap icon;
    ASSERT_TRUE(game.context.iconStrips.GetButtonIcon(1, icon));
    EXPECT_EQ(icon.Pixel(50, 10), 0xFF0000u);
    ASSERT_TRUE(game.context.iconStrips.GetPopupIcon(1, icon));
    EXPECT_EQ(icon.Pixel(40, 30), 0x0000FFu);
    EXPECT_TRUE(game.port.calls.empty());
}

TEST(SaveGameFilesTest, AFailingStepLeavesEveryFileAsItWasAndSaysWhatFailed) {
    struct Case {
        const char* name;
        std::function<void(GameContext&)> breakStep;
        std::string message;
    };
    const Case cases[] = {
        {"careers", [](GameContext& c) { c.careerSet.careers.at(3).track.handle = 0; },
         "Error: Couldn't save the careers: the job levels of the career \"Bakery\" cannot be stored."},
        {"chance cards",
         // More items than one behaviour can hold: content the file cannot take, not a disk fault.
         [](GameContext& c) { c.careerSet.careers.at(0).cards[5].items.assign(260, CardItem{4, 2, 312}); },
         "Error: Couldn't save the chance cards: the chance cards of the career \"Apiary\" need more behaviour "
         "code than one behaviour of CarPortal.iff can hold."},
        // A folder that is not there takes no new file.
        {"buttons", [](GameContext& c) { c.buttonsSource.path = c.buttonsSource.path.parent_path() / "gone" / "x.BMP"; },
         SaveButtonsFailed},
        {"popup", [](GameContext& c) { c.popupSource.path = c.popupSource.path.parent_path() / "gone" / "x.BMP"; },
         SavePopupFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Loaded game;
        const auto before = game.Snapshot();
        game.Edit();
        c.breakStep(game.context);
        EXPECT_FALSE(SaveGameFiles(game.context, game.port));
        EXPECT_EQ(game.port.Shown(), std::vector<std::string>{c.message});
        ASSERT_EQ(game.port.calls.size(), 1u);
        EXPECT_EQ(game.port.calls[0].message.icon, MessageIcon::Error);
        EXPECT_EQ(game.Snapshot(), before);
        EXPECT_EQ(game.folder.Files().size(), 6u);  // nothing of the save left behind
        // The edits are still in memory, for another try.
        EXPECT_EQ(game.context.careerSet.careers.at(0).track.name, "Apiary");
    }
}

#ifndef _WIN32
// A folder that can no longer take the new file (its place is taken by a plain file). The held
// file is moved aside first, which POSIX allows while it is open. The files written before it
// are not put in place either.
TEST(SaveGameFilesTest, SaveWithThePopupUnwritableStopsBeforeReloadAndKeepsEveryOldFile) {
    Loaded game;
    const auto before = game.Snapshot();
    game.Edit();
    std::filesystem::rename(game.folder.At("UIGraphics/cpanel/Backgrounds"), game.folder.At("UIGraphics/cpanel/Moved"));
    game.folder.Write("UIGraphics/cpanel/Backgrounds", {'x'});

    int reloads = 0;
    const SaveOutcome outcome = SaveAndReload(game.context, game.port, [&reloads] { return ++reloads; });
    EXPECT_FALSE(outcome.saved);
    EXPECT_EQ(reloads, 0);
    EXPECT_EQ(game.port.Shown(), std::vector<std::string>{SavePopupFailed});
    // The system's reason comes with it, for the person who wants to know.
    EXPECT_NE(game.port.calls.at(0).message.detail.find("JobIconMultiPopup.BMP"), std::string::npos);
    const auto after = game.Snapshot();
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(after[i], before[i]) << SavedFiles[i];
    EXPECT_EQ(game.folder.Read("UIGraphics/cpanel/Moved/JobIconMultiPopup.BMP"), before[3]);
    EXPECT_EQ(game.folder.Files().size(), 7u);  // no temporary file left anywhere
}
#endif

TEST(SaveGameFilesTest, WhenTheOriginalsCannotBeKeptNothingOfTheGameChanges) {
    Loaded game;
    const auto before = game.Snapshot();
    game.Edit();
    // The place for the kept originals is taken by a plain file: nothing can be kept there.
    std::filesystem::remove_all(game.folder.originals.Path());
    { std::ofstream(game.folder.originals.Path()) << "in the way"; }
    EXPECT_FALSE(SaveGameFiles(game.context, game.port));
    ASSERT_EQ(game.port.calls.size(), 1u);
    EXPECT_EQ(game.port.calls[0].message.title, "Error");
    EXPECT_NE(game.port.calls[0].message.detail.find(game.folder.originals.Path().string()), std::string::npos)
        << game.port.calls[0].message.detail;
    EXPECT_EQ(game.Snapshot(), before);
    EXPECT_EQ(game.folder.Files().size(), 6u);
}

TEST(SaveGameFilesTest, SaveReloadsThenReportsCompletionWhateverTheReloadGave) {
    for (const int reloadResult : {1, 2}) {
        SCOPED_TRACE(reloadResult);
        Loaded game;
        const auto before = game.Snapshot();
        game.Edit();
        int reloads = 0;
        const SaveOutcome outcome = SaveAndReload(game.context, game.port, [&] {
            // The files are written before the reload runs, and nothing has been said yet.
            EXPECT_NE(game.folder.Read(SavedFiles[0]), before[0]);
            EXPECT_TRUE(game.port.calls.empty());
            ++reloads;
            return reloadResult;
        });
        EXPECT_TRUE(outcome.saved);
        EXPECT_EQ(outcome.reloadResult, reloadResult);
        EXPECT_EQ(reloads, 1);
        EXPECT_EQ(game.port.Shown(), std::vector<std::string>{"Trackwright 2: Operation complete!"});
        EXPECT_EQ(game.port.calls.at(0).message.icon, MessageIcon::Information);
    }
}

TEST(SaveGameFilesTest, SaveWithChanceCardsDisabledLeavesCarPortalAlone) {
    GameFolder folder;
    // Damaged: one chunk runs past the end of the file.
    Bytes damaged = folder.Read(SavedFiles[1]);
    damaged.resize(200);
    folder.Write(SavedFiles[1], damaged);
    GameContext context;
    test::TakeForWriting(context, folder);
    ScriptedPort port;
    ASSERT_EQ(RunLoad(context, port), 1);
    ASSERT_EQ(context.chanceCardsDisabled, 1);
    port.calls.clear();

    context.careerSet.careers.at(0).track.name = "Apiary";
    const Bytes careersBefore = folder.Read(SavedFiles[0]);
    ASSERT_TRUE(SaveGameFiles(context, port));
    EXPECT_TRUE(port.calls.empty());
    EXPECT_NE(folder.Read(SavedFiles[0]), careersBefore);
    EXPECT_EQ(folder.Read(SavedFiles[1]), damaged);

    // Reload drops the cards and leaves the chance-card container for the load to empty.
    const int result = ReloadGameFiles(context, [&](GameContext& c) {
        EXPECT_TRUE(test::NoCards(c.careerSet));
        EXPECT_FALSE(c.chanceCardsIFF.Chunks().empty());
        EXPECT_TRUE(c.careersIFF.Chunks().empty());
        EXPECT_EQ(c.careersIFF.AttachedFile(), nullptr);
        return RunLoad(c, port);
    });
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(port.calls.empty());  // no second warning
}

TEST(SaveGameFilesTest, ReloadDropsTheEditsWithoutAQuestion) {
    Loaded game;
    const auto before = game.Snapshot();
    game.Edit();
    const int result = ReloadGameFiles(game.context, [&](GameContext& c) {
        // Everything is let go before the files are loaded again.
        EXPECT_TRUE(c.careersIFF.Chunks().empty());
        EXPECT_TRUE(c.chanceCardsIFF.Chunks().empty());
        EXPECT_EQ(c.chanceCardsIFF.AttachedFile(), nullptr);
        EXPECT_EQ(c.buttonsBitmapFile, nullptr);
        EXPECT_EQ(c.popupBitmapFile, nullptr);
        return RunLoad(c, game.port);
    });
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(game.port.calls.empty());
    EXPECT_EQ(game.context.careerSet.careers.at(0).track.name, "Beekeeping");
    EXPECT_EQ(game.Snapshot(), before);
}

TEST(SaveGameFilesTest, ExitAsksOnlyAfterChangesAndActsOnTheAnswer) {
    struct Case {
        const char* name;
        bool unchanged;
        std::vector<Answer> answers;
        bool breakCareers;
        ExitDecision decision;
        std::vector<std::string> shown;
        bool written;
    };
    const std::string question = "Exit: Do you want to save the careers?";
    const Case cases[] = {
        {"nothing changed", true, {}, false, ExitDecision::Close, {}, false},
        {"cancel", false, {Answer::Cancel}, false, ExitDecision::Stay, {question}, false},
        {"no", false, {Answer::No}, false, ExitDecision::Close, {question}, false},
        {"yes", false, {Answer::Yes}, false, ExitDecision::Close, {question}, true},
        {"yes, careers cannot be saved", false, {Answer::Yes}, true, ExitDecision::Stay,
         {question, "Error: Couldn't save the careers: the job levels of the career \"Apiary\" cannot be stored."},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Loaded game;
        const auto before = game.Snapshot();
        game.Edit();
        if (c.breakCareers) game.context.careerSet.careers.at(0).track.handle = 0;
        game.port.answers.assign(c.answers.begin(), c.answers.end());
        EXPECT_EQ(DecideExit(game.context, game.port, c.unchanged), c.decision);
        EXPECT_EQ(game.port.Shown(), c.shown);
        if (!c.answers.empty()) {
            EXPECT_EQ(game.port.calls.at(0).message.icon, MessageIcon::Question);
            EXPECT_EQ(game.port.calls.at(0).message.buttons, MessageButtons::YesNoCancel);
        }
        EXPECT_EQ(game.Snapshot() != before, c.written);
        // A successful save on the way out lets go of the strip files; otherwise they stay open.
        const bool closed = c.written;
        EXPECT_EQ(game.context.buttonsBitmapFile == nullptr, closed);
        EXPECT_EQ(game.context.popupBitmapFile == nullptr, closed);
    }
}

}  // namespace
}  // namespace tw
