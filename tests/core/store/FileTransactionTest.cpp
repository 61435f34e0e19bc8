// The transaction alone, on small files: a kill or a failing step at every step of a commit that
// replaces, creates and removes files together.
#include "store/FileTransaction.h"

#include "store/Installation.h"

#include "support/FaultyFileSystem.h"
#include "support/TempFolder.h"
#include "util/FileError.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <optional>

namespace tw {
namespace {

namespace fs = std::filesystem;
using test::FaultyFileSystem;
using test::SimulatedKill;
using test::TempFolder;
// Every file of a folder with its content; nothing else may be there.
using Contents = std::map<std::string, std::string>;

Contents Read(const fs::path& folder) {
    Contents contents;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        contents[entry.path().filename().string()] = {std::istreambuf_iterator<char>(in), {}};
    }
    return contents;
}

void Write(const fs::path& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }

// The installation a transaction in `folder` belongs to.
JournalScope ScopeOf(const fs::path& folder) { return {CanonicalFolder(folder), {}}; }

const Contents Before = {{"a", "old a"}, {"b", "old b"}, {"gone", "old gone"}};
const Contents After = {{"a", "new a"}, {"b", "new b"}, {"made", "new made"}};

// One transaction over `folder`: replaces a and b, creates made, removes gone. Returns whether it
// committed; a kill propagates.
bool ChangeAll(FileSystem& files, const fs::path& folder, const fs::path& state) {
    for (const auto& [name, text] : Before) Write(folder / name, text);
    FileTransaction transaction(files, state, ScopeOf(folder));
    const std::size_t a = transaction.Replace(folder / "a");
    const std::size_t made = transaction.Create(folder / "made");
    const std::size_t b = transaction.Replace(folder / "b");
    transaction.Remove(folder / "gone");
    if (!transaction.Prepare()) return false;
    for (const auto& [change, text] : {std::pair{a, "new a"}, {made, "new made"}, {b, "new b"}}) {
        const Status written = transaction.Write(change, [text = std::string(text)](Stream& out) {
            out.Write(std::string_view(text));
            return Status();
        });
        if (!written) return false;
    }
    return static_cast<bool>(transaction.Commit());
}

TEST(FileTransactionTest, AKillAtAnyStepIsUndoneOrFinishedByRecovery) {
    std::size_t step = 1;
    std::size_t unreadableJournals = 0;
    for (;; ++step) {
        TempFolder folder("tw-files");
        TempFolder state("tw-state");
        FaultyFileSystem files;
        files.KillAt(step);
        try {
            EXPECT_TRUE(ChangeAll(files, folder.Path(), state.Path()));
        } catch (const SimulatedKill&) {
        }
        if (!files.Killed()) {
            EXPECT_EQ(Read(folder.Path()), After);
            break;
        }
        SCOPED_TRACE("killed at " + files.FaultStep());
        // A journal that cannot be read is not acted on: the files stay as the kill left them.
        FaultyFileSystem unreadable;
        unreadable.FailAt(FaultyFileSystem::Step::Read, 1);
        const Contents killed = Read(folder.Path());
        const Status refused = RecoverTransaction(unreadable, state.Path(), ScopeOf(folder.Path()));
        if (unreadable.Failed()) {
            ++unreadableJournals;
            EXPECT_NE(refused.Reason().find("(injected)"), std::string::npos) << refused.Reason();
            EXPECT_EQ(Read(folder.Path()), killed);
        }
        ASSERT_TRUE(RecoverTransaction(HostFileSystem(), state.Path(), ScopeOf(folder.Path())));
        const Contents now = Read(folder.Path());
        EXPECT_TRUE(now == Before || now == After) << "a mix, or files left over: " << now.size() << " files";
        EXPECT_TRUE(fs::is_empty(state.Path()));
        // Once all is in place, recovery finishes rather than undoes.
        if (files.FaultStep().starts_with("Remove")) {
            EXPECT_EQ(now, After);
        }
    }
    EXPECT_GT(step, 25u);
    EXPECT_GT(unreadableJournals, 0u);
}

TEST(FileTransactionTest, AFailingStepLeavesAllOldOrAllNewAndNothingBehind) {
    for (std::size_t step = 1;; ++step) {
        TempFolder folder("tw-files");
        TempFolder state("tw-state");
        FaultyFileSystem files;
        files.FailAt(FaultyFileSystem::Step::Any, step);
        const bool committed = ChangeAll(files, folder.Path(), state.Path());
        if (!files.Failed()) {
            EXPECT_TRUE(committed);
            break;
        }
        SCOPED_TRACE("failed at " + files.FaultStep());
        // A failure after everything was in place (letting go of the old files) is still a
        // commit; the next recovery removes what could not be removed then.
        EXPECT_EQ(Read(folder.Path()).count("made") == 1, committed);
        ASSERT_TRUE(RecoverTransaction(HostFileSystem(), state.Path(), ScopeOf(folder.Path())));
        EXPECT_EQ(Read(folder.Path()), committed ? After : Before);
        EXPECT_TRUE(fs::is_empty(state.Path()));
    }
}

TEST(FileTransactionTest, AFileAnotherProgramHoldsStopsTheCommitAndEveryOtherGoesBack) {
    TempFolder folder("tw-files");
    TempFolder state("tw-state");
    const Contents old = {{"a", "old a"}, {"held", "old held"}, {"z", "old z"}};
    for (const auto& [name, text] : old) Write(folder / name, text);
    FaultyFileSystem files;
    // Neither moved nor removed while the other program has it, whatever the name.
    files.FailOn("held");
    FileTransaction transaction(files, state.Path(), ScopeOf(folder.Path()));
    for (const auto& [name, text] : old) transaction.Replace(folder / name);
    ASSERT_TRUE(transaction.Prepare());
    for (std::size_t change = 0; change < old.size(); ++change)
        ASSERT_TRUE(transaction.Write(change, [](Stream& out) {
            out.Write(std::string_view("new"));
            return Status();
        }));
    const Status committed = transaction.Commit();
    EXPECT_FALSE(committed);
    EXPECT_EQ(transaction.FailedChange(), std::optional<std::size_t>(1));
    EXPECT_NE(committed.Reason().find("being used by another process"), std::string::npos) << committed.Reason();
    Contents now = Read(folder.Path());
    for (const auto& [name, text] : old) EXPECT_EQ(now[name], text) << name;

    // Once the other program lets go, the next one removes what was left.
    ASSERT_TRUE(RecoverTransaction(HostFileSystem(), state.Path(), ScopeOf(folder.Path())));
    EXPECT_EQ(Read(folder.Path()), old);
    EXPECT_TRUE(fs::is_empty(state.Path()));
}

TEST(FileTransactionTest, CreateNeverTakesThePlaceOfAFileThatAppeared) {
    TempFolder folder("tw-files");
    TempFolder state("tw-state");
    Write(folder / "a", "old a");
    FileTransaction transaction(HostFileSystem(), state.Path(), ScopeOf(folder.Path()));
    const std::size_t a = transaction.Replace(folder / "a");
    const std::size_t made = transaction.Create(folder / "made");
    ASSERT_TRUE(transaction.Prepare());
    for (std::size_t change : {a, made})
        ASSERT_TRUE(transaction.Write(change, [](Stream& out) {
            out.Write(std::string_view("new"));
            return Status();
        }));
    Write(folder / "made", "somebody else's");
    const Status committed = transaction.Commit();
    EXPECT_FALSE(committed);
    EXPECT_EQ(transaction.FailedChange(), std::optional<std::size_t>(made));
    EXPECT_EQ(Read(folder.Path()), (Contents{{"a", "old a"}, {"made", "somebody else's"}}));
}

}  // namespace
}  // namespace tw

namespace tw {
namespace {

// A path as a journal's field holds it: a backslash (Windows' separator) doubled.
std::string Field(const fs::path& path) {
    std::string text;
    for (char c : path.string()) text += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return text;
}

// A journal found in the state folder is input like any file: one that names anything but this
// installation's own files, in names the transaction gives them, is refused whole, and the
// refusal names the journal and what the person can do. Nothing it names is touched.
TEST(JournalTrustTest, AJournalNamingAnythingElseIsRefusedAndNothingIsTouched) {
    TempFolder game("tw-files");
    TempFolder elsewhere("tw-elsewhere");
    const fs::path g = CanonicalFolder(game.Path());
    const fs::path victim = CanonicalFolder(elsewhere.Path()) / "victim";
    Write(victim, "keep");
    Write(g / "a", "game a");
    const std::string beside = ".a.tw-0123456789abcdef01234567";
    const std::string foreign = ".victim.tw-0123456789abcdef01234567";
    Write(g / (beside + ".old"), "kept a");
    Write(victim.parent_path() / (foreign + ".old"), "planted");
    auto line = [](const std::string& change, const fs::path& target, const fs::path& temporary, const fs::path& kept,
                   const fs::path& via = {}) {
        return change + "\t" + Field(target) + "\t" + Field(temporary) + "\t" + Field(kept) + "\t" + Field(via) + "\n";
    };
    auto v2 = [&](const fs::path& folder, const std::string& entries) {
        return "trackwright journal 2\ngame\t" + Field(folder) + "\noriginals\t\nstate committing\n" + entries + "end\n";
    };
    const struct {
        const char* name;
        std::string journal;
        const char* reason;
    } cases[] = {
        {"a target outside the game folder",
         v2(g, line("replace", victim, victim.parent_path() / (foreign + ".new"), victim.parent_path() / (foreign + ".old"))),
         "outside the game's folders"},
        {"a name that is no temporary name",
         v2(g, line("replace", g / "a", g / "b.new", g / (beside + ".old"))), "no name Trackwright gives"},
        {"a kept name in another folder",
         v2(g, line("replace", g / "a", g / (beside + ".new"), victim.parent_path() / (beside + ".old"))),
         "no name Trackwright gives"},
        {"another game's journal",
         v2(victim.parent_path(), line("replace", g / "a", g / (beside + ".new"), g / (beside + ".old"))),
         "belongs to the game in"},
        {"a folder outside the game folder", v2(g, "folder\t" + Field(victim.parent_path()) + "\n"),
         "outside the game's folders"},
        {"a link that now leads elsewhere",
         v2(g, line("replace", victim, victim.parent_path() / (foreign + ".new"), victim.parent_path() / (foreign + ".old"),
                    g / "a")),
         "no longer leads to"},
        {"relative paths in an old journal",
         "trackwright journal 1\nstate committing\nreplace\ta\t" + beside + ".new\t" + beside + ".old\nend\n",
         "outside the game's folders"},
        {"cut short after an entry", v2(g, line("replace", g / "a", g / (beside + ".new"), g / (beside + ".old"))).substr(0, 200),
         "damaged"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder state("tw-state");
        Write(state / "journal", c.journal);
        const Status recovered = RecoverTransaction(HostFileSystem(), state.Path(), ScopeOf(game.Path()));
        ASSERT_FALSE(recovered);
        EXPECT_NE(recovered.Reason().find(c.reason), std::string::npos) << recovered.Reason();
        EXPECT_NE(recovered.Reason().find((state / "journal").string()), std::string::npos) << recovered.Reason();
        EXPECT_EQ(Read(game.Path()), (Contents{{"a", "game a"}, {beside + ".old", "kept a"}}));
        EXPECT_EQ(Read(victim.parent_path()), (Contents{{"victim", "keep"}, {foreign + ".old", "planted"}}));
        EXPECT_TRUE(fs::exists(state / "journal"));
    }
}

// A game half saved by the version before (a journal without the installation's name) is still
// made whole when every path it names lies inside the game folder.
TEST(JournalTrustTest, AnOldJournalInsideTheGameFolderIsStillRecovered) {
    TempFolder game("tw-files");
    TempFolder state("tw-state");
    const fs::path g = CanonicalFolder(game.Path());
    const std::string beside = ".a.tw-0123456789abcdef01234567";
    // The old file moved aside, the new one not yet in place: the save is undone.
    Write(g / (beside + ".old"), "old a");
    Write(g / (beside + ".new"), "new a");
    Write(state / "journal", "trackwright journal 1\nstate committing\nreplace\t" + Field(g / "a") + "\t" +
                                 Field(g / (beside + ".new")) + "\t" + Field(g / (beside + ".old")) + "\nend\n");
    ASSERT_TRUE(RecoverTransaction(HostFileSystem(), state.Path(), ScopeOf(game.Path())));
    EXPECT_EQ(Read(game.Path()), (Contents{{"a", "old a"}}));
    EXPECT_TRUE(fs::is_empty(state.Path()));
}

// A transaction planned with relative paths journals them absolute: a recovery from any other
// working folder finds the same files.
TEST(JournalTrustTest, RelativePathsAreJournalledAbsolute) {
    TempFolder game("tw-files");
    TempFolder state("tw-state");
    Write(game / "a", "old a");
    const fs::path before = fs::current_path();
    fs::current_path(game.Path().parent_path());
    {
        FaultyFileSystem files;
        FileTransaction transaction(files, state.Path(), ScopeOf(game.Path()));
        const std::size_t a = transaction.Replace(game.Path().filename() / "a");
        ASSERT_TRUE(transaction.Prepare());
        ASSERT_TRUE(transaction.Write(a, [](Stream& out) {
            out.Write(std::string_view("new a"));
            return Status();
        }));
        // Killed after the old file has gone aside and before the new one is in place.
        files.Restart();
        files.KillAt(7);
        try {
            (void)transaction.Commit();
        } catch (const SimulatedKill&) {
        }
        ASSERT_TRUE(files.Killed());
    }
    fs::current_path(state.Path());
    const Status recovered = RecoverTransaction(HostFileSystem(), state.Path(), ScopeOf(game.Path()));
    fs::current_path(before);
    ASSERT_TRUE(recovered) << recovered.Reason();
    EXPECT_EQ(Read(game.Path()), (Contents{{"a", "old a"}}));
}

}  // namespace
}  // namespace tw
