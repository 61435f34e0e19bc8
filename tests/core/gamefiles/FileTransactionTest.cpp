// The transaction alone, on small files: a kill or a failing step at every step of a commit that
// replaces, creates and removes files together.
#include "gamefiles/FileTransaction.h"

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

const Contents Before = {{"a", "old a"}, {"b", "old b"}, {"gone", "old gone"}};
const Contents After = {{"a", "new a"}, {"b", "new b"}, {"made", "new made"}};

// One transaction over `folder`: replaces a and b, creates made, removes gone. Returns whether it
// committed; a kill propagates.
bool ChangeAll(FileSystem& files, const fs::path& folder, const fs::path& state) {
    for (const auto& [name, text] : Before) Write(folder / name, text);
    FileTransaction transaction(files, state);
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
        ASSERT_TRUE(RecoverTransaction(HostFileSystem(), state.Path()));
        const Contents now = Read(folder.Path());
        EXPECT_TRUE(now == Before || now == After) << "a mix, or files left over: " << now.size() << " files";
        EXPECT_TRUE(fs::is_empty(state.Path()));
        // Once all is in place, recovery finishes rather than undoes.
        if (files.FaultStep().starts_with("Remove")) {
            EXPECT_EQ(now, After);
        }
    }
    EXPECT_GT(step, 25u);
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
        ASSERT_TRUE(RecoverTransaction(HostFileSystem(), state.Path()));
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
    FileTransaction transaction(files, state.Path());
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
    ASSERT_TRUE(RecoverTransaction(HostFileSystem(), state.Path()));
    EXPECT_EQ(Read(folder.Path()), old);
    EXPECT_TRUE(fs::is_empty(state.Path()));
}

TEST(FileTransactionTest, CreateNeverTakesThePlaceOfAFileThatAppeared) {
    TempFolder folder("tw-files");
    TempFolder state("tw-state");
    Write(folder / "a", "old a");
    FileTransaction transaction(HostFileSystem(), state.Path());
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
