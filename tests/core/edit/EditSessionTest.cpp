// The editing session without a window: every edit, what it does to the unsaved state, its undo
// and redo, and the save, reload and exit decisions.
#include "edit/EditSession.h"

#include "cli/ModelDump.h"
#include "edit/ModelChanges.h"
#include "edit/TranslationCommands.h"
#include "exchange/CareerExport.h"
#include "sample/SampleCareerData.h"
#include "support/FaultyFileSystem.h"
#include "support/ScriptedPort.h"
#include "util/ByteReader.h"
#include "util/ByteWriter.h"
#include "text/TextCodec.h"
#include "util/JsonReader.h"

#include "../gamefiles/GameFolderFixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <tuple>

namespace tw {
namespace {

using test::GameFolder;
using test::PointAt;
using test::ScriptedPort;

// Everything of the model a person can change, as text: the dump, and the icons' pixels.
std::string Fingerprint(const EditSession& session) {
    cli::DumpInput input;
    input.careers = &session.Careers();
    input.icons = &session.Context().iconStrips;
    std::string text = cli::DumpJson(input);
    for (const Bitmap* strip : {&session.Context().iconStrips.PopupStrip(), &session.Context().iconStrips.ButtonStrip()})
        for (std::uint32_t pixel : strip->pixels) text += std::to_string(pixel) + ",";
    return text;
}

struct Loaded {
    Loaded() {
        test::TakeForWriting(session.Context(), folder);
        EXPECT_EQ(session.Load([this](GameContext& c) { return RunLoad(c, port); }), LoadRequest::Loaded);
        port.calls.clear();
    }
    int Reload() {
        return session.Reload([this](GameContext& c) { return RunLoad(c, port); });
    }
    GameFolder folder;
    EditSession session;
    ScriptedPort port;
};

TEST(EditSessionTest, EveryEditIsOneStepThatUndoesAndRedoesExactly) {
    // Files for the import and the restore, made from another installation.
    GameFolder other;
    EditSession source;
    PointAt(source.Context(), other);
    ScriptedPort quiet;
    ASSERT_EQ(source.Load([&](GameContext& c) { return RunLoad(c, quiet); }), LoadRequest::Loaded);
    const std::filesystem::path track = other.state.Path() / "track.iff";
    const std::filesystem::path backup = other.state.Path() / "backup.iff";
    ASSERT_TRUE(ExportCareerToFile(track, 7, source.Careers(), source.Context().iconStrips, quiet));
    source.Context().careerSet.careers[2].track.name = "Changed before the backup";
    ASSERT_TRUE(BackupToFile(backup, source.Careers(), source.Context().iconStrips, quiet));

    using Text = CareerTexts::Text;
    const struct {
        const char* name;
        std::function<bool(EditSession&, ScriptedPort&)> edit;
        EditPlace place;
    } cases[] = {
        {"Internal Career Name", [](EditSession& s, ScriptedPort&) { return s.SetInternalName(1, "Apiary"); }, {1, {}, {}}},
        {"Career Name", [](EditSession& s, ScriptedPort&) { return s.SetText(2, Text::CareerName, 0, 3, "Neu"); },
         {2, {}, 3}},
        {"Job Description",
         [](EditSession& s, ScriptedPort&) { return s.SetText(2, Text::JobDescription, 4, 0, "Long days."); },
         {2, 4, 0}},
        {"Job Details",
         [](EditSession& s, ScriptedPort&) {
             JobLevel job = s.Careers().careers[3].track.levels[5];
             job.values[17] += 100;
             job.texts[0] = "Renamed";
             return s.SetJobLevel(3, 5, job);
         },
         {3, 5, {}}},
        {"Chance Card",
         [](EditSession& s, ScriptedPort&) {
             return s.SetChanceCard(4, 2, {{4, 2, 311}, {1, 1, 50}}, "Ein neuer Text", 3).has_value();
         },
         {4, 2, 3}},
        {"Set All",
         [](EditSession& s, ScriptedPort& port) {
             port.answers = {Answer::Yes, Answer::Yes};
             return s.SetAllLanguages(port, 5, 2);
         },
         {5, {}, 2}},
        {"Icons",
         [](EditSession& s, ScriptedPort&) {
             Bitmap popup(84, 63);
             Bitmap button(112, 22);
             std::fill(popup.pixels.begin(), popup.pixels.end(), 0x123456u);
             return s.SetIcons(6, popup, button);
         },
         {6, {}, {}}},
        {"Import",
         [&track](EditSession& s, ScriptedPort& port) {
             port.files = {track};
             port.careers = {0};
             return s.Import(port).outcome == ImportResult::Outcome::CareerReplaced;
         },
         {0, {}, {}}},
        {"Import",
         [&backup](EditSession& s, ScriptedPort& port) {
             port.files = {backup};
             port.answers = {Answer::Yes};
             return s.Import(port).outcome == ImportResult::Outcome::AllRestored;
         },
         {}},
        {"Import Translations",
         [&other](EditSession& s, ScriptedPort& port) {
             // Every French text and comment of every career and card, through Career > Import
             // Translations....
             PoCatalog catalog = ExportTranslations(s.Careers(), true, 2, "2026-01-01 00:00+0000");
             for (PoEntry& entry : catalog.entries) {
                 entry.str = "Fran\xC3\xA7" "ais\n" + entry.id;
                 entry.translatorComments = {"remarque"};
             }
             const std::filesystem::path file = other.state.Path() / "fr.po";
             std::ofstream(file, std::ios::binary) << WritePo(catalog);
             port.files = {file};
             const TranslationImportResult result = ImportTranslationsCommand(s, port);
             EXPECT_EQ(port.Shown().back(), "Trackwright 2: Translations imported into French: " +
                                                std::to_string(catalog.entries.size()) + " texts changed.");
             return result.textsChanged == catalog.entries.size();
         },
         {{}, {}, 2}},
    };
    Loaded game;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string before = Fingerprint(game.session);
        ASSERT_TRUE(c.edit(game.session, game.port));
        const std::string after = Fingerprint(game.session);
        ASSERT_NE(after, before);
        EXPECT_TRUE(game.session.HasUnsavedChanges());
        EXPECT_EQ(game.session.UndoName(), c.name);

        EXPECT_EQ(game.session.Undo(), c.place);
        EXPECT_EQ(Fingerprint(game.session), before);
        EXPECT_FALSE(game.session.HasUnsavedChanges());
        EXPECT_EQ(game.session.RedoName(), c.name);
        EXPECT_EQ(game.session.Redo(), c.place);
        EXPECT_EQ(Fingerprint(game.session), after);
        ASSERT_TRUE(game.session.Undo());
    }
}

TEST(EditSessionTest, TypingInOneTextIsOneStepUntilTheFieldIsLeft) {
    Loaded game;
    const std::string before = Fingerprint(game.session);
    EditSession& s = game.session;
    for (const char* typed : {"A", "Ap", "Api"}) EXPECT_TRUE(s.SetText(0, CareerTexts::Text::CareerName, 0, 0, typed));
    EXPECT_FALSE(s.SetText(0, CareerTexts::Text::CareerName, 0, 0, "Api"));  // the same text changes nothing
    s.EndTyping();
    EXPECT_TRUE(s.SetText(0, CareerTexts::Text::CareerName, 0, 0, "Apis"));
    // Another text in between starts a step of its own, too.
    EXPECT_TRUE(s.SetText(0, CareerTexts::Text::MaleOffer, 0, 0, "x"));
    EXPECT_TRUE(s.SetText(0, CareerTexts::Text::CareerName, 0, 0, "Apiss"));

    int steps = 0;
    while (s.Undo()) ++steps;
    EXPECT_EQ(steps, 4);
    EXPECT_EQ(Fingerprint(s), before);
}

TEST(EditSessionTest, SaveIsTheCleanPointAndUndoPastItWritesTheOldFilesBack) {
    Loaded game;
    const test::SavedBytes original = [&] {
        // The first save turns the sample's 8-bit strips into 24-bit ones; take that as the start.
        EXPECT_TRUE(game.session.Save(game.port, [&] { return game.Reload(); }).saved);
        return test::Snapshot(game.folder);
    }();
    EditSession& s = game.session;
    ASSERT_TRUE(s.SetInternalName(1, "Apiary"));
    ASSERT_TRUE(s.SetChanceCard(4, 2, {{4, 2, 311}}, "Neu", 3));
    ASSERT_TRUE(s.Save(game.port, [&] { return game.Reload(); }).saved);
    EXPECT_FALSE(s.HasUnsavedChanges());
    EXPECT_NE(test::Snapshot(game.folder), original);

    // The history survives the save's reload: undoing past the save and saving again gives the
    // files of before, byte for byte.
    ASSERT_TRUE(s.Undo());
    EXPECT_TRUE(s.HasUnsavedChanges());
    ASSERT_TRUE(s.Undo());
    ASSERT_TRUE(s.Save(game.port, [&] { return game.Reload(); }).saved);
    EXPECT_EQ(test::Snapshot(game.folder), original);
    ASSERT_TRUE(s.Redo());  // and forward again
    EXPECT_TRUE(s.HasUnsavedChanges());

    // Reload starts a new history.
    ASSERT_EQ(game.Reload(), LoadRequest::Loaded);
    EXPECT_FALSE(s.CanUndo());
    EXPECT_FALSE(s.CanRedo());
    EXPECT_FALSE(s.HasUnsavedChanges());
}

// The editor's commands that change the disk, with the disk failing at each of their steps in
// turn: every failure is a message, the files stay as they were, and the session goes on with the
// edits still there.
TEST(EditSessionTest, SaveAndRestoreOfOriginalsFailWithAMessageWhereverTheDiskFails) {
    GameFolder folder;
    test::FaultyFileSystem files;
    EditSession session;
    ScriptedPort port;
    test::TakeForWriting(session.Context(), folder, &files);
    auto reload = [&] { return session.Reload([&](GameContext& c) { return RunLoad(c, port); }); };
    ASSERT_EQ(session.Load([&](GameContext& c) { return RunLoad(c, port); }), LoadRequest::Loaded);

    const struct {
        const char* name;
        std::function<bool()> run;
    } commands[] = {
        {"save", [&] { return session.Save(port, reload).saved; }},
        {"restore of originals",
         [&] {
             port.answers.push_back(Answer::Yes);
             return session.RestoreOriginals(port, reload) == RestoreOutcome::Restored;
         }},
    };
    // Each change of the disk in turn fails; and, apart, each read of the program's own files
    // (the kept originals' manifest).
    using Step = test::FaultyFileSystem::Step;
    for (const Step kind : {Step::Any, Step::Read}) {
        ASSERT_TRUE(session.SetInternalName(1, kind == Step::Any ? "Apiary" : "Bee yard"));
        for (const auto& command : commands) {
            std::size_t faults = 0;
            for (std::size_t step = 1;; ++step) {
                const test::SavedBytes before = test::Snapshot(folder);
                const std::string model = Fingerprint(session);
                files.Restart();
                files.FailAt(kind, step);
                port.calls.clear();
                port.answers.clear();
                const bool done = command.run();
                // Done in spite of a fault: only what the change left beside the new files could
                // not be removed, and every later step is of that kind.
                if (done) break;
                ++faults;
                EXPECT_TRUE(files.Failed()) << command.name;
                std::string told;
                for (const auto& call : port.calls) told += call.message.text + call.message.detail;
                EXPECT_NE(told.find("(injected)"), std::string::npos)
                    << command.name << " at " << files.FaultStep() << ": " << told;
                EXPECT_TRUE(test::Snapshot(folder) == before) << command.name << " at " << files.FaultStep();
                EXPECT_EQ(Fingerprint(session), model) << command.name << " at " << files.FaultStep();
                if (::testing::Test::HasFailure()) return;
            }
            EXPECT_GT(faults, 0u) << command.name << ": no fault reached it";
        }
    }
    EXPECT_FALSE(session.HasUnsavedChanges());
}

TEST(EditSessionTest, ExitAsksOnlyWithUnsavedChanges) {
    const struct {
        const char* name;
        bool edit;
        std::vector<Answer> answers;
        ExitDecision decision;
        std::size_t asked;
    } cases[] = {
        {"unchanged", false, {}, ExitDecision::Close, 0},
        {"cancel", true, {Answer::Cancel}, ExitDecision::Stay, 1},
        {"no", true, {Answer::No}, ExitDecision::Close, 1},
        {"yes", true, {Answer::Yes}, ExitDecision::Close, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Loaded game;
        if (c.edit) {
            ASSERT_TRUE(game.session.SetInternalName(0, "Apiary"));
        }
        game.port.answers.assign(c.answers.begin(), c.answers.end());
        EXPECT_EQ(game.session.DecideExit(game.port), c.decision);
        EXPECT_EQ(game.port.calls.size(), c.asked);
    }
    // An edit undone is no unsaved change.
    Loaded game;
    ASSERT_TRUE(game.session.SetInternalName(0, "Apiary"));
    ASSERT_TRUE(game.session.Undo());
    EXPECT_EQ(game.session.DecideExit(game.port), ExitDecision::Close);
    EXPECT_TRUE(game.port.calls.empty());
}

TEST(EditSessionTest, EditsOfWhatDoesNotExistChangeNothing) {
    Loaded game;
    EditSession& s = game.session;
    EXPECT_FALSE(s.SetInternalName(99, "x"));
    EXPECT_FALSE(s.SetText(0, CareerTexts::Text::MaleJobName, 10, 0, "x"));  // no texts from level 10 up
    EXPECT_FALSE(s.SetText(0, CareerTexts::Text::CareerName, 0, 15, "x"));   // no menu language 15
    EXPECT_FALSE(s.SetJobLevel(0, 10, JobLevel{}));
    EXPECT_FALSE(s.SetChanceCard(0, 10, {}, "", 0));
    game.session.Context().chanceCardsDisabled = 1;
    EXPECT_FALSE(s.SetChanceCard(0, 0, {}, "", 0));
    EXPECT_FALSE(s.CanUndo());
    EXPECT_FALSE(s.HasUnsavedChanges());
}

// The review, one line per change: "field career/level/language: before -> after".
std::vector<std::string> Lines(const std::vector<ModelChange>& changes) {
    const auto part = [](const auto& value) { return value ? std::to_string(*value) : std::string("-"); };
    std::vector<std::string> lines;
    for (const ModelChange& c : changes) {
        std::string line = c.field + " " + part(c.place.career) + "/" + part(c.place.level) + "/" + part(c.place.language) + ":";
        if (c.kind == ModelChange::Kind::CardItems)
            line += " " + std::to_string(c.itemsBefore.size()) + " -> " + std::to_string(c.itemsAfter.size());
        else if (c.kind == ModelChange::Kind::Icon)
            line += c.iconBefore == c.iconAfter ? " same" : " changed";
        else if (c.kind != ModelChange::Kind::CareerImported && c.kind != ModelChange::Kind::CareersRestored)
            line += " " + c.before + " -> " + c.after;
        lines.push_back(line);
    }
    return lines;
}

// OK in the chance card or icon dialog hands back what the dialog opened with; only a real
// difference is an edit. The cards differ in how they hold their text row, which decides the
// text the dialog shows (and so hands back unchanged).
TEST(EditSessionTest, ADialogConfirmedAsItOpenedIsNoEdit) {
    constexpr std::uint16_t Slot = 3;
    const std::vector<CardItem> extra = {{1, 0, 500}};
    using Prepare = std::function<void(ChanceCard&, CardTexts&)>;
    const Prepare asLoaded = [](ChanceCard&, CardTexts&) {};
    // Without items the card has let its row go, which it may take back.
    const Prepare released = [](ChanceCard& card, CardTexts& texts) {
        card.items.clear();
        texts.SetFree(card.textRow, true);
    };
    // ... unless another card has taken it since: then the card has no text.
    const Prepare taken = [](ChanceCard& card, CardTexts& texts) {
        card.items.clear();
        texts.SetFree(card.textRow, false);
    };
    // Items but no row (none was free when it got them): a text would take one.
    const Prepare rowless = [](ChanceCard& card, CardTexts&) { card.textRow = 0; };
    const struct {
        const char* name;
        Prepare prepare;
        bool showsText;  // the dialog shows the card's text, else an empty field
        bool keepsText;  // confirmed with what the dialog shows, else with more
        bool keepsItems;
        bool edit;
    } cases[] = {
        {"as loaded", asLoaded, true, true, true, false},
        {"as loaded, another text", asLoaded, true, false, true, true},
        {"as loaded, another item", asLoaded, true, true, false, true},
        {"row released", released, true, true, true, false},
        {"row released, another text", released, true, false, true, true},
        {"row taken by another card", taken, false, true, true, false},
        {"items without a row", rowless, false, true, true, false},
        {"items without a row, a text", rowless, false, false, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Loaded game;
        EditSession& s = game.session;
        CareerSet& careers = s.Context().careerSet;
        // The first card with both a text and items.
        std::optional<std::pair<std::uint32_t, std::uint32_t>> found;
        for (std::uint32_t i = 0; i < careers.Count() && !found; ++i)
            for (std::uint32_t k = 0; k < Career::CardCount && !found; ++k)
                if (careers.careers[i].cards[k].textRow != 0 && !careers.careers[i].cards[k].items.empty())
                    found = {i, k};
        ASSERT_TRUE(found);
        const auto [career, level] = *found;
        ChanceCard& card = careers.careers[career].cards[level];
        const std::string shown = c.showsText ? careers.cardTexts.Get(card.textRow, Slot).value_or("") : "";
        c.prepare(card, careers.cardTexts);
        std::vector<CardItem> items = card.items;
        if (!c.keepsItems) items.insert(items.end(), extra.begin(), extra.end());
        const std::string before = Fingerprint(s);

        ASSERT_TRUE(s.SetChanceCard(career, level, items, c.keepsText ? shown : shown + "!", Slot));
        EXPECT_EQ(s.CanUndo(), c.edit);
        EXPECT_EQ(s.HasUnsavedChanges(), c.edit);
        EXPECT_EQ(Fingerprint(s) != before, c.edit);
    }

    // The icons: both as the strips hold them, then one of them changed.
    Loaded game;
    EditSession& s = game.session;
    const std::uint16_t number = s.Careers().careers[6].id;
    Bitmap popup;
    Bitmap button;
    ASSERT_TRUE(s.Context().iconStrips.GetPopupIcon(number, popup));
    ASSERT_TRUE(s.Context().iconStrips.GetButtonIcon(number, button));
    EXPECT_FALSE(s.SetIcons(6, popup, button));
    EXPECT_FALSE(s.CanUndo());
    EXPECT_TRUE(s.ReviewChanges().empty());
    button.SetPixel(3, 4, button.Pixel(3, 4) ^ 0xFFFFFFu);
    EXPECT_TRUE(s.SetIcons(6, popup, button));
    EXPECT_EQ(Lines(s.ReviewChanges()), std::vector<std::string>{"Button Icon 6/-/-: changed"});
}

TEST(EditSessionTest, TheReviewListsWhatDiffersFromTheFilesAsLastLoadedOrSaved) {
    Loaded game;
    EditSession& s = game.session;
    const CareerSet& set = s.Careers();
    EXPECT_TRUE(s.ReviewChanges().empty());
    const auto internal = [](const std::string& bytes) { return DecodeToUtf8(bytes, CodePage::Windows1252); };
    const std::string rawName1 = set.careers[1].track.name;
    const std::string name1 = internal(rawName1);
    const std::string description = DecodeToUtf8(set.careers[2].texts.Get(CareerTexts::Text::JobDescription, 4, 9),
                                                  CodePage::ShiftJis);
    JobLevel job = set.careers[3].track.levels[5];
    const std::int32_t salary = job.values[17];
    const std::string jobName = internal(job.texts[0]);
    std::uint32_t level = 0;
    while (level < Career::CardCount && set.careers[4].cards[level].textRow == 0) ++level;
    ASSERT_LT(level, Career::CardCount) << "a card of career 4 has a text";
    const ChanceCard card = set.careers[4].cards[level];
    const std::string cardText = DecodeToUtf8(set.cardTexts.Get(card.textRow, 3).value_or(""), CodePage::Windows1252);

    ASSERT_TRUE(s.SetInternalName(1, "Apiary"));
    ASSERT_TRUE(s.SetText(2, CareerTexts::Text::JobDescription, 4, 9, "\x93\xFA"));  // 日 in Japanese
    job.values[17] += 100;
    job.texts[0] = "Renamed";
    ASSERT_TRUE(s.SetJobLevel(3, 5, job));
    ASSERT_TRUE(s.SetChanceCard(4, level, {{4, 2, 311}}, "Neu", 3));
    Bitmap popup(84, 63);
    std::fill(popup.pixels.begin(), popup.pixels.end(), 0xFF0000u);
    Bitmap button;
    ASSERT_TRUE(s.Context().iconStrips.GetButtonIcon(set.careers[6].id, button));
    ASSERT_TRUE(s.SetIcons(6, popup, button));  // the button icon as it was
    EXPECT_EQ(Lines(s.ReviewChanges()),
              (std::vector<std::string>{
                  "Internal Career Name 1/-/-: " + name1 + " -> Apiary",
                  "Job Description 2/4/9: " + description + " -> \xE6\x97\xA5",
                  "Salary 3/5/-: " + std::to_string(salary) + " -> " + std::to_string(salary + 100),
                  "Internal Job Name 3/5/-: " + jobName + " -> Renamed",
                  "Chance Card Items 4/" + std::to_string(level) + "/-: " + std::to_string(card.items.size()) + " -> 1",
                  "Chance Card Text 4/" + std::to_string(level) + "/3: " + cardText + " -> Neu",
                  "Popup Icon 6/-/-: changed",
              }));

    // A text typed back as it was is no difference, though it is a step of its own.
    s.EndTyping();
    ASSERT_TRUE(s.SetInternalName(1, rawName1));
    EXPECT_EQ(Lines(s.ReviewChanges()).size(), 6u);
    while (s.Undo()) {
    }
    EXPECT_TRUE(s.ReviewChanges().empty());

    // An import says so first; after a save there is nothing to review, and an undo past the
    // save shows the saved state as the one before, without the import.
    const std::string name0 = internal(set.careers[0].track.name);
    const std::string name7 = internal(set.careers[7].track.name);
    ASSERT_NE(name0, name7);
    const std::filesystem::path track = game.folder.state.Path() / "track.iff";
    ASSERT_TRUE(ExportCareerToFile(track, 7, set, s.Context().iconStrips, game.port));
    game.port.files = {track};
    game.port.careers = {0};
    ASSERT_EQ(s.Import(game.port).outcome, ImportResult::Outcome::CareerReplaced);
    const std::vector<std::string> imported = Lines(s.ReviewChanges());
    ASSERT_GE(imported.size(), 2u);
    EXPECT_EQ(imported[0], "Career Imported 0/-/-:");
    EXPECT_EQ(imported[1], "Internal Career Name 0/-/-: " + name0 + " -> " + name7);
    ASSERT_TRUE(s.Save(game.port, [&] { return game.Reload(); }).saved);
    EXPECT_TRUE(s.ReviewChanges().empty());
    ASSERT_TRUE(s.Undo());
    const std::vector<std::string> undone = Lines(s.ReviewChanges());
    ASSERT_FALSE(undone.empty());
    EXPECT_EQ(undone[0], "Internal Career Name 0/-/-: " + name7 + " -> " + name0);
}

// Card texts are named as a person meets them, by their career, level and card: the row a card
// keeps its text in is no difference of its own while the card's texts or items show one.
TEST(EditSessionTest, TheReviewNamesCardTextsByTheirCardsNotByTheirRows) {
    const CareerSet sample = BuildSampleCareerData(1).careers;
    ASSERT_EQ(sample.careers[1].cards[0].textRow, 9);
    ASSERT_EQ(sample.careers[2].cards[0].textRow, 17);
    ASSERT_EQ(sample.careers[0].cards[4].textRow, 0);
    ASSERT_EQ(sample.cardTexts.table.RowCount(), 80u);  // text row 81 is past the table
    const auto nothing = [](CareerSet&) {};
    const struct {
        const char* what;
        std::function<void(CareerSet&)> both;  // before and after
        std::function<void(CareerSet&)> after;
        std::vector<std::string> lines;
    } cases[] = {
        {"a card given items and a text in a new row", nothing,
         [](CareerSet& s) {
             s.careers[0].cards[4] = {81, {{4, 2, 311}}};
             s.cardTexts.Set(81, 0, "Buzz");
         },
         {"Chance Card Items 0/4/-: 0 -> 1", "Chance Card Text 0/4/0:  -> Buzz"}},
        {"a card given an empty row", nothing, [](CareerSet& s) { s.careers[0].cards[4].textRow = 81; },
         {"Chance Card Text 0/4/-: (no text) -> card text row 81"}},
        {"a card moved to the same text in another card's row",
         [](CareerSet& s) {
             for (std::uint16_t slot = 0; slot < StringTable::SlotCount; ++slot)
                 s.cardTexts.Set(9, slot, s.cardTexts.Get(17, slot).value_or(""));
         },
         [](CareerSet& s) { s.careers[1].cards[0].textRow = 17; },
         {"Chance Card Text 1/0/-: card text row 9 -> the text shared with #3 Lighthouse, level #0"}},
        {"a text no card shows", nothing, [](CareerSet& s) { s.cardTexts.Set(81, 2, "Spare"); },
         {"Chance Card Text (unused card text row 81) -/-/2:  -> Spare"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CareerSet before = sample;
        c.both(before);
        CareerSet after = before;
        c.after(after);
        const IconStrips icons;
        EXPECT_EQ(Lines(ListChanges(ModelSnapshot{before.careers, before.cardTexts, icons}, after, icons)), c.lines);
    }
}

TEST(EditSessionTest, SetAllConvertsIntoEachLanguageAndSaysOnceWhichLostCharacters) {
    Loaded game;
    EditSession& s = game.session;
    CareerTexts& texts = s.Context().careerSet.careers[5].texts;
    for (std::uint16_t row = 0; row < CareerTexts::RowCount; ++row) ASSERT_TRUE(texts.SetRow(row, 9, "abc"));
    ASSERT_TRUE(texts.Set(CareerTexts::Text::CareerName, 0, 9, "\x93\xFA\x96\x7B"));  // 日本 in Japanese
    game.port.answers = {Answer::Yes, Answer::No};
    ASSERT_TRUE(s.SetAllLanguages(game.port, 5, 9));
    EXPECT_EQ(game.port.Shown(),
              (std::vector<std::string>{
                  "Warning: Do you really want to set the texts of all other languages to the current language?",
                  "trackwright: Do you want to set the texts of the Chance Cards as well?",
                  "Warning: Some characters have no place in the code page of these languages and became \"?\": "
                  "USEnglish, UKEnglish, French, German, Italian, Spanish, Dutch, Swedish, Portuguese, Polish, Thai."}));
    const std::pair<std::uint16_t, const char*> expected[] = {
        {0, "??"}, {10, "??"}, {11, "\xA4\xE9\xA5\xBB"}, {12, "\xC8\xD5\xB1\xBE"}, {14, "\xEC\xED\xDC\xE2"}};
    for (const auto& [slot, bytes] : expected)
        EXPECT_EQ(texts.Get(CareerTexts::Text::CareerName, 0, slot), bytes) << slot;
    EXPECT_EQ(texts.Get(CareerTexts::Text::MaleOffer, 0, 13), "abc");
    EXPECT_EQ(texts.Get(CareerTexts::Text::MaleOffer, 0, 15), "") << "slot 15 is no target";

    // A copy that every language holds says nothing more.
    ASSERT_TRUE(texts.Set(CareerTexts::Text::CareerName, 0, 9, "abc"));
    game.port.calls.clear();
    game.port.answers = {Answer::Yes, Answer::No};
    ASSERT_TRUE(s.SetAllLanguages(game.port, 5, 9));
    EXPECT_EQ(game.port.calls.size(), 2u);
}

// The texts of a table's languages without a slot, as (code, row, value, comment).
std::vector<std::tuple<int, std::uint16_t, std::string, std::string>> OtherLanguages(const StringTable& table) {
    std::vector<std::tuple<int, std::uint16_t, std::string, std::string>> texts;
    for (int code : {8, 10, 11, 12, 13}) {
        const auto c = static_cast<std::uint8_t>(code);
        for (std::uint16_t row = 0; row < table.UnslottedRowCount(c); ++row) {
            std::string value, comment;
            table.GetUnslottedText(c, row, StringTable::Value, value);
            table.GetUnslottedText(c, row, StringTable::Comment, comment);
            texts.emplace_back(code, row, value, comment);
        }
    }
    return texts;
}

TEST(EditSessionTest, LanguagesWithoutASlotSurviveEveryEditAndSaveAndTravelWithImports) {
    Loaded game;
    EditSession& s = game.session;
    auto save = [&] { ASSERT_TRUE(s.Save(game.port, [&] { return game.Reload(); }).saved); };
    auto table = [&](std::uint32_t career) -> const StringTable& { return s.Careers().careers[career].texts.table; };

    // Career 0's file holds two such languages: code 8 shorter than the table, 11 longer.
    {
        StringTable& texts = s.Context().careerSet.careers[0].texts.table;
        std::vector<std::uint8_t> bytes;
        ASSERT_TRUE(texts.Encode(bytes));
        std::uint16_t count = LoadU16Le(bytes.data() + 2);
        auto entry = [&](std::uint8_t code, const std::string& value, const std::string& comment) {
            bytes.push_back(code);
            bytes.insert(bytes.end(), value.begin(), value.end());
            bytes.push_back(0);
            bytes.insert(bytes.end(), comment.begin(), comment.end());
            bytes.push_back(0);
            ++count;
        };
        entry(8, "Imkerei?", "code 8");
        for (int row = 0; row < 35; ++row) entry(11, row % 4 == 0 ? "row " + std::to_string(row) : "", "");
        StoreU16Le(bytes.data() + 2, count);
        ASSERT_TRUE(texts.Decode(bytes));
    }
    save();
    const auto kept = OtherLanguages(table(0));
    ASSERT_EQ(kept.size(), 36u);

    // A text in slot 0, Set All with the card texts, and an `apply` of changed texts.
    ASSERT_TRUE(s.SetText(0, CareerTexts::Text::CareerName, 0, 0, "Bees"));
    game.port.answers = {Answer::Yes, Answer::Yes};
    ASSERT_TRUE(s.SetAllLanguages(game.port, 0, 0));
    cli::DumpInput input;
    input.careers = &s.Careers();
    input.icons = &s.Context().iconStrips;
    std::string json = cli::DumpJson(input);
    const std::string bees = "\"value\": \"Bees\"";
    const std::size_t at = json.find(bees);
    ASSERT_NE(at, std::string::npos);
    json.replace(at, bees.size(), "\"value\": \"Honey bees\"");
    const Expected<JsonValue> document = ParseJson(json);
    ASSERT_TRUE(document) << document.Reason();
    ASSERT_TRUE(s.ApplyDocument(*document, DocumentTexts::Bytes).empty());
    EXPECT_EQ(s.Careers().careers[0].texts.Get(CareerTexts::Text::CareerName, 0, 0), "Honey bees");
    EXPECT_EQ(OtherLanguages(table(0)), kept);
    save();
    EXPECT_EQ(OtherLanguages(table(0)), kept);
    EXPECT_EQ(s.Careers().careers[0].texts.Get(CareerTexts::Text::CareerName, 0, 3), "Bees");

    // An import brings the file's own, and takes back what was there when undone.
    const std::filesystem::path track = game.folder.state.Path() / "track.iff";
    ASSERT_TRUE(ExportCareerToFile(track, 0, s.Careers(), s.Context().iconStrips, game.port));
    game.port.files = {track};
    game.port.careers = {1};
    ASSERT_EQ(s.Import(game.port).outcome, ImportResult::Outcome::CareerReplaced);
    EXPECT_EQ(OtherLanguages(table(1)), kept);
    ASSERT_TRUE(s.Undo());
    EXPECT_TRUE(OtherLanguages(table(1)).empty());
    ASSERT_TRUE(s.Redo());
    save();
    EXPECT_EQ(OtherLanguages(table(1)), kept);
    // and an import of a career without them leaves none.
    ASSERT_TRUE(ExportCareerToFile(track, 2, s.Careers(), s.Context().iconStrips, game.port));
    game.port.files = {track};
    game.port.careers = {0};
    ASSERT_EQ(s.Import(game.port).outcome, ImportResult::Outcome::CareerReplaced);
    EXPECT_TRUE(OtherLanguages(table(0)).empty());
}

}  // namespace
}  // namespace tw
