#include "gamefiles/GameLocation.h"

#include <gtest/gtest.h>

#include "core/gamefiles/LocationFixture.h"
#include "gamefiles/RememberedFolder.h"

namespace tw {
namespace {

using test::FakeEnvironment;
using test::FarBytes;
using test::TempFolder;

class LocationTest : public ::testing::Test {
protected:
    void SetUp() override { env.variables["HOME"] = home.string(); }

    LocateResult Locate(const std::string& game = {}) {
        LocateOptions options;
        options.gameFolder = game;
        options.environment = env.Lookup();
        options.windowsRegistry = NoRegistry;
        return LocateGame(options);
    }

    // Tests never read the registry of the machine they run on.
    static RegistryKey NoRegistry(RegistryRoot, const std::string& keyPath, const std::vector<std::string>&) {
        RegistryKey key;
        key.where = keyPath;
        return key;
    }

    // A game folder (relative to the temporary folder) holding a careers file.
    std::filesystem::path Game(const std::string& relative, const std::string& careers = "GameData/Careers.iff") {
        temp.Write(relative + "/" + careers, "careers");
        return temp.Path() / relative;
    }

    // A Wine prefix whose system.reg holds `keys`, with C: linked to its drive_c.
    std::filesystem::path Prefix(const std::string& relative, const std::string& keys) {
        temp.Write(relative + "/system.reg", "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n" + keys);
        temp.Folder(relative + "/drive_c");
        const std::filesystem::path links = temp.Folder(relative + "/dosdevices");
        std::filesystem::create_directory_symlink("../drive_c", links / "c:");
        return temp.Path() / relative;
    }

    static std::string DriveC(const std::filesystem::path& prefix, const std::string& below) {
        return (std::filesystem::canonical(prefix / "drive_c") / below).string();
    }

    void Remember(const std::filesystem::path& folder) {
        std::string error;
        ASSERT_TRUE(RememberedFolder(env.Lookup()).Remember(folder.string(), &error)) << error;
    }

    static std::string TraceText(const LocateResult& result) {
        std::string text;
        for (const LocateStep& step : result.trace) {
            text += std::string(step.chosen ? "* " : "  ") + std::string(LocateSourceName(step.source)) + " | " +
                    step.candidate + " | " + step.outcome + "\n";
        }
        return text;
    }

    static bool Traced(const LocateResult& result, LocateSource source, const std::string& text) {
        for (const LocateStep& step : result.trace) {
            if (step.source == source && (step.candidate + " " + step.outcome).find(text) != std::string::npos) return true;
        }
        return false;
    }

    TempFolder temp;
    std::filesystem::path home = temp.Folder("home");
    FakeEnvironment env;
};

TEST_F(LocationTest, GivenFolderAndEnvironmentAreUsedAsTheyAre) {
    env.variables["SIMS_DATA"] = "/games/sims";
    env.variables["EP3Installed"] = "1";
    LocateResult result = Locate("/nowhere/sims/");
    EXPECT_EQ(result.location.gameFolder, "/nowhere/sims/");
    EXPECT_EQ(result.location.expansion3Flag, "1");
    EXPECT_EQ(result.location.source, LocateSource::GameOption);
    ASSERT_EQ(result.trace.size(), 1u);
    EXPECT_TRUE(result.trace[0].chosen);

    env.variables.erase("EP3Installed");
    env.variables["EP4Installed"] = "yes";
    result = Locate();
    EXPECT_EQ(result.location.gameFolder, "/games/sims");
    EXPECT_EQ(result.location.expansion3Flag, "");
    EXPECT_EQ(result.location.expansion4Flag, "yes");
    EXPECT_EQ(result.location.source, LocateSource::Environment);

    env.variables["SIMS_DATA"] = "";  // set but empty counts as not set
    result = Locate();
    EXPECT_EQ(result.location.source, LocateSource::None) << TraceText(result);
    EXPECT_EQ(result.location.expansion4Flag, "");
}

#ifndef _WIN32

TEST_F(LocationTest, WineRegistryFolderIsTakenAsItIsThroughTheDriveLink) {
    const std::filesystem::path prefix = Prefix("prefix",
        "[Software\\\\Wow6432Node\\\\Maxis\\\\The Sims] 1700000000\n"
        "\"SIMS_DATA\"=\"C:\\\\Program Files\\\\Maxis\\\\The Sims\\\\\"\n\"EP3Installed\"=\"1\"\n");
    temp.Folder("prefix/drive_c/program files/maxis/The Sims");  // no careers file: taken all the same
    env.variables["WINEPREFIX"] = prefix.string();
    Remember(Game("remembered"));
    const LocateResult result = Locate();
    EXPECT_EQ(result.location.source, LocateSource::Registry) << TraceText(result);
    EXPECT_EQ(result.location.gameFolder, DriveC(prefix, "program files/maxis/The Sims"));
    EXPECT_EQ(result.location.expansion3Flag, "1");
    EXPECT_EQ(result.location.expansion4Flag, "");
}

TEST_F(LocationTest, WinePrefixDefaultsToHomeWineAndReadsThePlainKey) {
    const std::filesystem::path prefix =
        Prefix("home/.wine", "[Software\\\\Maxis\\\\The Sims]\n\"SIMS_DATA\"=\"c:\\\\Sims\"\n\"EP4Installed\"=\"1\"\n");
    const LocateResult result = Locate();
    EXPECT_EQ(result.location.source, LocateSource::Registry) << TraceText(result);
    EXPECT_EQ(result.location.gameFolder, DriveC(prefix, "Sims"));
    EXPECT_EQ(result.location.expansion4Flag, "1");
}

TEST_F(LocationTest, KeyWithoutUsableFolderKeepsItsExpansionTexts) {
    const struct {
        const char* what;
        std::string values;
        const char* traced;
    } cases[] = {
        {"no SIMS_DATA", "\"EP4Installed\"=\"1\"\n", "no SIMS_DATA"},
        {"unmapped drive", "\"SIMS_DATA\"=\"Q:\\\\Sims\"\n\"EP4Installed\"=\"1\"\n", "drive q: is not mapped"},
    };
    for (const auto& c : cases) {
        TempFolder other;
        env.variables["WINEPREFIX"] = Prefix(std::string("prefix-") + c.what, "[Software\\\\Maxis\\\\The Sims]\n" + c.values).string();
        const LocateResult result = Locate();
        EXPECT_EQ(result.location.source, LocateSource::None) << c.what << "\n" << TraceText(result);
        EXPECT_EQ(result.location.gameFolder, "") << c.what;
        EXPECT_EQ(result.location.expansion4Flag, "1") << c.what;
        EXPECT_TRUE(Traced(result, LocateSource::Registry, c.traced)) << c.what << "\n" << TraceText(result);
        EXPECT_EQ(result.trace.back().outcome, "no game folder found");
    }
}

TEST_F(LocationTest, InstallPathCountsOnlyWithACareersFile) {
    const std::filesystem::path prefix = Prefix("prefix",
        "[Software\\\\Maxis\\\\The Sims]\n\"InstallPath\"=\"C:\\\\Games\\\\Sims\"\n\"EP3Installed\"=\"1\"\n");
    env.variables["WINEPREFIX"] = prefix.string();
    temp.Folder("prefix/drive_c/Games/Sims");
    LocateResult result = Locate();
    EXPECT_EQ(result.location.source, LocateSource::None);
    EXPECT_TRUE(Traced(result, LocateSource::InstallPath, "passed over: no careers file")) << TraceText(result);

    Game("prefix/drive_c/Games/Sims", "ExpansionShared/Work.iff");
    result = Locate();
    EXPECT_EQ(result.location.source, LocateSource::InstallPath) << TraceText(result);
    EXPECT_EQ(result.location.gameFolder, DriveC(prefix, "Games/Sims"));
    EXPECT_EQ(result.location.expansion3Flag, "1");
}

TEST_F(LocationTest, DamagedRegistryIsSkippedWithItsReason) {
    env.variables["WINEPREFIX"] =
        Prefix("prefix", "[Software\\\\Maxis\\\\The Sims]\n\"SIMS_DATA\"=\"C:\\\\Sims\n").string();
    Remember(Game("remembered"));
    const LocateResult result = Locate();
    EXPECT_EQ(result.location.source, LocateSource::Remembered) << TraceText(result);
    EXPECT_EQ(result.location.gameFolder, (temp.Path() / "remembered").string());
    EXPECT_TRUE(Traced(result, LocateSource::Registry, "skipped: ")) << TraceText(result);
    EXPECT_TRUE(Traced(result, LocateSource::Registry, "line 5: string value: no closing \"")) << TraceText(result);
}

TEST_F(LocationTest, RememberedFolderWithoutCareersFileIsPassedOver) {
    Remember(temp.Folder("empty"));
    LocateResult result = Locate();
    EXPECT_EQ(result.location.source, LocateSource::None);
    EXPECT_TRUE(Traced(result, LocateSource::Remembered, "passed over: no careers file")) << TraceText(result);

    // Only an archive holds the careers file: that counts too.
    temp.Write("empty/GameData/GameData.FAR", FarBytes({"careers.iff"}));
    result = Locate();
    EXPECT_EQ(result.location.source, LocateSource::Remembered) << TraceText(result);
    EXPECT_NE(result.trace.back().outcome.find("GameData.FAR"), std::string::npos);
}

TEST_F(LocationTest, SteamLibraryOnAnotherDisk) {
    temp.Write("home/.local/share/Steam/steamapps/libraryfolders.vdf",
               "\"libraryfolders\"\n{\n\t\"0\" { \"path\" \"" + (home / ".local/share/Steam").string() +
                   "\" }\n\t\"1\" { \"path\" \"" + (temp.Path() / "disk2/SteamLibrary").string() + "\" }\n}\n");
    temp.Folder("home/.steam");
    std::filesystem::create_directory_symlink(home / ".local/share/Steam", home / ".steam/steam");
    Game("disk2/SteamLibrary/steamapps/common/the sims legacy collection");
    const LocateResult result = Locate();
    EXPECT_EQ(result.location.source, LocateSource::SteamLibrary) << TraceText(result);
    EXPECT_EQ(result.location.gameFolder, (temp.Path() / "disk2/SteamLibrary/steamapps/common/the sims legacy collection").string());
    // ~/.steam/steam is the same installation: its library is looked at once.
    int looks = 0;
    for (const LocateStep& step : result.trace) looks += step.candidate.find("/steamapps/common/") != std::string::npos;
    EXPECT_EQ(looks, 2) << TraceText(result);
}

TEST_F(LocationTest, ProtonPrefixRegistryGivesTheFolderAndItsTexts) {
    temp.Folder("home/.local/share/Steam/steamapps/common/The Sims Legacy Collection");  // no careers file
    const std::filesystem::path pfx = Prefix("home/.local/share/Steam/steamapps/compatdata/3314060/pfx",
        "[Software\\\\Wow6432Node\\\\Maxis\\\\The Sims]\n\"SIMS_DATA\"=\"C:\\\\Games\\\\The Sims\"\n\"EP3Installed\"=\"1\"\n");
    Game("home/.local/share/Steam/steamapps/compatdata/3314060/pfx/drive_c/Games/The Sims", "ExpansionShared/Work.iff");
    const LocateResult result = Locate();
    EXPECT_EQ(result.location.source, LocateSource::ProtonPrefix) << TraceText(result);
    EXPECT_EQ(result.location.gameFolder, DriveC(pfx, "Games/The Sims"));
    EXPECT_EQ(result.location.expansion3Flag, "1");
    EXPECT_TRUE(Traced(result, LocateSource::SteamLibrary, "passed over: no careers file")) << TraceText(result);
}

TEST_F(LocationTest, DamagedLibraryListIsSkippedAndTheSearchGoesOn) {
    temp.Write("home/.var/app/com.valvesoftware.Steam/.local/share/Steam/steamapps/libraryfolders.vdf",
               "\"libraryfolders\" { \"1\" { \"path\" \"/mnt/x\" }");
    Prefix("home/.wine", "");
    const std::filesystem::path game = Game("home/.wine/drive_c/Program Files (x86)/Maxis/The Sims");
    const LocateResult result = Locate();
    EXPECT_EQ(result.location.source, LocateSource::DefaultFolder) << TraceText(result);
    EXPECT_EQ(result.location.gameFolder, DriveC(home / ".wine", "Program Files (x86)/Maxis/The Sims"));
    EXPECT_TRUE(Traced(result, LocateSource::SteamLibrary, "library list skipped: ")) << TraceText(result);
    EXPECT_TRUE(Traced(result, LocateSource::SteamLibrary, "the text ends inside a block")) << TraceText(result);
}

TEST_F(LocationTest, EarlierSourcesWin) {
    // Every source holds a game; taking them away one by one shows the order.
    const std::filesystem::path steam = home / ".local/share/Steam";
    Game("home/.local/share/Steam/steamapps/common/The Sims Legacy Collection");
    Prefix("home/.local/share/Steam/steamapps/compatdata/3314060/pfx",
           "[Software\\\\Maxis\\\\The Sims]\n\"SIMS_DATA\"=\"C:\\\\Sims\"\n");
    Game("home/.local/share/Steam/steamapps/compatdata/3314060/pfx/drive_c/Sims");
    Remember(Game("remembered"));
    env.variables["WINEPREFIX"] =
        Prefix("prefix", "[Software\\\\Maxis\\\\The Sims]\n\"SIMS_DATA\"=\"C:\\\\Sims\"\n").string();
    env.variables["SIMS_DATA"] = "/from/environment";

    const std::vector<std::pair<LocateSource, std::function<void()>>> steps = {
        {LocateSource::GameOption, [] {}},
        {LocateSource::Environment, [] {}},
        {LocateSource::Registry, [&] { env.variables.erase("SIMS_DATA"); }},
        {LocateSource::Remembered, [&] { env.variables.erase("WINEPREFIX"); }},
        {LocateSource::SteamLibrary, [&] { std::filesystem::remove_all(home / ".config"); }},
        {LocateSource::ProtonPrefix, [&] { std::filesystem::remove_all(steam / "steamapps/common"); }},
        {LocateSource::None, [&] { std::filesystem::remove_all(steam / "steamapps/compatdata"); }},
    };
    for (const auto& [expected, takeAway] : steps) {
        takeAway();
        const LocateResult result = Locate(expected == LocateSource::GameOption ? "/given" : "");
        EXPECT_EQ(result.location.source, expected) << LocateSourceName(expected) << "\n" << TraceText(result);
    }
}

TEST_F(LocationTest, RememberedFolderFile) {
    const RememberedFolder remembered(env.Lookup());
    EXPECT_EQ(remembered.File(), home / ".config/trackwright/game-folder");
    std::string why;
    EXPECT_EQ(remembered.Recall(&why), std::nullopt);
    EXPECT_NE(why.find("not found"), std::string::npos) << why;

    const std::string folder = "/games/The Sims \xE9";  // any bytes the file system allows
    std::string error;
    ASSERT_TRUE(remembered.Remember("/old", &error)) << error;
    ASSERT_TRUE(remembered.Remember(folder, &error)) << error;
    EXPECT_EQ(remembered.Recall(), folder);
    for (const std::string& refused : {std::string(), std::string("/a\nb"), std::string("/a\0b", 4)}) {
        EXPECT_FALSE(remembered.Remember(refused, &error));
        EXPECT_EQ(remembered.Recall(), folder);
    }

    temp.Write("home/.config/trackwright/game-folder", "C:\\Games\\Sims\r\nsecond line\n");
    EXPECT_EQ(remembered.Recall(), "C:\\Games\\Sims");
    temp.Write("home/.config/trackwright/game-folder", "\n");
    EXPECT_EQ(remembered.Recall(&why), std::nullopt);
    EXPECT_NE(why.find("empty"), std::string::npos) << why;

    env.variables["XDG_CONFIG_HOME"] = (temp.Path() / "config").string();
    EXPECT_EQ(RememberedFolder(env.Lookup()).File(), temp.Path() / "config/trackwright/game-folder");
    env.variables["XDG_CONFIG_HOME"] = "relative/config";  // not absolute: ignored
    EXPECT_EQ(RememberedFolder(env.Lookup()).File(), home / ".config/trackwright/game-folder");
    env.variables.clear();
    EXPECT_EQ(RememberedFolder(env.Lookup()).File(), std::nullopt);
    EXPECT_FALSE(RememberedFolder(env.Lookup()).Remember("/x", &error));
}

#endif

#ifdef _WIN32

TEST_F(LocationTest, WindowsSourcesInOrder) {
    // The registry as this test wants it: the game's key and Steam's key, each present or not.
    std::map<std::string, std::string> machine;
    std::map<std::string, std::string> steamKey;
    LocateOptions options;
    options.windowsRegistry = [&](RegistryRoot root, const std::string& keyPath, const std::vector<std::string>&) {
        const bool game = root == RegistryRoot::LocalMachine && keyPath == "Software\\Maxis\\The Sims";
        const bool steam = root == RegistryRoot::CurrentUser && keyPath == "Software\\Valve\\Steam";
        RegistryKey key;
        key.where = keyPath;
        key.values = game ? machine : steam ? steamKey : std::map<std::string, std::string>{};
        key.found = !key.values.empty();
        return key;
    };
    env.variables["ProgramFiles"] = temp.Folder("pf").string();
    env.variables["APPDATA"] = temp.Folder("appdata").string();
    options.environment = env.Lookup();

    const std::filesystem::path steam = temp.Folder("Steam");
    temp.Write("Steam/steamapps/libraryfolders.vdf", "\"libraryfolders\" { \"1\" { \"path\" \"" +
                                                        (temp.Path() / "lib2").generic_string() + "\" } }");
    steamKey["SteamPath"] = steam.generic_string();
    const std::filesystem::path steamGame = Game("lib2/steamapps/common/The Sims Legacy Collection");
    LocateResult result = LocateGame(options);
    EXPECT_EQ(result.location.source, LocateSource::SteamLibrary) << TraceText(result);
    EXPECT_EQ(result.location.gameFolder, std::filesystem::path(steamGame).make_preferred().string()) << TraceText(result);

    Game("pf/EA Games/The Sims");
    result = LocateGame(options);
    EXPECT_EQ(result.location.source, LocateSource::DefaultFolder) << TraceText(result);

    machine = {{"InstallPath", Game("installed").string()}, {"EP3Installed", "1"}};
    result = LocateGame(options);
    EXPECT_EQ(result.location.source, LocateSource::InstallPath) << TraceText(result);
    EXPECT_EQ(result.location.expansion3Flag, "1");

    Remember(Game("remembered"));
    result = LocateGame(options);
    EXPECT_EQ(result.location.source, LocateSource::Remembered) << TraceText(result);
    EXPECT_EQ(result.location.expansion3Flag, "");

    machine["SIMS_DATA"] = "C:\\Not\\There\\";  // taken as it is
    result = LocateGame(options);
    EXPECT_EQ(result.location.source, LocateSource::Registry) << TraceText(result);
    EXPECT_EQ(result.location.gameFolder, "C:\\Not\\There\\");
    EXPECT_EQ(result.location.expansion3Flag, "1");
}

#endif

}  // namespace
}  // namespace tw
