#include "locate/GameLocation.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "core/locate/LocationFixture.h"
#include "locate/RememberedFolder.h"

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

    // A prefix whose key names C:\Sims, a folder with a careers file; gives that folder.
    std::string KeyedPrefix(const std::string& relative) {
        const std::filesystem::path prefix =
            Prefix(relative, "[Software\\\\Maxis\\\\The Sims]\n\"SIMS_DATA\"=\"C:\\\\Sims\"\n");
        Game(relative + "/drive_c/Sims");
        return DriveC(prefix, "Sims");
    }

    void Remember(const std::filesystem::path& folder) {
        const Status kept = RememberedFolder(env.Lookup()).Remember(folder.string());
        ASSERT_TRUE(kept) << kept.Reason();
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

TEST_F(LocationTest, EachLauncherLayoutAloneOnATemporaryHome) {
    // Each layout sets itself up below its own folder (home in "<folder>/home") and gives the
    // game folder it must lead to.
    const struct {
        const char* what;
        LocateSource source;
        std::function<std::string(const std::string& root, const std::string& homeDir)> layout;
    } layouts[] = {
        {"Lutris prefix in ~/Games, game in the EA app's folder", LocateSource::DefaultFolder,
         [&](const std::string&, const std::string& homeDir) {
             Prefix(homeDir + "/Games/ea-app", "");
             Game(homeDir + "/Games/ea-app/drive_c/Program Files/EA Games/The Sims Legacy");
             return DriveC(temp / (homeDir + "/Games/ea-app"), "Program Files/EA Games/The Sims Legacy");
         }},
        {"Lutris settings in its data folder name a prefix elsewhere", LocateSource::LutrisPrefix,
         [&](const std::string& root, const std::string& homeDir) {
             temp.Write(homeDir + "/.local/share/lutris/games/the-sims-1700000000.yml",
                        "game:\n  exe: /x/drive_c/EA.exe\n  prefix: " + (temp / (root + "/elsewhere")).string() +
                            "\nwine:\n  version: lutris-7\n");
             return KeyedPrefix(root + "/elsewhere");
         }},
        {"Lutris Flatpak settings name a prefix below ~", LocateSource::LutrisPrefix,
         [&](const std::string&, const std::string& homeDir) {
             temp.Write(homeDir + "/.var/app/net.lutris.Lutris/config/lutris/games/sims.yml", "game:\n  prefix: ~/wine/sims\n");
             return KeyedPrefix(homeDir + "/wine/sims");
         }},
        {"Heroic prefix of a Proton runner", LocateSource::HeroicPrefix,
         [&](const std::string&, const std::string& homeDir) { return KeyedPrefix(homeDir + "/Games/Heroic/Prefixes/The Sims/pfx"); }},
        {"Heroic Flatpak settings name a prefix elsewhere", LocateSource::HeroicPrefix,
         [&](const std::string& root, const std::string& homeDir) {
             temp.Write(homeDir + "/.var/app/com.heroicgameslauncher.hgl/config/heroic/GamesConfig/Sims.json",
                        "{\"Sims\": {\"winePrefix\": \"" + (temp / (root + "/elsewhere")).string() + "\"}, \"version\": \"v0\"}");
             return KeyedPrefix(root + "/elsewhere");
         }},
        {"Heroic settings in $XDG_CONFIG_HOME", LocateSource::HeroicPrefix,
         [&](const std::string& root, const std::string&) {
             env.variables["XDG_CONFIG_HOME"] = (temp / (root + "/config")).string();
             temp.Write(root + "/config/heroic/GamesConfig/Sims.json",
                        "{\"Sims\": {\"winePrefix\": \"" + (temp / (root + "/elsewhere")).string() + "\"}}");
             return KeyedPrefix(root + "/elsewhere");
         }},
        {"Bottles bottle", LocateSource::BottlesPrefix,
         [&](const std::string&, const std::string& homeDir) { return KeyedPrefix(homeDir + "/.local/share/bottles/bottles/EA-App"); }},
        {"Bottles Flatpak bottle kept elsewhere", LocateSource::BottlesPrefix,
         [&](const std::string& root, const std::string& homeDir) {
             temp.Write(homeDir + "/.var/app/com.usebottles.bottles/data/bottles/bottles/Sims/placeholder.yml",
                        "Path: " + (temp / (root + "/custom/Sims")).string() + "\n");
             return KeyedPrefix(root + "/custom/Sims");
         }},
    };
    int number = 0;
    for (const auto& layout : layouts) {
        const std::string root = "layout-" + std::to_string(number++);
        env.variables = {{"HOME", temp.Folder(root + "/home").string()}};
        const std::string expected = layout.layout(root, root + "/home");
        const LocateResult result = Locate();
        EXPECT_EQ(result.location.source, layout.source) << layout.what << "\n" << TraceText(result);
        EXPECT_EQ(result.location.gameFolder, expected) << layout.what;
    }
}

TEST_F(LocationTest, LaunchersComeAfterProtonAndBeforeHomeWine) {
    const std::string proton = KeyedPrefix("home/.local/share/Steam/steamapps/compatdata/3314060/pfx");
    const std::string lutrisNamed = KeyedPrefix("elsewhere");
    const std::string lutris = KeyedPrefix("home/Games/sims");
    temp.Write("home/.config/lutris/games/a.yml", "game:\n  prefix: " + (temp / "elsewhere").string() + "\n");
    temp.Write("home/.config/lutris/games/b.yml", "game:\n  prefix: " + (home / "Games/sims").string() + "\n");
    const std::string heroic = KeyedPrefix("home/Games/Heroic/Prefixes/sims");
    const std::string bottles = KeyedPrefix("home/.local/share/bottles/bottles/sims");
    Prefix("home/.wine", "");
    Game("home/.wine/drive_c/Program Files/EA Games/The Sims Legacy");
    const std::string wine = DriveC(home / ".wine", "Program Files/EA Games/The Sims Legacy");

    // Each found folder is taken away in turn.
    for (const auto& [source, folder] : std::vector<std::pair<LocateSource, std::string>>{
             {LocateSource::ProtonPrefix, proton},
             {LocateSource::LutrisPrefix, lutrisNamed},
             {LocateSource::LutrisPrefix, lutris},
             {LocateSource::HeroicPrefix, heroic},
             {LocateSource::BottlesPrefix, bottles},
             {LocateSource::DefaultFolder, wine},
             {LocateSource::None, ""},
         }) {
        const LocateResult result = Locate();
        EXPECT_EQ(result.location.source, source) << folder << "\n" << TraceText(result);
        EXPECT_EQ(result.location.gameFolder, folder) << TraceText(result);
        if (source == LocateSource::None) {
            // b.yml named ~/Games/sims, which the listing of ~/Games reaches again.
            EXPECT_TRUE(Traced(result, LocateSource::LutrisPrefix, "Games/sims already looked at")) << TraceText(result);
        } else {
            std::filesystem::remove_all(folder);
        }
    }
}

TEST_F(LocationTest, MalformedSettingsFileIsSkippedAndTheSearchGoesOn) {
    // Next to each bad settings file (named to come first) a sound one names the game's prefix.
    const std::map<LocateSource, std::pair<std::string, std::string>> sound = {
        {LocateSource::LutrisPrefix, {"home/.config/lutris/games/b.yml", "game:\n  prefix: %\n"}},
        {LocateSource::HeroicPrefix, {"home/.config/heroic/GamesConfig/b.json", "{\"b\": {\"winePrefix\": \"%\"}}"}},
        {LocateSource::BottlesPrefix, {"home/.local/share/bottles/bottles/b/placeholder.yml", "Path: %\n"}},
    };
    const struct {
        LocateSource source;
        const char* file;
        std::string text;
        const char* traced;
    } cases[] = {
        {LocateSource::LutrisPrefix, "home/.config/lutris/games/a.yml", "game:\n  prefix: [\n", "a.yml skipped: line 3"},
        {LocateSource::LutrisPrefix, "home/.config/lutris/games/a.yml", std::string("\0\xFF", 2), "a.yml skipped: "},
        {LocateSource::LutrisPrefix, "home/.config/lutris/games/a.yml", "game:\n  prefix: Games/x\n",
         "a.yml names \"Games/x\", passed over: not an absolute path"},
        {LocateSource::LutrisPrefix, "home/.config/lutris/games/a.yml", "game:\n  exe: /usr/games/x\n", "a.yml names no prefix"},
        {LocateSource::HeroicPrefix, "home/.config/heroic/GamesConfig/a.json", "{\"a\": {\"winePrefix\": ",
         "a.json skipped: parse error at line 1"},
        {LocateSource::HeroicPrefix, "home/.config/heroic/GamesConfig/a.json", "{\"a\": {\"winePrefix\": null}}",
         "a.json skipped: \"winePrefix\" of \"a\" is a JSON null"},
        {LocateSource::BottlesPrefix, "home/.local/share/bottles/bottles/a/placeholder.yml", "Path: {\n", "placeholder.yml skipped: "},
        {LocateSource::BottlesPrefix, "home/.local/share/bottles/bottles/a/placeholder.yml", "Path: /nowhere/a\n",
         "/nowhere/a no such folder"},
    };
    int number = 0;
    for (const auto& c : cases) {
        const std::string root = "case-" + std::to_string(number++) + "/";
        env.variables = {{"HOME", (temp / (root + "home")).string()}};
        const std::string game = KeyedPrefix(root + "good");
        std::string text = sound.at(c.source).second;
        text.replace(text.find('%'), 1, (temp / (root + "good")).string());
        temp.Write(root + sound.at(c.source).first, text);
        temp.Write(root + c.file, c.text);
        const LocateResult result = Locate();
        EXPECT_EQ(result.location.source, c.source) << c.traced << "\n" << TraceText(result);
        EXPECT_EQ(result.location.gameFolder, game) << c.traced;
        EXPECT_TRUE(Traced(result, c.source, c.traced)) << TraceText(result);
    }
}

TEST_F(LocationTest, RememberedFolderFile) {
    const RememberedFolder remembered(env.Lookup());
    EXPECT_EQ(remembered.File(), home / ".config/trackwright/game-folder");
    const auto recalled = [&] { return remembered.Recall().ValueOr("(none)"); };
    EXPECT_NE(remembered.Recall().Reason().find("not found"), std::string::npos) << remembered.Recall().Reason();

    const std::string folder = "/games/The Sims \xE9";  // any bytes the file system allows
    ASSERT_TRUE(remembered.Remember("/old"));
    ASSERT_TRUE(remembered.Remember(folder));
    EXPECT_EQ(recalled(), folder);
    for (const std::string& refused : {std::string(), std::string("/a\nb"), std::string("/a\0b", 4)}) {
        EXPECT_FALSE(remembered.Remember(refused));
        EXPECT_EQ(recalled(), folder);
    }

    temp.Write("home/.config/trackwright/game-folder", "C:\\Games\\Sims\r\nsecond line\n");
    EXPECT_EQ(recalled(), "C:\\Games\\Sims");
    temp.Write("home/.config/trackwright/game-folder", "\n");
    EXPECT_NE(remembered.Recall().Reason().find("empty"), std::string::npos) << remembered.Recall().Reason();

    env.variables["XDG_CONFIG_HOME"] = (temp.Path() / "config").string();
    EXPECT_EQ(RememberedFolder(env.Lookup()).File(), temp.Path() / "config/trackwright/game-folder");
    env.variables["XDG_CONFIG_HOME"] = "relative/config";  // not absolute: ignored
    EXPECT_EQ(RememberedFolder(env.Lookup()).File(), home / ".config/trackwright/game-folder");
    env.variables.clear();
    EXPECT_EQ(RememberedFolder(env.Lookup()).File(), std::nullopt);
    EXPECT_FALSE(RememberedFolder(env.Lookup()).Remember("/x"));
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

    // The EA app's folder, then an older installer's, which comes first among the default folders.
    for (const char* installed : {"pf/EA Games/The Sims Legacy", "pf/EA Games/The Sims"}) {
        const std::filesystem::path game = Game(installed);
        result = LocateGame(options);
        EXPECT_EQ(result.location.source, LocateSource::DefaultFolder) << TraceText(result);
        EXPECT_EQ(result.location.gameFolder, std::filesystem::path(game).make_preferred().string()) << TraceText(result);
    }

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
