#include "gamefiles/GameFileFinding.h"

#include <gtest/gtest.h>

#include "core/locate/LocationFixture.h"

namespace tw {
namespace {

using test::FarBytes;
using test::TempFolder;
using Where = GameFileFinding::Where;

TEST(GameFileFindingTest, CareersFilesInTheLoadsOrder) {
    TempFolder temp;
    temp.Write("gamedata/careers", "x");
    EXPECT_EQ(FindCareersFile(temp.Path()).gameName, "GameData\\Careers");
    temp.Write("GAMEDATA/Careers.IFF", "x");
    EXPECT_EQ(FindCareersFile(temp.Path()).gameName, "GameData\\Careers.iff");
    temp.Write("ExpansionShared/Work.iff", "x");
    const GameFileFinding finding = FindCareersFile(temp.Path());
    EXPECT_EQ(finding.where, Where::Loose);
    EXPECT_EQ(finding.gameName, "ExpansionShared\\Work.iff");
    EXPECT_EQ(finding.path, temp.Path() / "ExpansionShared/Work.iff");
}

TEST(GameFileFindingTest, AFolderNamedLikeTheFileIsNotTheFile) {
    TempFolder temp;
    temp.Folder("ExpansionShared/Work.iff");
    EXPECT_FALSE(FindCareersFile(temp.Path()).Found());
}

TEST(GameFileFindingTest, FindsNamesInArchivesInNameOrder) {
    TempFolder temp;
    temp.Write("ExpansionShared/b.far", FarBytes({"WORK.IFF"}));
    temp.Write("ExpansionShared/A.FAR", FarBytes({"Other.iff", "work.iff"}));
    temp.Write("ExpansionShared/c.txt", FarBytes({"Work.iff"}));
    const GameFileFinding finding = FindCareersFile(temp.Path());
    EXPECT_EQ(finding.where, Where::InArchive);
    EXPECT_EQ(finding.path, temp.Path() / "ExpansionShared/A.FAR");

    temp.Write("UIGraphics/UIGraphics.far", FarBytes({"cpanel\\Buttons\\JobIconMultiButton.bmp"}));
    EXPECT_EQ(FindGameFile(temp.Path(), "UIGraphics\\", "cpanel\\Buttons\\JobIconMultiButton.BMP").where,
              Where::InArchive);
    EXPECT_FALSE(FindGameFile(temp.Path(), "UIGraphics\\", "JobIconMultiButton.BMP").Found());
}

TEST(GameFileFindingTest, DamagedArchivesArePassedOver) {
    const std::string good = FarBytes({"Careers.iff"});
    std::string lyingCount = good;
    lyingCount[good.size() - 16 - 11 - 4] = 2;  // two entries announced, one present
    std::string badSignature = good;
    badSignature[3] = '?';
    std::string badVersion = good;
    badVersion[8] = 2;
    std::string badOffset = good;
    badOffset[12] = static_cast<char>(0xF0);
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"entry count larger than the entries", lyingCount},
        {"signature", badSignature},
        {"version", badVersion},
        {"directory offset past the end", badOffset},
        {"truncated inside the directory", good.substr(0, good.size() - 3)},
        {"shorter than a header", good.substr(0, 15)},
        {"empty", ""},
    };
    for (const auto& c : cases) {
        TempFolder temp;
        temp.Write("GameData/Data.far", c.bytes);
        EXPECT_FALSE(FindCareersFile(temp.Path()).Found()) << c.what;
    }
}

TEST(GameFileFindingTest, AnArchiveLookupReplacesTheScan) {
    TempFolder temp;
    temp.Write("GameData/Data.far", FarBytes({"Careers"}));
    std::vector<std::string> asked;
    const ArchiveLookup lookup = [&](const std::filesystem::path& folder, const std::string& name) {
        asked.push_back(folder.filename().string() + "|" + name);
        return name == "Careers.iff";
    };
    const GameFileFinding finding = FindCareersFile(temp.Path(), lookup);
    EXPECT_EQ(finding.where, Where::InArchive);
    EXPECT_EQ(finding.gameName, "GameData\\Careers.iff");
    EXPECT_EQ(asked, (std::vector<std::string>{"ExpansionShared|Work.iff", "GameData|Careers.iff"}));
}

}  // namespace
}  // namespace tw
