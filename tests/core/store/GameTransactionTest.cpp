// The game's files under faults: a kill at any step, a failing step of the disk, a second
// program. After each, every file is all old or all new, and nothing of the save stays behind.
#include "edit/GameSave.h"
#include "gamefiles/GameFileLookup.h"
#include "gamefiles/GameLoad.h"
#include "store/FileTransaction.h"
#include "store/Installation.h"
#include "support/FaultyFileSystem.h"
#include "support/ScriptedPort.h"
#include "util/FileError.h"

#include "support/FolderState.h"

#include "../gamefiles/GameFolderFixture.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <fstream>
#include <map>
#include <thread>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace tw {
namespace {

namespace fs = std::filesystem;
using test::FaultyFileSystem;
using test::GameFolder;
using test::PointAt;
using test::ScriptedPort;
using test::SimulatedKill;
using Bytes = std::vector<std::uint8_t>;
using Files = test::SavedBytes;
using test::SavedFiles;
using test::Snapshot;

// The sample after its first save: the two archives, the two files they hold written loose
// beside them, and the two that were loose.
const std::vector<std::string> LoadedSample = {
    "ExpansionShared/ExpansionShared.far", "ExpansionShared/Work.iff", "GameData/Objects/CarPortal.iff",
    "UIGraphics/UIGraphics.far", "UIGraphics/cpanel/Backgrounds/JobIconMultiPopup.BMP",
    "UIGraphics/cpanel/Buttons/JobIconMultiButton.BMP"};

void Edit(GameContext& context) { test::EditEveryFile(context); }

// Nothing of a transaction (journal, temporary or kept file) in the state folder.
std::vector<std::string> StateLeftovers(const GameFolder& folder) {
    std::vector<std::string> left;
    for (const auto& entry : fs::recursive_directory_iterator(folder.state.Path())) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && !name.ends_with(".lock") && name != "folder-identity") left.push_back(name);
    }
    return left;
}

// Copies every file below `from` into the existing folder `to`.
void CopyTree(const fs::path& from, const fs::path& to) {
    for (const auto& entry : fs::recursive_directory_iterator(from)) {
        const fs::path target = to / entry.path().lexically_relative(from);
        if (entry.is_directory())
            fs::create_directories(target);
        else
            fs::copy_file(entry.path(), target);
    }
}

// The sample, loaded by its writer, whose changes go through `files` (the host's when null).
struct Game {
    explicit Game(GameFolder& f, FileSystem* files = nullptr) : folder(f) {
        test::TakeForWriting(context, folder, files);
        EXPECT_EQ(RunLoad(context, port), 1);
        port.calls.clear();
    }
    GameFolder& folder;
    GameContext context;
    ScriptedPort port;
};

// The sample as a first save leaves it (every game file loose), written once and copied for
// every run: the tests below run a save many times over.
class SampleCopies {
public:
    SampleCopies() {
        Game first(made_);
        EXPECT_TRUE(SaveGameFiles(first.context, first.port));
    }
    void CopyInto(GameFolder& folder) const {
        CopyTree(made_.root, folder.root);
    }
    const GameFolder& Made() const { return made_; }

private:
    GameFolder made_;
};

// What a saved, edited sample holds.
Files SavedEdit(const SampleCopies& sample) {
    GameFolder folder(false);
    sample.CopyInto(folder);
    Game game(folder);
    Edit(game.context);
    EXPECT_TRUE(SaveGameFiles(game.context, game.port));
    return Snapshot(folder);
}

// After the program that changed `folder` is gone, the next one that takes the game finds every
// file old or new, and nothing is left over anywhere.
void ExpectWholeAfterRecovery(GameFolder& folder, const Files& before, const Files& after, const std::string& where) {
    SCOPED_TRACE(where);
    GameContext next;
    PointAt(next, folder);
    EXPECT_TRUE(next.TakeInstallation(Installation::Intent::Write));
    const Files now = Snapshot(folder);
    EXPECT_TRUE(now == before || now == after) << "a mix of old and new files";
    EXPECT_EQ(folder.Files(), LoadedSample);
    EXPECT_EQ(StateLeftovers(folder), std::vector<std::string>{});
}

// Runs an edited save of a fresh copy of the sample with `files` set up by `arrange`; false once
// the save ran through without meeting its fault. `check` looks at the result before the
// program is gone.
template <typename Arrange, typename Check>
bool SaveUnderFault(const SampleCopies& sample, const Files& after, std::size_t step, Arrange arrange, Check check) {
    GameFolder folder(false);
    sample.CopyInto(folder);
    const Files before = Snapshot(folder);
    FaultyFileSystem files;
    {
        Game game(folder, &files);
        Edit(game.context);
        files.Restart();
        arrange(files);
        bool saved = false;
        try {
            saved = SaveGameFiles(game.context, game.port);
        } catch (const SimulatedKill&) {
        }
        if (!files.Killed() && !files.Failed()) {
            EXPECT_TRUE(saved);
            EXPECT_EQ(Snapshot(folder), after);
            return false;
        }
        check(game, files, saved, before);
    }  // the program's files and locks go with it
    ExpectWholeAfterRecovery(folder, before, after, "at step " + std::to_string(step) + ": " + files.FaultStep());
    return true;
}

// The steps of an edited save without faults, as FaultyFileSystem logs them.
std::vector<std::string> StepsOfASave(const SampleCopies& sample) {
    GameFolder folder(false);
    sample.CopyInto(folder);
    FaultyFileSystem files;
    Game game(folder, &files);
    Edit(game.context);
    files.Restart();
    EXPECT_TRUE(SaveGameFiles(game.context, game.port));
    return files.Log();
}

// Every step of a transaction is tried by its own tests; here, with the whole game, the steps
// that matter most: each move of a game file and the journal writes around them (a kill between
// any two moves), one step while the new files are written and one while the old ones are let go.
std::vector<std::size_t> KillSteps(const std::vector<std::string>& log) {
    std::vector<std::size_t> journalMoves;
    for (std::size_t i = 0; i < log.size(); ++i)
        if (log[i].starts_with("Replace ") && log[i].ends_with("journal")) journalMoves.push_back(i);
    std::vector<std::size_t> steps = {journalMoves.at(0) + 3};
    for (std::size_t i = journalMoves.at(1) - 3; i <= journalMoves.at(2) + 2; ++i) steps.push_back(i);
    steps.push_back(log.size() - 3);
    for (std::size_t& step : steps) ++step;  // steps count from 1
    return steps;
}

TEST(GameTransactionTest, SaveKilledBetweenAnyTwoMovesIsWholeAfterRecovery) {
    const SampleCopies sample;
    const Files after = SavedEdit(sample);
    const std::vector<std::size_t> steps = KillSteps(StepsOfASave(sample));
    for (std::size_t step : steps)
        EXPECT_TRUE(SaveUnderFault(sample, after, step, [step](FaultyFileSystem& f) { f.KillAt(step); },
                                   [](Game&, FaultyFileSystem&, bool, const Files&) {}));
    EXPECT_GT(steps.size(), 20u);
}

TEST(GameTransactionTest, SaveWithAFailingStepIsAllOldOrAllNewAndSaysWhichFile) {
    const SampleCopies sample;
    const Files after = SavedEdit(sample);
    const std::vector<std::string> log = StepsOfASave(sample);
    // Each kind of step for each file: creating, writing and flushing its new content, keeping
    // the old file and moving the new one in, and the journal's writes.
    std::vector<std::size_t> steps;
    for (std::size_t i = 0; i < log.size(); ++i)
        if (!log[i].starts_with("SyncFolder") && !log[i].starts_with("Remove")) steps.push_back(i + 1);
    const auto check = [&](Game& game, FaultyFileSystem& files, bool saved, const Files& before) {
        EXPECT_EQ(Snapshot(game.folder), saved ? after : before);
        ASSERT_FALSE(saved) << "a failed step reported as success";
        ASSERT_EQ(game.port.calls.size(), 1u);
        EXPECT_EQ(game.port.calls[0].message.title, "Error");
        // The save's own words for the file that failed (the journal counts as the first), with
        // the system's reason as details.
        const std::string& step = files.FaultStep();
        static const std::pair<const char*, const char*> Messages[] = {
            {"JobIconMultiPopup", "Couldn't save the Career popup!"},
            {"JobIconMultiButton", "Couldn't save the Career buttons!"},
            {"CarPortal", "Couldn't save the chance cards!"},
            {"", "Couldn't save the careers!"}};
        for (const auto& [file, text] : Messages) {
            if (step.find(file) == std::string::npos) continue;
            EXPECT_TRUE(game.port.calls[0].message.text.starts_with(text)) << step << ": " << game.port.Shown()[0];
            break;
        }
        EXPECT_NE(game.port.calls[0].message.detail.find("(injected)"), std::string::npos)
            << game.port.calls[0].message.detail;
    };
    for (std::size_t step : steps)
        EXPECT_TRUE(SaveUnderFault(sample, after, step,
                                   [step](FaultyFileSystem& f) { f.FailAt(FaultyFileSystem::Step::Any, step); }, check));
}

// The first save writes the files that only archives held, and the folders their names need:
// killed or failing at any step, the game folder is afterwards what it was, or what the save
// makes it; names, modes and bytes.
TEST(GameTransactionTest, FirstSaveOfArchivedFilesIsWholeOrNotThereUnderAnyFault) {
    const GameFolder fresh;
    const auto before = test::FolderState(fresh.root);
    std::map<std::string, std::string> after;
    {
        GameFolder folder(false);
        CopyTree(fresh.root, folder.root);
        Game game(folder);
        ASSERT_TRUE(SaveGameFiles(game.context, game.port));
        after = test::FolderState(folder.root);
        // Taken out of the archives: the popup strip needs a folder that the sample lacks.
        EXPECT_EQ(after.count("UIGraphics/cpanel/Backgrounds"), 1u);
        EXPECT_EQ(before.count("UIGraphics/cpanel/Backgrounds"), 0u);
    }
    std::size_t step = 1;
    for (bool kill : {true, false}) {
        for (step = 1;; ++step) {
            GameFolder folder(false);
            CopyTree(fresh.root, folder.root);
            FaultyFileSystem files;
            bool saved = false;
            {
                Game game(folder, &files);
                files.Restart();
                if (kill)
                    files.KillAt(step);
                else
                    files.FailAt(FaultyFileSystem::Step::Any, step);
                try {
                    saved = SaveGameFiles(game.context, game.port);
                } catch (const SimulatedKill&) {
                }
            }
            if (!files.Killed() && !files.Failed()) break;
            SCOPED_TRACE((kill ? "killed at " : "failed at ") + files.FaultStep());
            GameContext next;
            test::TakeForWriting(next, folder);
            const auto now = test::FolderState(folder.root);
            EXPECT_TRUE(now == before || now == after);
            // A step that fails once every file is in place (letting go of the old ones) leaves
            // the save done; any other leaves nothing of it.
            if (!kill) {
                EXPECT_EQ(now == after, saved);
            }
            EXPECT_EQ(StateLeftovers(folder), std::vector<std::string>{});
        }
        EXPECT_GT(step, 20u);
    }
}

TEST(GameTransactionTest, OneWriterAtATimeAndReadersChangeNothing) {
    GameFolder folder;
    GameContext writer;
    PointAt(writer, folder);
    writer.installationOptions.holder = "trackwright-cli import";
    ASSERT_TRUE(writer.TakeInstallation(Installation::Intent::Write));

    // A second writer fails at once, naming the game and who has it.
    GameContext second;
    PointAt(second, folder);
    const Status refused = second.TakeInstallation(Installation::Intent::Write);
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.Reason().find(PathText(folder.root)), std::string::npos) << refused.Reason();
    EXPECT_NE(refused.Reason().find("trackwright-cli import (process "), std::string::npos) << refused.Reason();

    // A reader loads beside it: archived files are read in memory, nothing is taken out.
    const std::vector<std::string> untouched = folder.Files();
    GameContext reader;
    PointAt(reader, folder);
    ScriptedPort port;
    ASSERT_EQ(RunLoad(reader, port), 1);
    EXPECT_FALSE(reader.installation->Writes());
    EXPECT_EQ(reader.careerSet.Count(), 10u);
    EXPECT_EQ(folder.Files(), untouched);
    EXPECT_FALSE(SaveGameFiles(reader, port));
    EXPECT_EQ(folder.Files(), untouched);

    // Once the writer is gone, the next program takes the game.
    writer.installation.reset();
    EXPECT_TRUE(second.TakeInstallation(Installation::Intent::Write));
}

TEST(GameTransactionTest, AReaderWaitsUntilTheFilesHaveMoved) {
    GameFolder folder;
    Game writer(folder);
    Edit(writer.context);
    // A save in the middle of its moves holds the commit lock.
    FileLock commit(writer.context.installation->StateFolder() / "commit.lock");
    commit.Lock(FileLock::Kind::Exclusive);

    GameContext reader;
    PointAt(reader, folder);
    ScriptedPort port;
    std::atomic<int> result{0};
    std::thread load([&] { result = RunLoad(reader, port); });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(result.load(), 0) << "the reader read while files were moving";
    commit.Unlock();
    load.join();
    EXPECT_EQ(result.load(), 1);
}

TEST(GameTransactionTest, AnUnusableLooseFileStopsTheLoadAndIsNeverReplaced) {
    struct Case {
        const char* name;
        const char* file;
        std::string shown;
    };
    const Case cases[] = {
        {"careers", "ExpansionShared/Work.iff", "Error: Can't locate/open/load the Work.iff file!"},
        {"popup strip", "UIGraphics/cpanel/Backgrounds/JobIconMultiPopup.BMP",
         "Error: Cannot load the JobIconMultiPopup.BMP file!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameFolder folder;
        // The name is taken by something that does not open as a file; the archive's copy must
        // not take its place.
        fs::create_directories(folder.At(c.file));
        GameContext context;
        PointAt(context, folder);
        ScriptedPort port;
        EXPECT_EQ(RunLoad(context, port), 2);
        ASSERT_FALSE(port.Shown().empty());
        EXPECT_EQ(port.Shown().back(), c.shown);
        ASSERT_FALSE(port.calls.empty());
        EXPECT_NE(port.calls.back().message.detail.find(fs::path(c.file).filename().string()), std::string::npos);
        EXPECT_TRUE(fs::is_directory(folder.At(c.file)));
    }
}

TEST(GameTransactionTest, DamagedJournalStopsEveryProgramUntilSomeoneLooks) {
    GameFolder folder;
    std::string id;
    { Game game(folder); id = InstallationId(folder.root); }
    const fs::path journal = folder.state.Path() / id / "journal";
    for (const std::string& text : {std::string("trackwright journal 1\nstate committing\n"),
                                    std::string("trackwright journal 1\nstate done\nend\n"),
                                    std::string("trackwright journal 1\nstate committing\nreplace\tx\t\\q\ty\nend\n")}) {
        { std::ofstream(journal, std::ios::binary) << text; }
        GameContext context;
        PointAt(context, folder);
        const Status taken = context.TakeInstallation(Installation::Intent::Read);
        ASSERT_FALSE(taken) << text;
        EXPECT_NE(taken.Reason().find("was interrupted"), std::string::npos) << taken.Reason();
        EXPECT_NE(taken.Reason().find("damaged"), std::string::npos) << taken.Reason();
    }
}

TEST(GameTransactionTest, JournalRoundTripsEveryChangeAndPathCharacter) {
    Journal journal;
    journal.scope = {"/g", "/o/ri\tginals"};
    journal.state = Journal::State::Committing;
    journal.entries = {{Journal::Change::Replace, "/g/Work.iff", "/g/a\tb.new", "/g/back\\slash\n.old", {}},
                       {Journal::Change::Create, "/g/x", "/g/x.new", {}, {}},
                       {Journal::Change::Remove, "/g/y", {}, "/g/y.old", {}},
                       {Journal::Change::Replace, "/m/CarPortal.iff", "/m/c.new", "/m/c.old", "/g/CarPortal.iff"}};
    journal.folders = {"/g/new", "/g/new/er"};
    Journal read;
    ASSERT_TRUE(ParseJournal(EncodeJournal(journal), read));
    EXPECT_EQ(read.scope.gameFolder, journal.scope.gameFolder);
    EXPECT_EQ(read.scope.originalsFolder, journal.scope.originalsFolder);
    EXPECT_EQ(read.state, journal.state);
    EXPECT_EQ(read.folders, journal.folders);
    ASSERT_EQ(read.entries.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(read.entries[i].change, journal.entries[i].change);
        EXPECT_EQ(read.entries[i].target, journal.entries[i].target);
        EXPECT_EQ(read.entries[i].temporary, journal.entries[i].temporary);
        EXPECT_EQ(read.entries[i].kept, journal.entries[i].kept);
        EXPECT_EQ(read.entries[i].via, journal.entries[i].via);
    }
}

#ifndef _WIN32
TEST(GameTransactionTest, ReplacedFilesKeepTheirModeAndLinksStayLinks) {
    GameFolder folder;
    // The chance cards live elsewhere, behind a link; the careers file is private.
    const fs::path elsewhere = folder.state.Path() / "mods";
    fs::create_directories(elsewhere);
    fs::rename(folder.At(SavedFiles[1]), elsewhere / "CarPortal.iff");
    fs::create_symlink(elsewhere / "CarPortal.iff", folder.At(SavedFiles[1]));
    {
        Game first(folder);
        ASSERT_TRUE(SaveGameFiles(first.context, first.port));
    }
    ::chmod(folder.At(SavedFiles[0]).c_str(), 0600);

    Game game(folder);
    Edit(game.context);
    const Bytes cardsBefore = folder.Read(SavedFiles[1]);
    ASSERT_TRUE(SaveGameFiles(game.context, game.port));
    struct stat info {};
    ASSERT_EQ(::stat(folder.At(SavedFiles[0]).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_TRUE(fs::is_symlink(folder.At(SavedFiles[1])));
    EXPECT_NE(folder.Read(SavedFiles[1]), cardsBefore);
    EXPECT_EQ(std::distance(fs::directory_iterator(elsewhere), fs::directory_iterator()), 1);
}

TEST(GameTransactionTest, NewFilesNeverFollowALinkPlantedAtTheirName) {
    GameFolder folder;
    const fs::path victim = folder.state.Path() / "victim";
    { std::ofstream(victim) << "keep"; }
    fs::create_symlink(victim, folder.At("planted"));
    EXPECT_THROW(HostFileSystem().CreateNew(folder.At("planted")), FileError);
    std::ifstream in(victim);
    std::string text;
    in >> text;
    EXPECT_EQ(text, "keep");
}

// Two real processes: the lock is the system's, not this program's memory.
TEST(GameTransactionTest, AnotherProcessHoldingTheGameIsNamed) {
    GameFolder folder;
    int ready[2];
    int finish[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(finish), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        GameContext holder;
        PointAt(holder, folder);
        holder.installationOptions.holder = "trackwright-cli resave";
        char byte = holder.TakeInstallation(Installation::Intent::Write) ? 'y' : 'n';
        if (::write(ready[1], &byte, 1) != 1) ::_exit(1);
        if (::read(finish[0], &byte, 1) != 1) ::_exit(1);
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ASSERT_EQ(byte, 'y');
    GameContext second;
    PointAt(second, folder);
    const Status refused = second.TakeInstallation(Installation::Intent::Write);
    EXPECT_NE(refused.Reason().find("trackwright-cli resave (process " + std::to_string(child) + ")"),
              std::string::npos)
        << refused.Reason();
    byte = 'x';
    EXPECT_EQ(::write(finish[1], &byte, 1), 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(second.TakeInstallation(Installation::Intent::Write));
}
#endif

}  // namespace
}  // namespace tw
