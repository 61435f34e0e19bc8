// One game folder reached through two paths is one installation: one writer at a time, one store
// of kept originals, found again under the name an earlier version gave it.
#include "store/Installation.h"

#include "support/TempFolder.h"
#include "util/FolderIdentity.h"

#include <gtest/gtest.h>

#include <fstream>

namespace tw {
namespace {

namespace fs = std::filesystem;

void Touch(const fs::path& file) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "x";
}

TEST(InstallationIdentityTest, TheStoreOfTheSameFolderIsFoundWhateverPathMadeIt) {
    test::TempFolder temp("tw-identity");
    const fs::path root = temp.Path() / "store", game = temp.Path() / "game", other = temp.Path() / "other";
    const fs::path gone = temp.Path() / "gone";
    for (const fs::path& folder : {root, game, other}) fs::create_directories(folder);
    const std::string identity = FolderIdentity(game);
    ASSERT_FALSE(identity.empty());
    const std::string mine(64, 'a'), earlier(64, 'b'), stranger(64, 'c'), stale(64, 'd');
    auto record = [&](const std::string& id, const std::string& what, const fs::path& path, const char* file) {
        fs::create_directories(root / id);
        ASSERT_TRUE(RecordIdentity(HostFileSystem(), root / id, what, path));
        Touch(root / id / file);
    };
    // Another folder's store, and one whose path no longer reaches any folder although it once
    // recorded the same identity (a folder's number is given again after it is deleted).
    record(stranger, FolderIdentity(other), other, "manifest.json");
    record(stale, identity, gone, "manifest.json");
    EXPECT_EQ(ChooseOwnFolder(HostFileSystem(), root, mine, identity, "manifest.json"), root / mine);
    EXPECT_EQ(ChooseOwnFolder(HostFileSystem(), root, mine, "", "manifest.json"), root / mine);

    // Made through another path to this folder (its id says so), even with nothing in it yet: that one, so that
    // both paths share its locks; and with something kept, that too.
    fs::create_directories(root / earlier);
    ASSERT_TRUE(RecordIdentity(HostFileSystem(), root / earlier, identity, game));
    EXPECT_EQ(ChooseOwnFolder(HostFileSystem(), root, mine, identity, "manifest.json"), root / earlier);
    Touch(root / earlier / "manifest.json");
    EXPECT_EQ(ChooseOwnFolder(HostFileSystem(), root, mine, identity, "manifest.json"), root / earlier);

    // A store under the path's own name (as every earlier version made it) wins when it holds
    // something, and so does a journal of an interrupted save wherever it is.
    Touch(root / mine / "manifest.json");
    EXPECT_EQ(ChooseOwnFolder(HostFileSystem(), root, mine, identity, "manifest.json"), root / mine);
    EXPECT_EQ(ChooseOwnFolder(HostFileSystem(), root, mine, identity, "journal"), root / mine);
    Touch(root / earlier / "journal");
    EXPECT_EQ(ChooseOwnFolder(HostFileSystem(), root, mine, identity, "journal"), root / earlier);
}

#ifndef _WIN32
// Two programs whose own state lies apart (as for two paths before either recorded what the
// folder is) still exclude each other: the game folder itself is locked.
TEST(InstallationIdentityTest, TwoWritersThroughTwoPathsExcludeEachOther) {
    test::TempFolder temp("tw-identity");
    const fs::path game = temp.Path() / "game";
    fs::create_directories(game);
    fs::create_directory_symlink(game, temp.Path() / "link");
    EXPECT_EQ(FolderIdentity(game), FolderIdentity(temp.Path() / "link"));
    EXPECT_NE(FolderIdentity(game), FolderIdentity(temp.Path()));

    InstallationOptions first, second;
    first.stateRoot = temp.Path() / "state-1";
    first.originalsRoot = temp.Path() / "originals-1";
    second.stateRoot = temp.Path() / "state-2";
    second.originalsRoot = temp.Path() / "originals-2";
    auto holder = Installation::Open(game, first, Installation::Intent::Write);
    ASSERT_TRUE(holder) << holder.Reason();
    auto refused = Installation::Open(temp.Path() / "link", second, Installation::Intent::Write);
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.Err().Kind(), ErrorKind::Busy);
    EXPECT_NE(refused.Reason().find("through another path"), std::string::npos) << refused.Reason();
    holder->reset();
    const auto again = Installation::Open(temp.Path() / "link", second, Installation::Intent::Write);
    EXPECT_TRUE(again) << again.Reason();
}
#endif

}  // namespace
}  // namespace tw
