#include "cli/CliCommands.h"

#include "cli/CareerChoice.h"
#include "edit/EditSession.h"
#include "exchange/PoFile.h"
#include "gamefiles/GameContext.h"
#include "gamefiles/GameLoad.h"
#include "iff/IFFFile.h"
#include "model/StringTable.h"
#include "sample/SampleInstallation.h"
#include "store/Installation.h"
#include "store/KeptOriginals.h"
#include "support/FaultyFileSystem.h"
#include "support/FolderState.h"
#include "support/TempFolder.h"
#include "util/ConsolePort.h"
#include "util/EnvironmentLookup.h"
#include "util/HostPath.h"
#include "util/MemoryStream.h"
#include "util/Sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <fstream>
#include <map>
#include <regex>
#include <tuple>
#include <utility>

namespace tw::cli {
namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string Drain(std::FILE* file) {
    std::rewind(file);
    std::string text;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    std::fclose(file);
    return text;
}

CliRun Cli(const std::vector<std::string>& args) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    CliRun run;
    run.status = RunCli(args, "trackwright-cli", out, err);
    run.out = Drain(out);
    run.err = Drain(err);
    return run;
}

// The careers of a dump without their cards' text rows: an import takes the lowest free rows, so a
// career brought back holds its texts under other row numbers.
std::string CareersWithoutTextRows(const std::string& json) {
    const std::string careers = json.substr(0, json.find("\"cardTexts\""));
    return std::regex_replace(careers, std::regex("\"textRow\": [0-9]+"), "");
}

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Every file below `folder` with its bytes.
std::map<std::string, std::string> Contents(const std::filesystem::path& folder) {
    std::map<std::string, std::string> contents;
    for (const std::string& file : test::FilesBelow(folder)) contents[file] = ReadText(folder / file);
    return contents;
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string Replaced(std::string text, const std::string& what, const std::string& by) {
    const std::size_t at = text.find(what);
    EXPECT_NE(at, std::string::npos) << what;
    return at == std::string::npos ? text : text.replace(at, what.size(), by);
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        const CliRun sample = Cli({"sample", game.string()});
        ASSERT_EQ(sample.status, ExitSuccess) << sample.err;
    }
    CliRun OnGame(std::vector<std::string> args) {
        args.insert(args.begin(), {"--game", game.string()});
        return Cli(args);
    }
    // Every game file a save writes, by its path below the game folder.
    std::map<std::string, std::string> GameFiles() { return GameFiles(game); }
    static std::map<std::string, std::string> GameFiles(const std::filesystem::path& folder) {
        std::map<std::string, std::string> files;
        for (const char* name : {"ExpansionShared/Work.iff", "GameData/Objects/CarPortal.iff",
                                 "UIGraphics/cpanel/Buttons/JobIconMultiButton.BMP",
                                 "UIGraphics/cpanel/Backgrounds/JobIconMultiPopup.BMP"})
            files[name] = ReadText(folder / name);
        return files;
    }

    test::TempFolder temp{"tw-cli"};
    std::filesystem::path game = temp.Path() / "game";
};

TEST_F(CliTest, UsageErrorsExitWithTwo) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {},
             {"frobnicate"},
             {"export", "", "file.iff"},
             {"export", "1"},
             {"import", "file.iff", ""},
             {"help", "frobnicate"},
             {"help", "export", "import"},
             {"--help", "export"},
             {"dump", "--latin"},
             {"import", "f"},
             {"apply"},
             {"apply", "--utf8"},
             {"apply", "a.json", "b.json"},
             // An empty folder is no folder: it must not quietly mean "find the game yourself".
             {"--game", "", "dump"},
             {"--game"},
             {"texts"},
             {"texts", "merge", "de.po"},
             {"texts", "export", "de.po"},
             {"texts", "export", "--language", "Klingon", "de.po"},
             {"texts", "export", "--language", "16", "de.po"},
             {"texts", "import"},
             {"texts", "import", "--language", "de.po"}}) {
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, ExitUsage);
        EXPECT_NE(run.err.find("usage: trackwright-cli"), std::string::npos);
    }
}

// Help goes to standard output and succeeds: for the tool, and for each command it runs.
TEST_F(CliTest, HelpPrintsTheUsageOfTheToolOrOfOneCommand) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--help"}, {"-h"}, {"help"}, {"--game", game.string(), "--help"}}) {
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, ExitSuccess);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out.find("usage: trackwright-cli [--game DIR] COMMAND"), 0u) << run.out;
        EXPECT_NE(run.out.find("  export CAREER FILE "), std::string::npos) << run.out;
        EXPECT_NE(run.out.find("CAREER is #ID"), std::string::npos) << run.out;
    }
    for (const char* command : {"locate", "dump", "check", "resave", "export", "backup", "import", "restore", "sample",
                                "apply", "originals", "restore-originals", "texts", "help"}) {
        const CliRun run = Cli({"help", command});
        EXPECT_EQ(run.status, ExitSuccess) << command;
        EXPECT_EQ(run.err, "") << command;
        EXPECT_EQ(run.out.find("usage: trackwright-cli [--game DIR] " + std::string(command)), 0u) << run.out;
        // One command's usage, not the tool's.
        EXPECT_EQ(run.out.find("commands:"), std::string::npos) << run.out;
    }
    EXPECT_NE(Cli({"help", "import"}).out.find("import FILE CAREER\n"), std::string::npos);
    const CliRun unknown = Cli({"help", "frobnicate"});
    EXPECT_EQ(unknown.out, "");
    EXPECT_EQ(unknown.err.find("trackwright-cli: unknown command 'frobnicate'\n"), 0u) << unknown.err;
}

// A career is named as the editor shows it (#ID), by its index or by its internal name; a name
// that names no single career, and a number that names none, are refused with what would do.
TEST(CareerChoiceTest, EachFormNamesOneCareerOrSaysWhichWould) {
    CareerSet careers;
    for (const auto& [id, name] : std::vector<std::pair<std::uint16_t, std::string>>{
             {1, "Business"}, {2, "Military"}, {3, "Law"}, {7, "Law"}, {9, "#7"}, {10, "12"}, {11, "Sales"}}) {
        careers.careers.emplace_back();
        careers.careers.back().id = id;
        careers.careers.back().track.name = name;
    }
    const struct {
        std::string text;
        std::optional<std::uint32_t> index;
        std::string problem;
    } cases[] = {
        {"#2", 1, ""},
        {"#7", 3, ""},  // an id before a name
        {"12", std::nullopt, "There is no career with index 12 (0 to 6)."},  // an index before a name
        {"#99", std::nullopt, "There is no career with id 99 (#1 to #3, #7 and #9 to #11)."},
        {"#4294967296", std::nullopt, "There is no career with id 4294967296 (#1 to #3, #7 and #9 to #11)."},
        {"military", std::nullopt,
         "There is no career named \"military\" (\"dump\" lists the careers with their ids and internal names)."},
        {"Law", std::nullopt,
         "2 careers are named \"Law\": #3 (index 2) and #7 (index 3); name one by its #ID or index."},
    };
    for (const auto& c : cases) {
        const CareerChoice choice = ChooseCareer(careers, c.text);
        EXPECT_EQ(choice.index, c.index) << c.text;
        EXPECT_EQ(choice.problem, c.problem) << c.text;
    }
}

TEST_F(CliTest, ExportAndImportTakeACareerInEveryForm) {
    // Career 2 is #3, "Lighthouse".
    std::map<std::string, std::string> exported;
    for (const char* career : {"2", "#3", "Lighthouse", "#1"}) {
        const std::filesystem::path file = temp.Path() / (std::string("track-") + career + ".iff");
        const CliRun run = OnGame({"export", career, file.string()});
        ASSERT_EQ(run.status, ExitSuccess) << career << ": " << run.err;
        exported[career] = ReadText(file);
    }
    EXPECT_EQ(exported["#3"], exported["2"]);
    EXPECT_EQ(exported["Lighthouse"], exported["2"]);
    EXPECT_NE(exported["#1"], exported["2"]);

    // Out of range, unknown and shared names fail after the load (exit 1), writing nothing.
    const std::string document = (temp.Path() / "game.json").string();
    WriteText(document, Replaced(OnGame({"dump"}).out, "\"name\": \"Bakery\"", "\"name\": \"Lighthouse\""));
    ASSERT_EQ(OnGame({"apply", document}).status, ExitSuccess);
    const std::string track = (temp.Path() / "track-2.iff").string();
    const std::map<std::string, std::string> before = Contents(game);
    for (const auto& [args, message] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"export", "99", track}, "Error: There is no career with index 99 (0 to 9).\n"},
             {{"import", track, "#0"}, "Error: There is no career with id 0 (#1 to #10).\n"},
             {{"import", track, "Lighthouse"},
              "Error: 2 careers are named \"Lighthouse\": #3 (index 2) and #4 (index 3); name one by its #ID or "
              "index.\n"}}) {
        const CliRun run = OnGame(args);
        EXPECT_EQ(run.status, ExitFailure) << args[2];
        EXPECT_EQ(run.err, message);
        EXPECT_EQ(Contents(game), before) << args[2];
    }
    const CliRun imported = OnGame({"import", track, "#10"});
    EXPECT_EQ(imported.status, ExitSuccess) << imported.err;
    EXPECT_NE(OnGame({"dump"}).out.find("{\"index\": 9, \"id\": 10, \"name\": \"Lighthouse\","), std::string::npos);
}

TEST_F(CliTest, SampleIsWrittenOnlyIntoAnEmptyFolder) {
    const std::map<std::string, std::string> before = GameFiles();
    const CliRun again = Cli({"sample", game.string()});
    EXPECT_EQ(again.status, ExitFailure);
    EXPECT_NE(again.err.find("not empty"), std::string::npos) << again.err;
    EXPECT_EQ(GameFiles(), before);
}

TEST_F(CliTest, AGameHeldByAnotherProgramIsNotChangedAndStillReadable) {
    GameContext holder;
    holder.gameFolder = game.string();
    holder.installationOptions.holder = std::string(EditorHolder);
    ASSERT_TRUE(holder.TakeInstallation(Installation::Intent::Write));
    const std::vector<std::string> files = test::FilesBelow(game);

    const std::string file = (temp.Path() / "any.iff").string();
    for (const auto& args : std::vector<std::vector<std::string>>{{"resave"}, {"restore", file}, {"import", file, "0"}}) {
        const CliRun run = OnGame(args);
        EXPECT_EQ(run.status, ExitFailure) << args[0];
        EXPECT_NE(run.err.find("is open in the Trackwright editor (process "), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("); save and close it there, then try again."), std::string::npos) << run.err;
    }
    // A reader beside it reads the archived files in memory and takes nothing out.
    const CliRun dump = OnGame({"dump"});
    EXPECT_EQ(dump.status, ExitSuccess) << dump.err;
    EXPECT_NE(dump.out.find("\"careersFile\": \"ExpansionShared/Work.iff\""), std::string::npos);
    EXPECT_EQ(test::FilesBelow(game), files);
}

// Reading changes nothing in the game folder: not a name, a mode or a byte, also where the game
// keeps files only in its archives and where its files are read-only. The first save writes the
// archived files loose, keeping the modes of the others; giving the originals back makes the
// archives the only holders again.
TEST_F(CliTest, ReadingPathsLeaveTheGameFolderAsItWas) {
    namespace fs = std::filesystem;
    fs::permissions(game / "GameData/Objects/CarPortal.iff", fs::perms::owner_read, fs::perm_options::replace);
    fs::permissions(game / "UIGraphics/cpanel/Buttons/JobIconMultiButton.BMP",
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read, fs::perm_options::replace);
    const auto before = test::FolderState(game);
    // As this system shows a file that only its owner may read (on Windows: marked read-only).
    const fs::perms readOnly = fs::status(game / "GameData/Objects/CarPortal.iff").permissions();
    const std::string out = (temp.Path() / "out.iff").string();
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"locate"}, {"dump"}, {"dump", "--utf8"}, {"export", "0", out}, {"backup", out}, {"originals"}}) {
        const CliRun run = OnGame(args);
        EXPECT_EQ(run.status, ExitSuccess) << args[0] << ": " << run.err;
        EXPECT_EQ(test::FolderState(game), before) << args[0];
    }
    // The editor's load holds the game for changing, and still writes nothing.
    {
        EditSession editor;
        editor.Context().gameFolder = game.string();
        std::FILE* messages = std::tmpfile();
        ConsolePort port("trackwright", messages);
        ASSERT_TRUE(editor.TakeGame(port, false));
        ASSERT_EQ(editor.Load([&port](GameContext& c) { return RunLoad(c, port); }), LoadRequest::Loaded);
        editor.SettleWriteAccess(port);
        EXPECT_FALSE(editor.ReadOnly());
        EXPECT_TRUE(editor.ReviewChanges().empty());
        EXPECT_EQ(test::FolderState(game), before);
        EXPECT_EQ(Drain(messages), "");
    }

    ASSERT_EQ(OnGame({"resave"}).status, ExitSuccess);
    const auto saved = test::FolderState(game);
    EXPECT_EQ(saved.count("ExpansionShared/Work.iff"), 1u);
    EXPECT_EQ(saved.count("UIGraphics/cpanel/Backgrounds/JobIconMultiPopup.BMP"), 1u);
    EXPECT_EQ(fs::status(game / "GameData/Objects/CarPortal.iff").permissions(), readOnly);
    const CliRun originals = OnGame({"originals"});
    EXPECT_NE(originals.out.find("ExpansionShared/Work.iff\tabsent"), std::string::npos) << originals.out;
    EXPECT_NE(originals.out.find("UIGraphics/cpanel/Backgrounds/JobIconMultiPopup.BMP\tabsent"), std::string::npos);

    ASSERT_EQ(OnGame({"restore-originals"}).status, ExitSuccess);
    ASSERT_EQ(OnGame({"dump"}).status, ExitSuccess);
    // The folder the first save made for a file taken out of an archive stays, empty.
    auto restored = test::FolderState(game);
    restored.erase("UIGraphics/cpanel/Backgrounds");
    EXPECT_EQ(restored, before);
}

// A player's files keep the names they were found by, in whatever letter case, through a change
// and a restore of the originals: on Windows too, where the system itself ignores case and a
// file replaced under another spelling takes that spelling.
TEST_F(CliTest, GameFilesKeepTheNamesTheyWereFoundBy) {
    namespace fs = std::filesystem;
    ASSERT_EQ(OnGame({"resave"}).status, ExitSuccess);  // every file loose
    const std::string track = (temp.Path() / "track.iff").string();
    ASSERT_EQ(OnGame({"export", "2", track}).status, ExitSuccess);

    const std::pair<std::string, std::string> spellings[] = {
        {"ExpansionShared/Work.iff", "expansionshared/WORK.IFF"},
        {"GameData/Objects/CarPortal.iff", "gamedata/OBJECTS/carportal.IFF"},
        {"UIGraphics/cpanel/Buttons/JobIconMultiButton.BMP", "uigraphics/CPanel/buttons/jobiconmultibutton.bmp"},
        {"UIGraphics/cpanel/Backgrounds/JobIconMultiPopup.BMP", "uigraphics/CPanel/BACKGROUNDS/JOBICONMULTIPOPUP.bmp"},
        {"ExpansionShared/", "expansionshared/"},
        {"GameData/Objects/", "gamedata/OBJECTS/"},
        {"GameData/", "gamedata/"},
        {"UIGraphics/cpanel/Buttons/", "uigraphics/CPanel/buttons/"},
        {"UIGraphics/cpanel/Backgrounds/", "uigraphics/CPanel/BACKGROUNDS/"},
        {"UIGraphics/cpanel/", "uigraphics/CPanel/"},
        {"UIGraphics/", "uigraphics/"},
    };
    const fs::path odd = temp.Path() / "odd";
    for (const std::string& file : test::FilesBelow(game)) {
        std::string name = file;
        for (const auto& [usual, unusual] : spellings) {
            if (name.starts_with(usual)) {
                name = unusual + name.substr(usual.size());
                break;
            }
        }
        fs::create_directories((odd / name).parent_path());
        fs::copy_file(game / file, odd / name);
    }
    const auto before = Contents(odd);
    auto names = [](const std::map<std::string, std::string>& contents) {
        std::vector<std::string> keys;
        for (const auto& entry : contents) keys.push_back(entry.first);
        return keys;
    };

    const CliRun imported = Cli({"--game", odd.string(), "import", track, "0"});
    ASSERT_EQ(imported.status, ExitSuccess) << imported.err;
    const auto changed = Contents(odd);
    EXPECT_EQ(names(changed), names(before));
    EXPECT_NE(changed.at("expansionshared/WORK.IFF"), before.at("expansionshared/WORK.IFF"));
    EXPECT_NE(changed.at("uigraphics/CPanel/buttons/jobiconmultibutton.bmp"),
              before.at("uigraphics/CPanel/buttons/jobiconmultibutton.bmp"));

    const CliRun originals = Cli({"--game", odd.string(), "originals"});
    EXPECT_NE(originals.out.find("expansionshared/WORK.IFF"), std::string::npos) << originals.out;
    const CliRun restored = Cli({"--game", odd.string(), "restore-originals"});
    ASSERT_EQ(restored.status, ExitSuccess) << restored.err;
    EXPECT_EQ(Contents(odd), before);
}

TEST_F(CliTest, LocateNamesArchivedFilesWithTheirArchive) {
    const CliRun run = OnGame({"locate"});
    EXPECT_EQ(run.status, ExitSuccess);
    EXPECT_NE(run.out.find("careersFile: ExpansionShared/Work.iff (in ExpansionShared/ExpansionShared.far)"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("chanceCardsFile: GameData/Objects/CarPortal.iff\n"), std::string::npos);
    // Looking extracts nothing.
    EXPECT_FALSE(std::filesystem::exists(game / "ExpansionShared/Work.iff"));
}

TEST_F(CliTest, DumpWritesTheModelWithTextsByteForByte) {
    const CliRun run = OnGame({"dump"});
    ASSERT_EQ(run.status, ExitSuccess) << run.err;
    const std::string& json = run.out;
    EXPECT_EQ(json.find("{\n  \"gameFolder\": "), 0u);
    EXPECT_NE(json.find("\"careersFile\": \"ExpansionShared/Work.iff\""), std::string::npos);
    EXPECT_NE(json.find("\"chanceCardsDisabled\": false"), std::string::npos);
    EXPECT_NE(json.find("\"icons\": {\"button\": {\"width\": 112, "), std::string::npos);
    // The keys stand in the contract's order.
    std::size_t last = 0;
    for (const char* key : {"\"gameFolder\"", "\"careersFile\"", "\"chanceCardsDisabled\"", "\"careers\"",
                            "\"cardTexts\"", "\"freeCardTextRows\"", "\"icons\"", "\"problems\": []"}) {
        const std::size_t at = json.find(key);
        ASSERT_NE(at, std::string::npos) << key;
        EXPECT_GT(at, last) << key;
        last = at;
    }
    // Shift_JIS bytes of the Japanese slot come out as the characters with the same numbers;
    // --utf8 decodes them instead.
    const CliRun utf8 = OnGame({"dump", "--utf8"});
    ASSERT_EQ(utf8.status, ExitSuccess);
    EXPECT_NE(json, utf8.out);
    EXPECT_EQ(json.find("\xE3\x81"), std::string::npos);  // no hiragana without decoding
    EXPECT_NE(utf8.out.find("\xE3\x81"), std::string::npos);
    // Reading took nothing out of the archives.
    EXPECT_FALSE(std::filesystem::exists(game / "ExpansionShared/Work.iff"));
}

TEST_F(CliTest, ResaveOfAnUnchangedGameKeepsTheContainersBytes) {
    ASSERT_EQ(OnGame({"resave"}).status, ExitSuccess);  // the first save turns 8-bit strips into 24-bit
    const auto before = GameFiles();
    const CliRun run = OnGame({"resave"});
    EXPECT_EQ(run.status, ExitSuccess);
    EXPECT_EQ(run.err, "Trackwright 2: Operation complete!\n");
    EXPECT_EQ(GameFiles(), before);
}

TEST_F(CliTest, ExportImportBackupRestoreRoundTrip) {
    const std::string track = (temp.Path() / "track.iff").string();
    const std::string backup = (temp.Path() / "backup.iff").string();
    ASSERT_EQ(OnGame({"backup", backup}).status, ExitSuccess);
    const CliRun exported = OnGame({"export", "2", track});
    ASSERT_EQ(exported.status, ExitSuccess);
    EXPECT_EQ(exported.err, "Trackwright 2: Successfully exported!\n");
    const std::string original = OnGame({"dump"}).out;

    const CliRun imported = OnGame({"import", track, "0"});
    ASSERT_EQ(imported.status, ExitSuccess) << imported.err;
    EXPECT_EQ(imported.err, "Trackwright 2: Successfully imported!\nTrackwright 2: Operation complete!\n");
    EXPECT_TRUE(CareersWithoutTextRows(OnGame({"dump"}).out) != CareersWithoutTextRows(original));

    // Each command refuses the other kind of file.
    EXPECT_EQ(OnGame({"import", backup, "0"}).status, ExitFailure);
    EXPECT_EQ(OnGame({"restore", track}).status, ExitFailure);
    EXPECT_EQ(OnGame({"export", "99", track}).status, ExitFailure);

    const CliRun restored = OnGame({"restore", backup});
    ASSERT_EQ(restored.status, ExitSuccess) << restored.err;
    EXPECT_NE(restored.err.find("trackwright-cli: Successfully restored!\n"), std::string::npos);
    EXPECT_TRUE(CareersWithoutTextRows(OnGame({"dump"}).out) == CareersWithoutTextRows(original));
}


PoCatalog ReadCatalog(const std::filesystem::path& path) {
    Expected<PoCatalog> read = ReadPo(ReadText(path));
    EXPECT_TRUE(read) << read.Reason();
    return read ? std::move(read).Value() : PoCatalog{};
}

// Characters of each language slot's code page, with a line break and quotes.
std::string TranslationOf(std::uint16_t slot, std::size_t entry) {
    const char* words = "caf\xC3\xA9 \xE2\x82\xAC";                                      // café €
    if (slot == 9) words = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x83\x86\xE3\x82\xAD";  // 日本語テキ
    if (slot == 10) words = "za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87 g\xC4\x99\xC5\x9Bl\xC4\x85";  // zażółć gęślą
    if (slot == 11) words = "\xE7\xB9\x81\xE9\xAB\x94\xE4\xB8\xAD\xE6\x96\x87";              // 繁體中文
    if (slot == 12) words = "\xE7\xAE\x80\xE4\xBD\x93\xE4\xB8\xAD\xE6\x96\x87";              // 简体中文
    if (slot == 13) words = "\xE0\xB8\xA0\xE0\xB8\xB2\xE0\xB8\xA9\xE0\xB8\xB2\xE0\xB9\x84\xE0\xB8\x97";  // ภาษาไท
    if (slot == 14) words = "\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4";                          // 한국어
    return std::string(words) + " " + std::to_string(entry) + "\n\"" + std::to_string(slot) + "\" \\ end";
}

// Every language slot: an export, its msgstrs changed, imported, exported again gives back what
// was written; the game holds the line breaks as CR LF; importing the new export changes no byte.
TEST_F(CliTest, TextsExportAndImportRoundTripInEveryLanguageSlot) {
    const std::filesystem::path file = temp.Path() / "texts.po";
    for (std::uint16_t slot = 0; slot < 16; ++slot) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        const std::string language = slot == 3 ? std::string("gERMAN") : std::to_string(slot);
        ASSERT_EQ(OnGame({"texts", "export", "--language", language, file.string()}).status, ExitSuccess);
        PoCatalog catalog = ReadCatalog(file);
        ASSERT_GT(catalog.entries.size(), 100u);
        EXPECT_EQ(catalog.HeaderField("X-Trackwright-Slot"), std::to_string(slot));
        for (std::size_t i = 0; i < catalog.entries.size(); ++i) {
            catalog.entries[i].str = TranslationOf(slot, i);
            const std::string text = TranslationOf(slot, i);
            catalog.entries[i].translatorComments = {"note", "", text.substr(0, text.find('\n'))};
        }
        WriteText(file, WritePo(catalog));
        // Slot 0 takes its language from the file; the others name it as the file does.
        std::vector<std::string> import = {"texts", "import", file.string()};
        if (slot % 2 == 1) import.insert(import.begin() + 2, {"--language", std::to_string(slot)});
        const CliRun imported = OnGame(import);
        ASSERT_EQ(imported.status, ExitSuccess) << imported.err;
        EXPECT_EQ(imported.out, std::to_string(catalog.entries.size()) + " texts changed\n");

        ASSERT_EQ(OnGame({"texts", "export", "--language", std::to_string(slot), file.string()}).status, ExitSuccess);
        const PoCatalog again = ReadCatalog(file);
        ASSERT_EQ(again.entries.size(), catalog.entries.size());
        for (std::size_t i = 0; i < again.entries.size(); ++i) {
            EXPECT_EQ(again.entries[i].str, TranslationOf(slot, i)) << i;
            EXPECT_EQ(again.entries[i].translatorComments, catalog.entries[i].translatorComments) << i;
            if (slot == 0) {
                EXPECT_EQ(again.entries[i].id, TranslationOf(slot, i)) << i;
            }
        }
        const std::string dump = OnGame({"dump", "--utf8"}).out;
        EXPECT_NE(dump.find(" 7\\r\\n\\\"" + std::to_string(slot) + "\\\" \\\\ end"), std::string::npos);

        const auto before = Contents(game);
        const CliRun unchanged = OnGame({"texts", "import", file.string()});
        EXPECT_EQ(unchanged.status, ExitSuccess) << unchanged.err;
        EXPECT_EQ(unchanged.out, "0 texts changed\n");
        EXPECT_TRUE(Contents(game) == before);
    }
}

// One bad entry refuses the whole file: every one is named, nothing is written.
TEST_F(CliTest, TextsImportRefusesAWholeFileForAnyStaleUnknownOrUnencodableEntry) {
    const std::filesystem::path file = temp.Path() / "de.po";
    ASSERT_EQ(OnGame({"texts", "export", "--language", "German", file.string()}).status, ExitSuccess);
    PoCatalog catalog = ReadCatalog(file);
    ASSERT_GE(catalog.entries.size(), 4u);
    catalog.entries[0].str = "Neu";  // sound on its own
    catalog.entries[1].id = "Changed since";
    catalog.entries[2].str = "\xE6\x97\xA5\xE6\x9C\xAC \xC5\x91";  // 日本 ő
    catalog.entries[3].context = "Career #99: Career name";
    // A fuzzy entry is skipped, stale or not.
    catalog.entries[4].id = "Fuzzy and stale";
    catalog.entries[4].flags = {"fuzzy"};
    WriteText(file, WritePo(catalog));
    const auto before = Contents(game);
    const CliRun run = OnGame({"texts", "import", file.string()});
    EXPECT_EQ(run.status, ExitFailure);
    const std::string prefix = "trackwright-cli: " + file.string() + ": \"";
    EXPECT_EQ(run.err, prefix + *catalog.entries[1].context +
                           "\" \"Changed since\": the text to translate is no longer this one\n" + prefix +
                           *catalog.entries[2].context + "\" \"" + catalog.entries[2].id.substr(0, 40) +
                           "...\": the code page of German has no \xE6\x97\xA5 (U+65E5), \xE6\x9C\xAC (U+672C), "
                           "\xC5\x91 (U+0151)\n" +
                           prefix + "Career #99: Career name\" \"" + catalog.entries[3].id +
                           "\": no such text in this game\n");
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(Contents(game) == before);

    // A file that names no language is refused before anything else.
    catalog.header.clear();
    WriteText(file, WritePo(catalog));
    const CliRun unnamed = OnGame({"texts", "import", file.string()});
    EXPECT_EQ(unnamed.status, ExitFailure);
    EXPECT_EQ(unnamed.err, "trackwright-cli: " + file.string() +
                               ": the file does not say which language it holds\n"
                               "trackwright-cli: --language L names the language\n");
    WriteText(file, "msgid \"a\"\nmsgstr \"b\" c\n");
    EXPECT_EQ(OnGame({"texts", "import", file.string()}).err,
              "trackwright-cli: " + file.string() + ": line 2: text after a string's closing quote\n");
    EXPECT_TRUE(Contents(game) == before);
}

// Whichever step of a change fails (a write, a rename, a lock the system refuses), every changing
// command ends with a message and exit status 1, never an abort, and the game is as it was.
TEST_F(CliTest, EveryChangingCommandFailsCleanlyWhereverTheDiskFails) {
    const std::string track = (temp.Path() / "track.iff").string();
    const std::string backup = (temp.Path() / "backup.iff").string();
    const std::string document = (temp.Path() / "game.json").string();
    ASSERT_EQ(OnGame({"export", "2", track}).status, ExitSuccess);
    ASSERT_EQ(OnGame({"backup", backup}).status, ExitSuccess);
    WriteText(document, OnGame({"dump"}).out);

    for (const auto& args : std::vector<std::vector<std::string>>{
             {"resave"}, {"import", track, "0"}, {"apply", document}, {"restore", backup}, {"restore-originals", "--force"}}) {
        for (std::size_t step = 1;; ++step) {
            const auto before = Contents(game);
            test::FaultyFileSystem files;
            files.FailAt(test::FaultyFileSystem::Step::Any, step);
            std::vector<std::string> withGame = args;
            withGame.insert(withGame.begin(), {"--game", game.string()});
            std::FILE* out = std::tmpfile();
            std::FILE* err = std::tmpfile();
            const int status = RunCli(withGame, "trackwright-cli", out, err, &files);
            Drain(out);
            const std::string messages = Drain(err);
            if (!files.Failed()) {
                EXPECT_EQ(status, ExitSuccess) << args[0] << ": " << messages;
                break;
            }
            // A step that fails once every new file is in place (removing what the save left
            // beside them) costs nothing of the change: the command succeeds.
            if (status == ExitSuccess) continue;
            EXPECT_EQ(status, ExitFailure) << args[0] << " at " << files.FaultStep();
            EXPECT_NE(messages.find("(injected)"), std::string::npos) << args[0] << " at " << files.FaultStep() << ": " << messages;
            EXPECT_TRUE(Contents(game) == before) << args[0] << " at " << files.FaultStep();
            if (HasFailure()) return;
        }
    }
}

TEST_F(CliTest, ApplyOfAnUnchangedDumpWritesWhatResaveWrites) {
    const std::filesystem::path other = temp.Path() / "other";
    ASSERT_EQ(Cli({"sample", other.string()}).status, ExitSuccess);
    ASSERT_EQ(Cli({"--game", other.string(), "resave"}).status, ExitSuccess);
    const std::string file = (temp.Path() / "game.json").string();
    for (const std::vector<std::string>& form : {std::vector<std::string>{}, std::vector<std::string>{"--utf8"}}) {
        std::vector<std::string> dump = {"dump"}, apply = {"apply"};
        dump.insert(dump.end(), form.begin(), form.end());
        apply.insert(apply.end(), form.begin(), form.end());
        apply.push_back(file);
        WriteText(file, OnGame(dump).out);
        const CliRun run = OnGame(apply);
        EXPECT_EQ(run.status, ExitSuccess);
        EXPECT_EQ(run.err, "Trackwright 2: Operation complete!\n");
        EXPECT_EQ(GameFiles(), GameFiles(other));
    }
}

// A name's bytes copied from German into Japanese read there as other characters: applied as
// the document says, with one warning on standard error, once.
TEST_F(CliTest, ApplyWarnsOfBytesCopiedBetweenCodePagesAndStillSucceeds) {
    std::string json = OnGame({"dump"}).out;
    const std::string japanese = "{\"row\": 0, \"slot\": 9, \"value\": \"";
    const std::size_t at = json.find(japanese, json.find("\"name\": \"Bakery\"")) + japanese.size();
    json.replace(at, json.find('"', at) - at, "B\\u00e4ckerei");
    const std::string file = (temp.Path() / "game.json").string();
    WriteText(file, json);
    const CliRun run = OnGame({"apply", file});
    EXPECT_EQ(run.status, ExitSuccess);
    EXPECT_EQ(run.err, "trackwright-cli: careers[3].strings: warning: row 0: Japanese holds the bytes of the German "
                       "text \"B\xC3\xA4" "ckerei\", which their code pages read as other characters (dump --utf8 "
                       "and apply --utf8 copy texts between languages as characters)\n"
                       "Trackwright 2: Operation complete!\n");
    EXPECT_TRUE(OnGame({"dump"}).out.find("{\"row\": 0, \"slot\": 9, \"value\": \"B\xC3\xA4" "ckerei\"") !=
                std::string::npos);
}

// Where the first string table of a dump, that of career 0, stands: from its "strings" key to the
// end of its entries.
std::pair<std::size_t, std::size_t> FirstStrings(const std::string& json) {
    const std::size_t begin = json.find("\"strings\": {");
    const std::size_t end = json.find("]}", begin);
    EXPECT_NE(end, std::string::npos);
    return {begin, end + 2};
}

TEST_F(CliTest, ApplyKeepsEveryTextThroughEmptiedAndLongTexts) {
    const std::filesystem::path other = temp.Path() / "other";
    ASSERT_EQ(Cli({"sample", other.string()}).status, ExitSuccess);
    const std::string file = (temp.Path() / "game.json").string();
    auto dump = [&](const std::filesystem::path& folder) { return Cli({"--game", folder.string(), "dump"}).out; };
    auto apply = [&](const std::filesystem::path& folder, const std::string& json) {
        WriteText(file, json);
        const CliRun run = Cli({"--game", folder.string(), "apply", file});
        EXPECT_EQ(run.status, ExitSuccess) << run.err;
        EXPECT_EQ(run.err, "Trackwright 2: Operation complete!\n");
    };

    // Every text of career 0 emptied but one in row 32.
    const std::string only32 =
        "\"strings\": {\"rows\": 33, \"entries\": [{\"row\": 32, \"slot\": 0, \"value\": \"Only row 32\", "
        "\"comment\": \"\"}]}";
    std::string json = dump(game);
    auto [begin, end] = FirstStrings(json);
    apply(game, json.substr(0, begin) + only32 + json.substr(end));
    json = dump(game);
    std::tie(begin, end) = FirstStrings(json);
    EXPECT_EQ(json.substr(begin, end - begin), only32);

    // An 8000-character text (career 0's name in USEnglish), then the sample's own dump again,
    // and the dump of that once more.
    const std::string sample = dump(other);
    std::tie(begin, end) = FirstStrings(sample);
    const std::string first = "{\"row\": 0, \"slot\": 0, \"value\": \"";
    const std::size_t value = sample.find(first, begin) + first.size();
    ASSERT_LT(value, end);
    const std::string text(8000, 'x');
    apply(other, sample.substr(0, value) + text + sample.substr(sample.find('"', value)));
    EXPECT_NE(dump(other).find(first + text + "\""), std::string::npos);
    apply(other, sample);
    EXPECT_EQ(dump(other), sample);
    apply(other, sample);
    EXPECT_EQ(dump(other), sample);
}

TEST_F(CliTest, ApplyWritesNothingUnlessTheWholeDocumentIsSound) {
    // The document comes from a copy, so that this game has never been loaded: a refused apply
    // must not even take its files out of the archives.
    const std::filesystem::path other = temp.Path() / "other";
    ASSERT_EQ(Cli({"sample", other.string()}).status, ExitSuccess);
    const std::string json = Cli({"--game", other.string(), "dump"}).out;
    const std::map<std::string, std::string> before = Contents(game);
    const std::string file = (temp.Path() / "game.json").string();

    WriteText(file, "{\n  \"careers\": [1,\n   2,,]}");
    CliRun run = OnGame({"apply", file});
    EXPECT_EQ(run.status, ExitFailure);
    EXPECT_EQ(run.err.find("trackwright-cli: " + file + ": line 3, column 6: "), 0u) << run.err;

    const std::string named = Replaced(json, "\"name\": \"Beekeeping\"", "\"name\": \"Bee\\u0100\"");
    WriteText(file, Replaced(named, "\"careers\": [", "\"extra\": 1, \"careers\": ["));
    run = OnGame({"apply", file});
    EXPECT_EQ(run.status, ExitFailure);
    EXPECT_EQ(run.err, "trackwright-cli: extra: unknown key\n"
                       "trackwright-cli: careers[0].name: holds U+0100, but a byte-string text holds only U+0001 to "
                       "U+00FF\n");
    EXPECT_EQ(Contents(game), before);

    WriteText(file, Replaced(json, "\"name\": \"Beekeeping\"", "\"name\": \"Apiary\""));
    run = OnGame({"apply", file});
    EXPECT_EQ(run.status, ExitSuccess) << run.err;
    EXPECT_NE(OnGame({"dump"}).out.find("\"name\": \"Apiary\""), std::string::npos);
}

TEST_F(CliTest, OriginalsAreKeptOnceAndGivenBackExactlyAfterAnyFirstChange) {
    // A track and a backup from another installation, so that making them touches nothing here.
    const std::filesystem::path other = temp.Path() / "other";
    ASSERT_EQ(Cli({"sample", other.string()}).status, ExitSuccess);
    const std::string track = (temp.Path() / "track.iff").string();
    const std::string backup = (temp.Path() / "backup.iff").string();
    ASSERT_EQ(Cli({"--game", other.string(), "export", "3", track}).status, ExitSuccess);
    ASSERT_EQ(Cli({"--game", other.string(), "backup", backup}).status, ExitSuccess);

    const std::map<std::string, std::string> untouched = Contents(game);
    auto listed = [&](const char* file) {
        const std::string& bytes = untouched.at(file);
        return std::string(file) + "\t" + std::to_string(bytes.size()) + "\t" + Sha256::Hex(bytes) + "\n";
    };
    // The files an archive held did not exist; the loose ones are kept as they were.
    const std::string kept = "ExpansionShared/Work.iff\tabsent\n" + listed("GameData/Objects/CarPortal.iff") +
                             "UIGraphics/cpanel/Backgrounds/JobIconMultiPopup.BMP\tabsent\n" +
                             listed("UIGraphics/cpanel/Buttons/JobIconMultiButton.BMP");
    for (const auto& first : std::vector<std::vector<std::string>>{{"resave"}, {"import", track, "1"}, {"restore", backup}}) {
        SCOPED_TRACE(first[0]);
        game = temp.Path() / ("game-" + first[0]);  // an installation of its own each time
        ASSERT_EQ(Cli({"sample", game.string()}).status, ExitSuccess);
        EXPECT_EQ(OnGame({"originals"}).out, "");
        ASSERT_EQ(OnGame(first).status, ExitSuccess);
        EXPECT_EQ(OnGame({"originals"}).out, kept);
        // A later change never replaces what was kept.
        ASSERT_EQ(OnGame({"import", track, "4"}).status, ExitSuccess);
        EXPECT_EQ(OnGame({"originals"}).out, kept);

        const CliRun restored = OnGame({"restore-originals"});
        EXPECT_EQ(restored.status, ExitSuccess) << restored.err;
        EXPECT_EQ(Contents(game), untouched);
        EXPECT_EQ(OnGame({"originals"}).out, kept);  // still kept
    }
}

TEST_F(CliTest, RestoreOriginalsRefusesWhatItCannotTrust) {
    const CliRun nothing = OnGame({"restore-originals"});
    EXPECT_EQ(nothing.status, ExitSuccess);
    EXPECT_EQ(nothing.err, "Trackwright 2: No original game files are kept for this game.\n");
    ASSERT_EQ(OnGame({"resave"}).status, ExitSuccess);

    // A game file changed since Trackwright wrote it (a patch of the game) is not replaced unasked.
    const std::filesystem::path cards = game / "GameData/Objects/CarPortal.iff";
    { std::ofstream(cards, std::ios::binary | std::ios::app) << "patched"; }
    std::map<std::string, std::string> before = Contents(game);
    const CliRun refused = OnGame({"restore-originals"});
    EXPECT_EQ(refused.status, ExitFailure);
    EXPECT_NE(refused.err.find("GameData/Objects/CarPortal.iff"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("--force"), std::string::npos) << refused.err;
    EXPECT_EQ(Contents(game), before);
    EXPECT_EQ(OnGame({"restore-originals", "--force"}).status, ExitSuccess);
    EXPECT_EQ(ReadText(cards).find("patched"), std::string::npos);

    // A kept copy that no longer matches its record is never put back.
    ASSERT_EQ(OnGame({"resave"}).status, ExitSuccess);
    const std::filesystem::path keptButtons = DefaultOriginalsRoot(ProcessEnvironment()) / InstallationId(game) /
                                              "files/UIGraphics/cpanel/Buttons/JobIconMultiButton.BMP";
    ASSERT_TRUE(std::filesystem::exists(keptButtons));
    { std::ofstream(keptButtons, std::ios::binary | std::ios::app) << "x"; }
    before = Contents(game);
    const CliRun damaged = OnGame({"restore-originals", "--force"});
    EXPECT_EQ(damaged.status, ExitFailure);
    EXPECT_NE(damaged.err.find("UIGraphics/cpanel/Buttons/JobIconMultiButton.BMP"), std::string::npos) << damaged.err;
    EXPECT_EQ(Contents(game), before);

    // A manifest that is no manifest stops everything that would change the game, with its name.
    const std::filesystem::path manifest = keptButtons.parent_path().parent_path().parent_path().parent_path().parent_path() / "manifest.json";
    { std::ofstream(manifest, std::ios::binary) << "{\"keptOriginals\": 1, \"files\": 7}"; }
    for (const char* command : {"originals", "restore-originals", "resave"}) {
        const CliRun run = OnGame({command});
        EXPECT_EQ(run.status, ExitFailure) << command;
        EXPECT_NE(run.err.find("manifest.json: the manifest is damaged"), std::string::npos) << run.err;
    }
    EXPECT_EQ(Contents(game), before);
}

#ifndef _WIN32
// What the program keeps of its own is trusted only as it made it: a link planted in place of a
// journal, a manifest or a kept copy is never followed, and a state folder that others may write
// is refused. Each is refused with a message, and neither the game nor what a link points at
// changes.
TEST_F(CliTest, PlantedLinksAndOpenFoldersInTheStateAreRefused) {
    namespace fs = std::filesystem;
    ASSERT_EQ(OnGame({"resave"}).status, ExitSuccess);  // keeps the originals
    const std::string id = InstallationId(game);
    const fs::path state = DefaultStateRoot(ProcessEnvironment()) / id;
    const fs::path originals = DefaultOriginalsRoot(ProcessEnvironment()) / id;
    const fs::path victim = temp.Path() / "victim";
    ASSERT_TRUE(fs::is_directory(state));
    ASSERT_TRUE(fs::is_regular_file(originals / "manifest.json"));

    const struct {
        const char* name;
        fs::path planted;  // replaced by a link to `victim`, holding what it held; or made 0777
        bool link;
        std::vector<std::string> command;
    } cases[] = {
        {"journal", state / "journal", true, {"dump"}},
        {"manifest", originals / "manifest.json", true, {"originals"}},
        {"kept copy", originals / "files/GameData/Objects/CarPortal.iff", true, {"restore-originals", "--force"}},
        {"state folder", state, false, {"resave"}},
        {"originals folder", originals, false, {"resave"}},
    };
    for (const auto& c : cases) {
        const bool existed = fs::exists(c.planted);
        const std::string held = c.link ? (existed ? ReadText(c.planted) : "trackwright journal 2\n") : "";
        if (c.link) {
            WriteText(victim, held);
            if (existed) fs::rename(c.planted, temp.Path() / "kept-aside");
            fs::create_symlink(victim, c.planted);
        } else {
            fs::permissions(c.planted, fs::perms::all, fs::perm_options::replace);
        }
        const auto before = Contents(game);
        const CliRun run = OnGame(c.command);
        EXPECT_EQ(run.status, ExitFailure) << c.name << ": " << run.err;
        EXPECT_NE(run.err.find(PathText(c.planted)), std::string::npos) << c.name << ": " << run.err;
        EXPECT_EQ(Contents(game), before) << c.name;
        if (c.link) {
            EXPECT_EQ(ReadText(victim), held) << c.name;
            fs::remove(c.planted);
            if (existed) fs::rename(temp.Path() / "kept-aside", c.planted);
        } else {
            fs::permissions(c.planted, fs::perms::owner_all, fs::perm_options::replace);
        }
    }
    EXPECT_EQ(OnGame({"originals"}).status, ExitSuccess);
}
#endif

// A load that fails keeps its own words and says why on the line after them.
TEST_F(CliTest, FailedLoadsExitWithOneAndSayWhy) {
    // An IFF container with no chunk at all.
    std::string empty = "IFF FILE 2.5:TYPE FOLLOWED BY SIZE";
    empty.resize(64, '\0');
    const struct {
        const char* name;
        std::function<void()> arrange;
        const char* message;
        const char* reason;
    } cases[] = {
        {"no game", [this] { std::filesystem::remove_all(game); }, "Error: Can't locate/open/load the Careers or Careers.iff file!\n",
         "trackwright-cli: " },
        {"careers file without careers", [&] { WriteText(game / "ExpansionShared/Work.iff", empty); },
         "Error: Cannot load the careers!\n", "trackwright-cli: ExpansionShared/Work.iff: the file holds no career"},
        {"popup strip not a bitmap", [this] {
             std::filesystem::create_directories(game / "UIGraphics/cpanel/Backgrounds");
             WriteText(game / "UIGraphics/cpanel/Backgrounds/JobIconMultiPopup.BMP", "GIF89a");
         },
         "Error: Cannot load the JobIconMultiPopup.BMP file!\n", "not a bitmap file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(game);
        ASSERT_EQ(Cli({"sample", game.string()}).status, ExitSuccess);
        c.arrange();
        const CliRun run = OnGame({"dump"});
        EXPECT_EQ(run.status, ExitFailure);
        const std::size_t message = run.err.find(c.message);
        ASSERT_NE(message, std::string::npos) << run.err;
        const std::string after = run.err.substr(message + std::strlen(c.message));
        EXPECT_TRUE(after.starts_with("trackwright-cli: ")) << run.err;
        EXPECT_NE(after.find(c.reason), std::string::npos) << run.err;
    }
}

// check reads only: whatever it finds, the game folder stays byte for byte as it was, and its
// exit status counts losses, damage and problems but not forms and notes.
TEST_F(CliTest, CheckListsWhatItFindsCountsOnlyWhatMattersAndWritesNothing) {
    const std::string sampleJson =
        "{\"findings\": [\n"
        "  {\"kind\": \"form\", \"severity\": \"note\", \"file\": \"UIGraphics/cpanel/Buttons/JobIconMultiButton.BMP\", "
        "\"type\": \"BMP\", \"message\": \"the strip is stored at 8 bits per pixel; a save writes it as an uncompressed "
        "24-bit one with the same pixels\"},\n"
        "  {\"kind\": \"form\", \"severity\": \"note\", \"file\": \"UIGraphics/cpanel/Backgrounds/JobIconMultiPopup.BMP\", "
        "\"type\": \"BMP\", \"message\": \"the strip is stored at 8 bits per pixel; a save writes it as an uncompressed "
        "24-bit one with the same pixels\"}\n"
        "]}\n";
    const auto before = Contents(game);
    const CliRun json = OnGame({"check", "--json"});
    EXPECT_EQ(json.status, ExitSuccess) << json.err;
    EXPECT_EQ(json.out, sampleJson);
    const CliRun text = OnGame({"check"});
    EXPECT_EQ(text.status, ExitSuccess);
    EXPECT_EQ(text.out.find("form: UIGraphics/cpanel/Buttons/JobIconMultiButton.BMP BMP: the strip is stored at 8"), 0u)
        << text.out;
    EXPECT_EQ(std::count(text.out.begin(), text.out.end(), '\n'), 2);
    EXPECT_EQ(Contents(game), before);

    // A salary that falls is a problem with its place; nothing else of the saved game is found.
    const std::string file = (temp.Path() / "game.json").string();
    WriteText(file, Replaced(OnGame({"dump"}).out, "0, 220, 6, 13, 0]", "0, 150, 6, 13, 0]"));
    ASSERT_EQ(OnGame({"apply", file}).status, ExitSuccess);
    const auto applied = Contents(game);
    const CliRun rule = OnGame({"check", "--json"});
    EXPECT_EQ(rule.status, ExitFailure);
    EXPECT_EQ(rule.out,
              "{\"findings\": [\n"
              "  {\"kind\": \"rule\", \"severity\": \"problem\", \"career\": 1, \"level\": 3, \"field\": \"salary\", "
              "\"rule\": \"salary-falls\", \"message\": \"Level 3 of \\\"Beekeeping\\\" pays 150, less than the level "
              "below (155): a promotion would cut the pay.\"}\n"
              "]}\n");
    EXPECT_EQ(OnGame({"check"}).out.find("rule salary-falls (problem): career #1 level 3 salary: Level 3"), 0u);
    EXPECT_EQ(Contents(game), applied);

    for (const auto& args : std::vector<std::vector<std::string>>{{"check", "--utf8"}, {"check", "--json", "--json"}})
        EXPECT_EQ(OnGame(args).status, ExitUsage);

    // A game that does not load at all is still answered in the shape asked for.
    WriteText(game / "ExpansionShared" / "Work.iff", "not a container");
    const CliRun unloaded = OnGame({"check", "--json"});
    EXPECT_EQ(unloaded.status, ExitFailure);
    EXPECT_EQ(unloaded.out, "{\"findings\": [\n  {\"kind\": \"damaged\", \"severity\": \"problem\", \"message\": \"the "
                            "game does not load: Can't locate/open/load the Careers or Careers.iff file!\"}\n]}\n");
}

// A careers file whose second table of job names disagrees with the careers' texts: every save
// rewrites it from them. `check` lists that as a form and fails nothing; the save goes ahead.
TEST_F(CliTest, JobNamesASaveKeepsInStepAreAFormAndTheSaveGoesAhead) {
    ASSERT_EQ(OnGame({"resave"}).status, ExitSuccess);
    const std::filesystem::path workPath = game / "ExpansionShared" / "Work.iff";
    {
        const std::string bytes = ReadText(workPath);
        ChunkStore store;
        IFFFile work(store);
        work.AttachFile(MemoryStream(std::vector<std::uint8_t>(bytes.begin(), bytes.end())));
        ASSERT_TRUE(work.OpenIFFFile());
        ChunkHandle handle = 0;
        ASSERT_TRUE(work.FindChunk(handle, TypeSTR, 1003));
        StringTable names;
        ASSERT_TRUE(names.LoadFromIFF(work, handle));
        ASSERT_TRUE(names.SetText(3, 0, StringTable::Value, "Keeper of Nothing"));
        ASSERT_TRUE(names.SaveToIFF(work));
        MemoryStream written;
        ASSERT_TRUE(work.SaveIFFFile(&written));
        WriteText(workPath, std::string(written.Bytes().begin(), written.Bytes().end()));
    }
    const auto before = Contents(game);
    const CliRun check = OnGame({"check"});
    EXPECT_EQ(check.status, ExitSuccess) << check.out;
    EXPECT_EQ(check.out.find("form: ExpansionShared/Work.iff STR# 1003"), 0u) << check.out;
    EXPECT_EQ(Contents(game), before);

    EXPECT_EQ(OnGame({"resave"}).status, ExitSuccess);
    EXPECT_NE(Contents(game), before);
    const CliRun again = OnGame({"check"});
    EXPECT_EQ(again.status, ExitSuccess);
    EXPECT_EQ(again.out.find("STR# 1003"), std::string::npos) << again.out;
}

}  // namespace
}  // namespace tw::cli
