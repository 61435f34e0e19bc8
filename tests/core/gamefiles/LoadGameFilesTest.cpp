#include "gamefiles/GameLoad.h"

#include "edit/GameSave.h"
#include "far/FARWriter.h"
#include "gamefiles/GameFileLookup.h"
#include "icons/BitmapFile.h"
#include "support/CareerIds.h"
#include "support/IffBytes.h"
#include "support/ScriptedPort.h"
#include "util/MemoryStream.h"

#include "GameFolderFixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace tw {
namespace {

using test::GameFolder;
using test::PointAt;
using test::ScriptedPort;
using Bytes = std::vector<std::uint8_t>;

const char* const CarPortal = "GameData/Objects/CarPortal.iff";
const char* const CareersArchive = "ExpansionShared/ExpansionShared.far";
const char* const GraphicsArchive = "UIGraphics/UIGraphics.far";
const char* const ButtonStrip = "UIGraphics/cpanel/Buttons/JobIconMultiButton.BMP";
const char* const PopupStrip = "UIGraphics/cpanel/Backgrounds/JobIconMultiPopup.BMP";
const char* const LooseWork = "ExpansionShared/Work.iff";

const std::vector<std::string> AllStatuses = {"CarPortal.iff",         "Work.iff", "Loading careers...",
                                              "Loading Chance Cards...", "JobIconMultiPopup.BMP",
                                              "JobIconMultiButton.BMP"};

int Load(GameContext& context, ScriptedPort& port) { return RunLoad(context, port); }

// A 2.0 container (no map) whose one chunk claims more data than the file holds.
Bytes DamagedContainer() {
    test::IffBytes file("2.0");
    file.Chunk(TypeSTR, 301, test::ToBytes("abcdef"));
    file.bytes.erase(file.bytes.end() - 2, file.bytes.end());
    return file.bytes;
}

// A sound container holding one complete string table and nothing else.
Bytes ContainerWithout(std::uint16_t stringId) {
    test::IffBytes file("2.0");
    file.Chunk(TypeSTR, stringId, {0xFD, 0xFF, 0, 0});
    return file.bytes;
}

Bytes Text(const std::string& text) { return {text.begin(), text.end()}; }

// A valid strip of one colour, as a 24-bit file.
Bytes PlainStrip(std::int32_t width, std::int32_t height, std::uint32_t colour) {
    Bitmap strip(width, height);
    std::fill(strip.pixels.begin(), strip.pixels.end(), colour);
    MemoryStream out;
    EXPECT_TRUE(SaveBitmapFile(out, strip));
    return out.Copy();
}

Bytes Archive(const std::string& name, const Bytes& bytes) {
    FARWriter archive;
    archive.Add(name, bytes);
    return archive.Bytes();
}

// The pixels of a bitmap file, whatever its bit depth.
std::vector<std::uint32_t> BitmapPixels(const Bytes& file) {
    MemoryStream stream(file);
    Bitmap bitmap;
    Palette palette;
    EXPECT_TRUE(LoadBitmapFile(stream, bitmap, palette, 0, 0));
    return bitmap.pixels;
}

// Every warning carries the information icon and every failure the error icon, each with OK.
void ExpectIcons(const ScriptedPort& port) {
    for (const auto& call : port.calls) {
        EXPECT_EQ(call.message.buttons, MessageButtons::Ok);
        if (call.message.title == "Warning") {
            EXPECT_EQ(call.message.icon, MessageIcon::Information);
        } else {
            EXPECT_EQ(call.message.title, "Error");
            EXPECT_EQ(call.message.icon, MessageIcon::Error);
        }
    }
}

TEST(LoadGameFilesTest, SampleLoadsInOrderAndReadsWhatOnlyArchivesHoldInMemory) {
    GameFolder folder;
    const std::vector<std::string> files = folder.Files();
    EXPECT_FALSE(folder.Exists(LooseWork));
    // The editor's load: it holds the game for changing, and still takes nothing out.
    GameContext context;
    test::TakeForWriting(context, folder);
    ScriptedPort port;
    ASSERT_EQ(Load(context, port), 1);
    EXPECT_TRUE(port.calls.empty());
    EXPECT_EQ(port.statuses, AllStatuses);
    EXPECT_EQ(context.careersFile, "ExpansionShared/Work.iff");
    EXPECT_EQ(context.chanceCardsDisabled, 0);
    ASSERT_TRUE(context.popupBitmapFile && context.buttonsBitmapFile);
    EXPECT_EQ(context.iconStrips.PopupIconCount(), 11u);
    EXPECT_EQ(folder.Files(), files);
    EXPECT_FALSE(folder.Exists("UIGraphics/cpanel/Backgrounds"));
    // Where a save puts them: under the names the load looked for.
    EXPECT_FALSE(context.careersSource.loose);
    EXPECT_EQ(context.careersSource.path, folder.At(LooseWork));
    EXPECT_FALSE(context.popupSource.loose);
    EXPECT_EQ(context.popupSource.path, folder.At(PopupStrip));
    EXPECT_TRUE(context.buttonsSource.loose);
    EXPECT_TRUE(context.chanceCardsSource.loose);
}

TEST(LoadGameFilesTest, GameFolderWithTrailingSeparatorLoadsTheSame) {
    GameFolder folder;
    GameContext context;
    context.gameFolder = folder.root.string() + "/";
    ScriptedPort port;
    EXPECT_EQ(Load(context, port), 1);
    EXPECT_TRUE(port.calls.empty());
}

struct FailureCase {
    const char* name;
    std::function<void(GameFolder&, GameContext&)> arrange;
    std::vector<std::string> shown;
    int result;
    int chanceCardsDisabled;
    const char* reason = "";  // found in the detail of the last message: why it failed
};

TEST(LoadGameFilesTest, EveryWarningAndFailureHasItsTextTitleAndResult) {
    const std::string noCarPortal = "Warning: Cannot load the CarPortal.iff file!\n\nChance Card editing has been disabled.";
    const std::string careersWording = "Error: Can't locate/open/load the Careers or Careers.iff file!";
    const std::string workWording = "Error: Can't locate/open/load the Work.iff file!";
    auto noCareers = [](const char* ep3, const char* ep4) {
        return [ep3, ep4](GameFolder& f, GameContext& c) {
            f.Remove(CareersArchive);
            c.expansion3Flag = ep3;
            c.expansion4Flag = ep4;
        };
    };
    const FailureCase cases[] = {
        {"no careers, no expansion", noCareers("", ""), {careersWording}, 2, 0, "Careers.iff: not found"},
        {"no careers, expansion 3", noCareers("1", ""), {workWording}, 2, 0},
        {"no careers, only expansion 4", noCareers("", "1"), {workWording}, 2, 0},
        {"no careers, expansion 3 and other text", noCareers("1", "yes"), {workWording}, 2, 0},
        {"no careers, expansions not 1", noCareers("0", "yes"), {careersWording}, 2, 0},
        {"empty game folder", [](GameFolder& f, GameContext&) {
             f.Remove("ExpansionShared");
             f.Remove("GameData");
         },
         {noCarPortal, careersWording}, 2, 1},
        {"careers chunk unreadable",
         [](GameFolder& f, GameContext&) { f.Write(LooseWork, DamagedContainer()); },
         {"Error: Invalid Careers file!"}, 2, 0, "Work.iff: the file holds no career"},
        {"no career tracks",
         [](GameFolder& f, GameContext&) { f.Write(LooseWork, ContainerWithout(1)); },
         {"Error: Cannot load the careers!"}, 2, 0, "Work.iff: the file holds no career"},
        {"chance-card file missing", [](GameFolder& f, GameContext&) { f.Remove(CarPortal); }, {noCarPortal}, 1, 1,
         "CarPortal.iff: not found"},
        {"chance-card file not a container",
         [](GameFolder& f, GameContext&) { f.Write(CarPortal, Text("not a container")); }, {noCarPortal}, 1, 1},
        {"chance-card chunk unreadable",
         [](GameFolder& f, GameContext&) { f.Write(CarPortal, DamagedContainer()); },
         {"Warning: CarPortal.iff has been damaged!\n\nChance Card editing has been disabled."}, 1, 1,
         "CarPortal.iff: STR# 301: its data"},
        {"no card texts",
         [](GameFolder& f, GameContext&) { f.Write(CarPortal, ContainerWithout(300)); },
         {"Warning: Cannot load the Chance Cards!\n\nChance Card editing has been disabled."}, 1, 1,
         "CarPortal.iff: the card texts (STR# 301) are missing"},
        {"chance cards already disabled: no second warning",
         [](GameFolder& f, GameContext& c) {
             f.Remove(CarPortal);
             c.chanceCardsDisabled = 1;
         },
         {}, 1, 1},
        {"popup strip missing", [](GameFolder& f, GameContext&) { f.Remove(GraphicsArchive); },
         {"Error: Cannot load the JobIconMultiPopup.BMP file!"}, 2, 0, "JobIconMultiPopup.BMP: not found"},
        {"popup strip not a bitmap", [](GameFolder& f, GameContext&) { f.Write(PopupStrip, Text("BMnot really")); },
         {"Error: Cannot load the JobIconMultiPopup.BMP file!"}, 2, 0, "JobIconMultiPopup.BMP: the file is cut off"},
        {"button strip missing", [](GameFolder& f, GameContext&) { f.Remove(ButtonStrip); },
         {"Error: Cannot load the JobIconMultiButton.BMP file!"}, 2, 0, "JobIconMultiButton.BMP"},
        {"button strip not a bitmap", [](GameFolder& f, GameContext&) { f.Write(ButtonStrip, Text("GIF89a")); },
         {"Error: Cannot load the JobIconMultiButton.BMP file!"}, 2, 0, "JobIconMultiButton.BMP: not a bitmap file"},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        GameFolder folder;
        GameContext context;
        PointAt(context, folder);
        c.arrange(folder, context);
        ScriptedPort port;
        EXPECT_EQ(Load(context, port), c.result);
        EXPECT_EQ(port.Shown(), c.shown);
        if (!port.calls.empty()) {
            const std::string& detail = port.calls.back().message.detail;
            EXPECT_NE(detail.find(c.reason), std::string::npos) << c.reason << " not in: " << detail;
            if (!c.shown.empty()) {
                EXPECT_FALSE(detail.empty());
            }
        }
        ExpectIcons(port);
        EXPECT_EQ(context.chanceCardsDisabled, c.chanceCardsDisabled);
        if (c.result == 1 && c.chanceCardsDisabled == 1) {
            // With editing off the cards stay empty: none is decoded from a file that failed.
            EXPECT_TRUE(test::NoCards(context.careerSet));
        }
    }
}

// The message keeps its wording; the detail says which file failed and why.
TEST(LoadGameFilesTest, FilesThatAreNotContainersSayWhyInTheDetail) {
    struct Case {
        const char* file;
        Bytes bytes;
        const char* why;
    };
    const Case cases[] = {
        {CarPortal, Text("not a container"), "does not begin with \"IFF FILE\""},
        {CarPortal, Text("IFF FILE 3.1:TYPE FOLLOWED BY SIZE"), "neither 2.0 nor 2.5"},
        {LooseWork, Text(""), "does not begin with \"IFF FILE\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        GameFolder folder;
        GameContext context;
        PointAt(context, folder);
        folder.Write(c.file, c.bytes);
        ScriptedPort port;
        Load(context, port);
        ASSERT_FALSE(port.calls.empty());
        const std::string& detail = port.calls.front().message.detail;
        EXPECT_NE(detail.find(std::filesystem::path(c.file).filename().string()), std::string::npos) << detail;
        EXPECT_NE(detail.find(c.why), std::string::npos) << detail;
    }
}

TEST(LoadGameFilesTest, CareersFallBackToGameDataWhateverTheLetterCase) {
    // The careers container as its archive holds it.
    GameFolder source;
    Bytes careers;
    {
        GameContext context;
        PointAt(context, source);
        ScriptedPort port;
        ASSERT_EQ(Load(context, port), 1);
        careers = context.careersIFF.AttachedFile()->ReadAll();
    }

    struct Case {
        const char* name;
        const char* file;  // where the good careers container is put
        const char* status;
        const char* careersFile;
    };
    const Case cases[] = {
        {"Careers.iff", "GameData/careers.IFF", "Careers.iff", "GameData/Careers.iff"},
        {"Careers without extension", "gamedata/CAREERS", "Careers.iff", "GameData/Careers"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameFolder folder;
        if (std::string(c.file).starts_with("gamedata")) {
            std::filesystem::rename(folder.At("GameData"), folder.At("gamedata"));
        }
        // A loose Work.iff that is no container: the archive's good copy is not looked at.
        folder.Write(LooseWork, Text("definitely not a container"));
        folder.Write(c.file, careers);
        GameContext context;
        PointAt(context, folder);
        ScriptedPort port;
        ASSERT_EQ(Load(context, port), 1);
        EXPECT_TRUE(port.calls.empty());
        EXPECT_EQ(port.statuses.at(1), c.status);
        EXPECT_EQ(context.careersFile, c.careersFile);
        EXPECT_EQ(context.careerSet.Count(), 10u);
        EXPECT_EQ(folder.Read(LooseWork), Text("definitely not a container"));
    }
}

TEST(LoadGameFilesTest, TheFirstSaveWritesArchivedFilesWithEveryFolderOfTheirName) {
    GameFolder folder;
    const Bytes buttons = folder.Read(ButtonStrip);
    folder.Remove("UIGraphics/cpanel");
    folder.Write("UIGraphics/Buttons.FAR", Archive("CPANEL\\BUTTONS\\JOBICONMULTIBUTTON.BMP", buttons));

    GameContext context;
    test::TakeForWriting(context, folder);
    ScriptedPort port;
    ASSERT_EQ(Load(context, port), 1);
    EXPECT_TRUE(port.calls.empty());
    EXPECT_FALSE(folder.Exists("UIGraphics/cpanel"));
    ASSERT_TRUE(SaveGameFiles(context, port));
    EXPECT_EQ(BitmapPixels(folder.Read(ButtonStrip)), BitmapPixels(buttons));
    EXPECT_TRUE(folder.Exists(PopupStrip));
}

TEST(LoadGameFilesTest, FirstArchiveInNameOrderHoldingTheFileWins) {
    GameFolder folder;
    const std::string name = "cpanel\\Backgrounds\\JobIconMultiPopup.BMP";
    folder.Write("UIGraphics/0-broken.far", Text("FAR!byAZ but nothing else"));
    folder.Write("UIGraphics/A.far", Archive(name, PlainStrip(84, 63 * 11, 0x123456)));
    folder.Write("UIGraphics/z.far", Archive(name, PlainStrip(84, 63 * 11, 0x654321)));

    GameContext context;
    PointAt(context, folder);
    ScriptedPort port;
    ASSERT_EQ(Load(context, port), 1);
    EXPECT_EQ(context.iconStrips.PopupStrip().Pixel(0, 0), 0x123456u);

    // The search itself, as the load makes it.
    std::optional<ArchiveMatch> match = FindInArchives(folder.At("UIGraphics"), "CPANEL\\backgrounds\\jobiconmultipopup.bmp", &port);
    ASSERT_TRUE(match);
    EXPECT_EQ(match->archivePath.filename(), "A.far");
    EXPECT_FALSE(FindInArchives(folder.At("UIGraphics"), "cpanel\\Backgrounds", &port));
}

TEST(LoadGameFilesTest, FailedExtractionLeavesNoFileBehind) {
    GameFolder folder;
    // The popup entry claims 1000 bytes where the archive holds 10.
    const std::string name = "cpanel\\Backgrounds\\JobIconMultiPopup.BMP";
    Bytes archive = Archive(name, Bytes(10, 'x'));
    const std::size_t sizeField = archive.size() - (16 + name.size());
    archive[sizeField] = 0xE8;
    archive[sizeField + 1] = 0x03;
    folder.Write(GraphicsArchive, archive);

    GameContext context;
    PointAt(context, folder);
    ScriptedPort port;
    EXPECT_EQ(Load(context, port), 2);
    EXPECT_EQ(port.Shown(), (std::vector<std::string>{"Error: Cannot load the JobIconMultiPopup.BMP file!"}));
    for (const std::string& file : folder.Files()) EXPECT_FALSE(file.starts_with("UIGraphics/cpanel/Backgrounds")) << file;
}

TEST(LoadGameFilesTest, ReadOnlyFilesStayReadOnlyThroughALoadAndASave) {
    GameFolder folder;
    namespace fs = std::filesystem;
    fs::permissions(folder.At(CarPortal), fs::perms::owner_read | fs::perms::group_read, fs::perm_options::replace);
    fs::permissions(folder.At(ButtonStrip), fs::perms::owner_read, fs::perm_options::replace);
    // As this system shows them (on Windows both carry the read-only mark, and nothing more).
    const fs::perms carPortal = fs::status(folder.At(CarPortal)).permissions();
    const fs::perms buttons = fs::status(folder.At(ButtonStrip)).permissions();
    EXPECT_EQ(carPortal & fs::perms::owner_write, fs::perms::none);
    GameContext context;
    test::TakeForWriting(context, folder);
    ScriptedPort port;
    ASSERT_EQ(Load(context, port), 1);
    EXPECT_EQ(fs::status(folder.At(CarPortal)).permissions(), carPortal);
    EXPECT_EQ(fs::status(folder.At(ButtonStrip)).permissions(), buttons);
    test::EditEveryFile(context);
    ASSERT_TRUE(SaveGameFiles(context, port)) << testing::PrintToString(port.Shown());
    EXPECT_EQ(fs::status(folder.At(CarPortal)).permissions(), carPortal);
    EXPECT_EQ(fs::status(folder.At(ButtonStrip)).permissions(), buttons);
}

// Cancels the load when a given status text appears.
class CancellingPort : public ScriptedPort {
public:
    LoadRequest* request = nullptr;
    std::string trigger;
    void ShowStatus(const std::string& text) override {
        ScriptedPort::ShowStatus(text);
        if (text == trigger) CancelLoad(*request);
    }
};

TEST(LoadGameFilesTest, CancelStopsAtTheNextCheck) {
    struct Case {
        const char* trigger;  // "" cancels before the load starts
        std::size_t statuses;
        std::uint32_t careers;
        bool cardsDecoded;
        bool popupOpen;
        bool buttonsOpen;
    };
    const Case cases[] = {
        {"", 0, 0, false, false, false},
        {"CarPortal.iff", 1, 0, false, false, false},
        {"Work.iff", 2, 0, false, false, false},
        {"Loading careers...", 3, 10, false, false, false},
        {"Loading Chance Cards...", 4, 10, true, false, false},
        // No check between the two strips: the buttons still load.
        {"JobIconMultiPopup.BMP", 6, 10, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.trigger);
        GameFolder folder;
        GameContext context;
        PointAt(context, folder);
        LoadRequest request(context.gameFolder);
        CancellingPort port;
        port.request = &request;
        port.trigger = c.trigger;
        if (std::string(c.trigger).empty()) CancelLoad(request);
        LoadGameFiles(context, request, port);

        EXPECT_EQ(request.done.load(), 1);
        EXPECT_EQ(request.result.load(), 2);
        EXPECT_TRUE(port.calls.empty());
        EXPECT_EQ(port.statuses, std::vector<std::string>(AllStatuses.begin(), AllStatuses.begin() + static_cast<std::ptrdiff_t>(c.statuses)));
        EXPECT_EQ(context.careerSet.Count(), c.careers);
        EXPECT_EQ(!test::NoCards(context.careerSet), c.cardsDecoded);
        EXPECT_EQ(context.popupBitmapFile != nullptr, c.popupOpen);
        EXPECT_EQ(context.buttonsBitmapFile != nullptr, c.buttonsOpen);
    }
}

TEST(LoadGameFilesTest, DisabledChanceCardsAreNotReWarnedAndComeBackWithTheFile) {
    GameFolder folder;
    const Bytes carPortal = folder.Read(CarPortal);
    folder.Remove(CarPortal);
    GameContext context;
    PointAt(context, folder);
    ScriptedPort port;
    ASSERT_EQ(Load(context, port), 1);
    EXPECT_EQ(port.Shown().size(), 1u);
    EXPECT_EQ(context.chanceCardsDisabled, 1);

    const LoadRunner runLoad = [&port](GameContext& c) { return RunLoad(c, port); };
    ASSERT_EQ(ReloadGameFiles(context, runLoad), 1);
    EXPECT_EQ(port.Shown().size(), 1u);
    EXPECT_EQ(context.chanceCardsDisabled, 1);

    folder.Write(CarPortal, carPortal);
    ASSERT_EQ(ReloadGameFiles(context, runLoad), 1);
    EXPECT_EQ(port.Shown().size(), 1u);
    EXPECT_EQ(context.chanceCardsDisabled, 0);
    EXPECT_FALSE(context.careerSet.careers.at(0).cards[0].items.empty());
}
}  // namespace
}  // namespace tw
