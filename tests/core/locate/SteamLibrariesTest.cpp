#include "locate/SteamLibraries.h"

#include <gtest/gtest.h>

#include "core/locate/LocationFixture.h"
#include "locate/KeyValues.h"

namespace tw {
namespace {

using test::TempFolder;

TEST(SteamLibrariesTest, ReadsBothFormsOfTheList) {
    const struct {
        const char* what;
        std::string text;
        std::vector<std::string> paths;
    } cases[] = {
        {"numbered blocks",
         R"("libraryfolders"
{
	"0"
	{
		"path"		"C:\\Program Files (x86)\\Steam"   // the installation itself
		"label"		""
		"apps" { "3314060" "123" }
	}
	"1" { "PATH" "D:\\Games \"Steam\"" }
	"contentstatsid"		"-1"
	"2" { "label" "no path" }
})",
         {"C:\\Program Files (x86)\\Steam", "D:\\Games \"Steam\""}},
        {"older plain values",
         "\"LibraryFolders\" { \"TimeNextStatsReport\" \"1\" \"1\" \"/mnt/games/SteamLibrary\" \"2\" \"\" }",
         {"/mnt/games/SteamLibrary"}},
    };
    for (const auto& c : cases) {
        const Expected<std::vector<std::string>> paths = ParseSteamLibraryFolders(c.text);
        EXPECT_TRUE(paths) << c.what << ": " << paths.Reason();
        EXPECT_EQ(paths.ValueOr({}), c.paths) << c.what;
    }
}

TEST(SteamLibrariesTest, RefusesMalformedListsWithTheLine) {
    std::string deep;
    for (int i = 0; i <= KeyValues::MaxDepth; ++i) deep += "\"k\" {";
    const struct {
        const char* what;
        std::string text;
        const char* error;
    } cases[] = {
        {"truncated inside a block", "\"libraryfolders\"\n{\n\"0\" { \"path\" \"/a\" }\n", "line 4: the text ends inside a block"},
        {"truncated inside a string", "\"libraryfolders\" { \"0\" \"/a", "a string without its closing quote"},
        {"closing brace too many", "\"libraryfolders\" { } }", "} without a matching {"},
        {"block without a key", "{ }", "{ without a key"},
        {"key without a value", "\"libraryfolders\" { \"0\" }", "key \"0\" has no value"},
        {"key at the end", "\"libraryfolders\"", "key \"libraryfolders\" has no value"},
        {"unknown escape", "\"libraryfolders\" { \"0\" \"C:\\Steam\" }", "unknown escape \\S"},
        {"unquoted word", "libraryfolders { }", "text outside quotes"},
        {"single slash", "\"a\" \"b\" / comment", "a single /"},
        {"nested too deeply", deep, "nested too deeply"},
        {"no library list", "\"config\" { }", "no \"libraryfolders\" block"},
        {"library list not a block", "\"libraryfolders\" \"x\"", "no \"libraryfolders\" block"},
    };
    for (const auto& c : cases) {
        const Expected<std::vector<std::string>> paths = ParseSteamLibraryFolders(c.text);
        EXPECT_FALSE(paths) << c.what;
        EXPECT_NE(paths.Reason().find(c.error), std::string::npos) << c.what << ": " << paths.Reason();
    }
}

TEST(SteamLibrariesTest, InstallationIsALibraryEvenWithoutAReadableList) {
    TempFolder temp;
    const std::filesystem::path steam = temp.Folder("Steam");
    const auto passedOver = [&](const SteamLibrariesFound& found) {
        return found.listPassedOver ? found.listPassedOver->Message() : std::string();
    };
    SteamLibrariesFound found = SteamLibraries(steam);
    EXPECT_EQ(found.libraries, std::vector<std::filesystem::path>{steam});
    EXPECT_NE(passedOver(found).find("not found"), std::string::npos) << passedOver(found);

    temp.Write("Steam/steamapps/libraryfolders.vdf", "\"libraryfolders\" { \"0\" { \"path\" \"/mnt/lib\" }");
    found = SteamLibraries(steam);
    EXPECT_EQ(found.libraries, std::vector<std::filesystem::path>{steam});
    EXPECT_NE(passedOver(found).find("ends inside a block"), std::string::npos) << passedOver(found);

    temp.Write("Steam/steamapps/libraryfolders.vdf", "\"libraryfolders\" { \"0\" { \"path\" \"/mnt/lib\" } }");
    found = SteamLibraries(steam);
    EXPECT_EQ(found.libraries, (std::vector<std::filesystem::path>{steam, "/mnt/lib"}));
    EXPECT_FALSE(found.listPassedOver);
}

}  // namespace
}  // namespace tw
