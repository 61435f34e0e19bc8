#include "util/HostPath.h"

#include <gtest/gtest.h>

#include "core/locate/LocationFixture.h"

namespace tw {
namespace {

using test::TempFolder;

#ifndef _WIN32
TEST(HostPathTest, MatchesComponentsOnDiskWithoutRegardToCase) {
    TempFolder temp;
    temp.Write("gamedata/OBJECTS/carportal.IFF", "x");
    temp.Folder("UIGraphics");
    temp.Folder("Both/Data");
    temp.Folder("Both/data");
    const std::filesystem::path root = temp.Path();
    struct Case {
        std::string name;
        std::filesystem::path expected;
    };
    const Case cases[] = {
        {"GameData\\Objects\\CarPortal.iff", root / "gamedata/OBJECTS/carportal.IFF"},
        // A missing component keeps its spelling, and so does everything after it.
        {"UIGRAPHICS\\cpanel\\Buttons\\JobIconMultiButton.BMP", root / "UIGraphics/cpanel/Buttons/JobIconMultiButton.BMP"},
        {"GameData\\Missing\\OBJECTS", root / "gamedata/Missing/OBJECTS"},
        // An exact match wins over a case variant; among variants the lowest in byte order.
        {"Both\\data", root / "Both/data"},
        {"Both\\DATA", root / "Both/Data"},
        // Names from files cannot climb out of the folder.
        {"..\\..\\etc\\passwd", root / "etc/passwd"},
        {"GameData\\.\\\\Objects/", root / "gamedata/OBJECTS"},
    };
    for (const Case& c : cases) EXPECT_EQ(HostPath(root, c.name), c.expected) << c.name;
}

TEST(HostPathTest, TrailingSeparatorOfTheFolderMakesNoDifference) {
    TempFolder temp;
    temp.Write("ExpansionShared/work.iff", "x");
    const std::filesystem::path with = temp.Path().string() + "/";
    EXPECT_EQ(HostPath(with, "ExpansionShared\\Work.iff"), HostPath(temp.Path(), "ExpansionShared\\Work.iff"));
    EXPECT_EQ(HostPath(with, "ExpansionShared\\Work.iff"), temp.Path() / "ExpansionShared/work.iff");
}
#endif

TEST(HostPathTest, ClearReadOnlyMakesTheFileWritable) {
    TempFolder temp;
    const std::filesystem::path file = temp.Write("Work.iff", "x");
    std::filesystem::permissions(file, std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                           std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    ASSERT_TRUE(ClearReadOnly(file));
    EXPECT_NE(std::filesystem::status(file).permissions() & std::filesystem::perms::owner_write,
              std::filesystem::perms::none);

    const Status missing = ClearReadOnly(temp.Path() / "missing");
    EXPECT_FALSE(missing);
    EXPECT_FALSE(missing.Reason().empty());
}

TEST(HostPathTest, EqualsIgnoringCaseFoldsAsciiOnly) {
    EXPECT_TRUE(EqualsIgnoringCase("Work.IFF", "work.iff"));
    EXPECT_FALSE(EqualsIgnoringCase("Work.iff", "Work.if"));
    EXPECT_FALSE(EqualsIgnoringCase("\xC4", "\xE4"));  // bytes beyond ASCII compare exactly
}

}  // namespace
}  // namespace tw
