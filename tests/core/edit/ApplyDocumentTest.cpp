#include "edit/ApplyDocument.h"

#include "cli/ModelDump.h"
#include "edit/EditSession.h"
#include "icons/IconStrips.h"
#include "sample/SampleCareerData.h"
#include "text/TextCodec.h"
#include "util/JsonReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

void PrintTo(const JsonProblem& problem, std::ostream* out) { *out << problem.path << ": " << problem.reason; }

namespace {

JsonValue Parse(const std::string& json) {
    const Expected<JsonValue> value = ParseJson(json);
    EXPECT_TRUE(value) << json << ": " << value.Reason();
    return value.ValueOr(JsonValue());
}

// One change to a document at a JavaScript path ("careers[1].levels[2].values[18]"): the value
// set to `json` (a member or item added when missing), removed when `json` is empty, or, with
// `repeat`, the member given a second time.
struct Edit {
    std::string path;
    std::string json;
    bool repeat = false;
};

JsonValue Edited(const JsonValue& value, std::string_view path, const Edit& edit) {
    const bool byIndex = path.front() == '[';
    const std::size_t end = byIndex ? path.find(']') + 1 : path.find_first_of(".[");
    const std::string step(byIndex ? path.substr(1, end - 2) : path.substr(0, end));
    std::string_view rest = end == std::string_view::npos ? std::string_view() : path.substr(end);
    if (!rest.empty() && rest.front() == '.') rest.remove_prefix(1);
    auto replaced = [&](const JsonValue& inner) { return rest.empty() ? Parse(edit.json) : Edited(inner, rest, edit); };

    if (byIndex) {
        std::vector<JsonValue> items = value.Items();
        const std::size_t index = std::stoul(step);
        if (index == items.size()) items.push_back(Parse(edit.json));
        else if (rest.empty() && edit.json.empty()) items.erase(items.begin() + static_cast<std::ptrdiff_t>(index));
        else items[index] = replaced(items[index]);
        return JsonValue::Array(std::move(items));
    }
    std::vector<JsonMember> members;
    bool found = false;
    for (const JsonMember& member : value.Members()) {
        if (member.key != step || found) {
            members.push_back(member);
            continue;
        }
        found = true;
        if (edit.repeat && rest.empty()) members.push_back(member);
        if (!rest.empty() || !edit.json.empty()) members.push_back({member.key, replaced(member.value)});
    }
    if (!found) members.push_back({step, Parse(edit.json)});
    return JsonValue::Object(std::move(members));
}

class ApplyDocumentTest : public ::testing::Test {
protected:
    void SetUp() override { UseCareers(false); }

    // The sample careers, with their free text rows as a load finds them, or with chance-card
    // editing off.
    void UseCareers(bool cardsDisabled) {
        session.Load([cardsDisabled](GameContext& context) {
            context.careerSet = BuildSampleCareerData(1).careers;
            context.chanceCardsDisabled = cardsDisabled ? 1 : 0;
            CardTexts& texts = context.careerSet.cardTexts;
            texts.FreeAll();
            for (const Career& career : context.careerSet.careers)
                for (const ChanceCard& card : career.cards) texts.SetFree(card.textRow, false);
            if (cardsDisabled) context.careerSet.ClearCards();
            return LoadRequest::Loaded;
        });
    }
    std::string Dump(DocumentTexts texts = DocumentTexts::Bytes) {
        cli::DumpInput input;
        input.chanceCardsDisabled = session.ChanceCardsDisabled();
        input.careers = &session.Careers();
        input.icons = &icons;
        input.utf8 = texts == DocumentTexts::Utf8;
        return cli::DumpJson(input);
    }
    std::vector<JsonProblem> Apply(const std::vector<Edit>& edits, DocumentTexts texts = DocumentTexts::Bytes) {
        JsonValue document = Parse(Dump(texts));
        for (const Edit& edit : edits) document = Edited(document, edit.path, edit);
        return session.ApplyDocument(document, texts);
    }
    const Career& CareerAt(std::uint32_t index) { return session.Careers().careers[index]; }
    static std::string Text(const StringTable& table, std::uint16_t row, std::uint16_t slot) {
        std::string text;
        table.GetText(row, slot, StringTable::Value, text);
        return text;
    }

    EditSession session;
    IconStrips icons;
};

TEST_F(ApplyDocumentTest, AnUnchangedDumpChangesNothingInEitherTextForm) {
    for (DocumentTexts texts : {DocumentTexts::Bytes, DocumentTexts::Utf8}) {
        EXPECT_EQ(Apply({}, texts), std::vector<JsonProblem>{});
        EXPECT_FALSE(session.CanUndo());
    }
    // Key order is free.
    std::vector<JsonMember> members = Parse(Dump()).Members();
    std::reverse(members.begin(), members.end());
    EXPECT_EQ(session.ApplyDocument(JsonValue::Object(members), DocumentTexts::Bytes), std::vector<JsonProblem>{});
    EXPECT_EQ(session.ApplyDocument(Parse("[]"), DocumentTexts::Bytes),
              (std::vector<JsonProblem>{{"", "not an object"}}));
    EXPECT_FALSE(session.CanUndo());
}

struct ChangeCase {
    const char* what;
    std::vector<Edit> edits;
    std::function<bool(const CareerSet&)> holds;
};

TEST_F(ApplyDocumentTest, EachKindOfChangeIsOneUndoableStep) {
    const std::string before = Dump();
    const ChangeCase cases[] = {
        {"salary", {{"careers[0].levels[2].values[17]", "999"}},
         [](const CareerSet& s) { return s.careers[0].track.levels[2].values[17] == 999; }},
        {"an unchecked value", {{"careers[0].levels[2].values[7]", "-99"}},
         [](const CareerSet& s) { return s.careers[0].track.levels[2].values[7] == -99; }},
        // The level below is the document's: raising both levels keeps them in order.
        {"requirements of three levels",
         {{"careers[0].levels[1].values[4]", "250"}, {"careers[0].levels[2].values[4]", "250"},
          {"careers[0].levels[3].values[4]", "250"}},
         [](const CareerSet& s) { return s.careers[0].track.levels[3].values[4] == 250; }},
        // As in the job details dialog, no change makes the unchanged level above wrong.
        {"a requirement past the unchanged level above", {{"careers[0].levels[1].values[4]", "999"}},
         [](const CareerSet& s) { return s.careers[0].track.levels[1].values[4] == 999; }},
        {"a job text", {{"careers[0].levels[0].texts[4]", "\"hat-\\u00e9\""}},
         [](const CareerSet& s) { return s.careers[0].track.levels[0].texts[4] == "hat-\xE9"; }},
        {"the internal name", {{"careers[3].name", "\"Clocks\""}},
         [](const CareerSet& s) { return s.careers[3].track.name == "Clocks"; }},
        {"a string", {{"careers[0].strings.entries[0].value", "\"Apiary\""}},
         [](const CareerSet& s) {
             std::string text;
             return s.careers[0].texts.table.GetText(0, 0, StringTable::Value, text) && text == "Apiary";
         }},
        {"a string left out is empty", {{"careers[0].strings.entries[0]", ""}},
         [](const CareerSet& s) { return s.careers[0].texts.Get(CareerTexts::Text::CareerName, 0, 0).empty(); }},
        {"grown rows",
         {{"careers[0].strings.rows", "35"},
          {"careers[0].strings.entries[198]", "{\"row\": 34, \"slot\": 2, \"value\": \"v\", \"comment\": \"c\"}"}},
         [](const CareerSet& s) {
             std::string comment;
             const StringTable& table = s.careers[0].texts.table;
             return table.RowCount() == 35 && table.GetText(34, 2, StringTable::Comment, comment) && comment == "c";
         }},
        {"a card's text row and items",
         {{"careers[0].cards[4].textRow", "81"}, {"careers[0].cards[4].items", "[[4, 2, 311], [1, 1, 50]]"},
          {"freeCardTextRows[0]", ""}},
         [](const CareerSet& s) {
             const ChanceCard& card = s.careers[0].cards[4];
             return card.textRow == 81 && card.items == std::vector<CardItem>{{4, 2, 311}, {1, 1, 50}} &&
                    !s.cardTexts.IsFree(81);
         }},
        {"a card text", {{"cardTexts.entries[0].value", "\"Buzz\""}},
         [](const CareerSet& s) { return s.cardTexts.Get(1, 0) == "Buzz"; }},
    };
    for (const ChangeCase& change : cases) {
        SCOPED_TRACE(change.what);
        EXPECT_EQ(Apply(change.edits), std::vector<JsonProblem>{});
        EXPECT_TRUE(change.holds(session.Careers()));
        EXPECT_EQ(session.UndoName(), "Apply");
        EXPECT_TRUE(session.HasUnsavedChanges());
        session.Undo();
        EXPECT_EQ(Dump(), before);
    }
}

struct RefusalCase {
    std::vector<Edit> edits;
    std::vector<JsonProblem> problems;
    DocumentTexts texts = DocumentTexts::Bytes;
    bool cardsDisabled = false;
};

TEST_F(ApplyDocumentTest, EveryProblemIsFoundAtItsPlaceAndNothingChanges) {
    const std::string notByte = "holds U+0100, but a byte-string text holds only U+0001 to U+00FF";
    const std::string locked = "chance-card editing is disabled";
    const RefusalCase cases[] = {
        // The document's shape and its strict reading.
        {{{"comment", "1"}, {"careers[0].name", "\"x\"", true}, {"careers[2].strings", ""}},
         {{"comment", "unknown key"}, {"careers[0].name", "duplicate key"}, {"careers[2].strings", "missing"}}},
        {{{"careers[9]", ""}}, {{"careers", "the game has 10 careers, the document 9"}}},
        {{{"careers[2].id", "9"}}, {{"careers[2].id", "the career at this place has id 3"}}},
        {{{"careers[2].index", "1"}}, {{"careers[2].index", "must be 2, the career's place"}}},
        {{{"careers[0].levels[9]", ""}}, {{"careers[0].levels", "the career has 10 levels, the document 9"}}},
        {{{"careers[0].levels[0].values[20]", ""}}, {{"careers[0].levels[0].values", "21 values expected"}}},
        {{{"careers[0].levels[0].values[1]", "1.0"}, {"careers[0].levels[0].values[2]", "\"5\""},
          {"careers[0].levels[0].values[3]", "2147483648"}, {"careers[0].levels[0].texts[0]", "7"}},
         {{"careers[0].levels[0].values[1]", "not an integer"},
          {"careers[0].levels[0].values[2]", "not an integer"},
          {"careers[0].levels[0].values[3]", "not a signed 32-bit integer"},
          {"careers[0].levels[0].texts[0]", "not a string"}}},
        {{{"careers[0].cards[3].level", "4"}}, {{"careers[0].cards[3].level", "must be 3, the card's place"}}},
        // The job details dialog's ranges, each changed level against the document's level below
        // only; a level below that already needs more than the maximum says so.
        {{{"careers[1].levels[2].values[18]", "24"}, {"careers[1].levels[2].values[10]", "101"},
          {"careers[1].levels[2].values[20]", "9"}, {"careers[1].levels[2].values[17]", "-1"},
          {"careers[1].levels[0].values[0]", "26"}, {"careers[1].levels[1].values[0]", "20"},
          {"careers[0].levels[1].values[4]", "250"}, {"careers[0].levels[2].values[4]", "249"}},
         {{"careers[0].levels[2].values[4]", "must be between 250 (the level below's) and 1000"},
          {"careers[1].levels[0].values[0]", "must be between 0 and 25"},
          {"careers[1].levels[1].values[0]", "must be at most 25; the level below already needs 26"},
          {"careers[1].levels[2].values[10]", "must be between -100 and 100"},
          {"careers[1].levels[2].values[17]", "must not be negative"},
          {"careers[1].levels[2].values[18]", "must be between 0 and 23"},
          {"careers[1].levels[2].values[20]", "must be between 0 and 8"}}},
        // Texts.
        {{{"careers[0].name", "\"\\u0100\""}, {"careers[0].strings.entries[1].comment", "\"a\\u0000b\""}},
         {{"careers[0].name", notByte}, {"careers[0].strings.entries[1].comment", "holds U+0000, which no text can hold"}}},
        {{{"careers[0].strings.entries[5].value", "\"caf\\u00e9\""}},
         {{"careers[0].strings.entries[5].value", "holds U+00E9, which code page 932 cannot hold"}},
         DocumentTexts::Utf8},
        // String tables.
        {{{"careers[0].strings.rows", "20"}, {"cardTexts.rows", "65536"}},
         {{"careers[0].strings.rows", "a table cannot lose rows: it has 33"}, {"cardTexts.rows", "not 0 to 65535"}}},
        {{{"careers[0].strings.entries[0].row", "33"}, {"careers[0].strings.entries[1].slot", "16"},
          {"careers[0].strings.entries[3].slot", "2"}},
         {{"careers[0].strings.entries[0].row", "not below the table's 33 rows"},
          {"careers[0].strings.entries[1].slot", "not 0 to 15"},
          {"careers[0].strings.entries[3]", "row 0, slot 2 is already in careers[0].strings.entries[2]"}}},
        // Cards: the item dialog's checks, text rows used twice or free.
        {{{"careers[0].cards[0].items[1]", "[1, 0, 70000]"}, {"careers[0].cards[1].items[3]", "[4, 2, 311]"},
          {"careers[0].cards[2].items[0]", "[1, 0]"}, {"careers[0].cards[3].items[0][2]", "-1"}},
         {{"careers[0].cards[0].items[1]", "the amount is not 0 to 65535"},
          {"careers[0].cards[1].items", "You must have exactly one sound item!"},
          {"careers[0].cards[2].items[0]", "[kind, parameter, value] expected"},
          {"careers[0].cards[3].items[0][2]", "not an unsigned 32-bit integer"}}},
        {{{"careers[0].cards[0].textRow", "2"}, {"careers[0].cards[4].textRow", "301"},
          {"careers[0].cards[9].textRow", "81"}, {"freeCardTextRows[220]", "7"}},
         {{"careers[0].cards[4].textRow", "must be 0 (no text) or 1 to 300"},
          {"careers[0].cards[1].textRow", "text row 2 is already the text row of careers[0].cards[0]"},
          {"freeCardTextRows[220]", "row 7 is the text row of careers[0].cards[7]"},
          {"freeCardTextRows[0]", "row 81 is the text row of careers[0].cards[9]"}}},
        {{{"freeCardTextRows[0]", "0"}, {"freeCardTextRows[1]", "300"}},
         {{"freeCardTextRows[0]", "must be 1 to 300"},
          {"freeCardTextRows[219]", "row 300 is already in freeCardTextRows[1]"}}},
        // With chance-card editing off, the cards stay as the dump shows them.
        {{{"careers[0].cards[0].textRow", "1"}, {"careers[0].cards[1].items", "[[4, 2, 312]]"},
          {"cardTexts.rows", "1"}, {"freeCardTextRows", "[5]"}},
         {{"careers[0].cards[0].textRow", locked}, {"careers[0].cards[1].items", locked},
          {"cardTexts.rows", locked}, {"freeCardTextRows[0]", locked}},
         DocumentTexts::Bytes, true},
    };
    for (const RefusalCase& refusal : cases) {
        UseCareers(refusal.cardsDisabled);
        const std::string before = Dump();
        SCOPED_TRACE(refusal.edits[0].path);
        EXPECT_EQ(Apply(refusal.edits, refusal.texts), refusal.problems);
        EXPECT_FALSE(session.CanUndo());
        EXPECT_EQ(Dump(), before);
    }
}

TEST_F(ApplyDocumentTest, Utf8TextsKeepTheirBytesUnlessChangedAndAreEncodedInTheirSlotsCodePage) {
    // An unchanged text keeps its bytes, also one that does not decode (0x81 is no Windows-1252
    // character).
    session.Context().careerSet.careers[0].track.name = "Bee\x81";
    const std::vector<Edit> edits = {{"careers[0].strings.entries[5].value", "\"\\u30df\\u30c4\\u30d0\\u30c1\""},
                                     {"careers[0].strings.entries[2].value", "\"Apiculture \\u00e9t\\u00e9\""}};
    EXPECT_EQ(Apply(edits, DocumentTexts::Utf8), std::vector<JsonProblem>{});
    const StringTable& table = CareerAt(0).texts.table;
    EXPECT_EQ(Text(table, 0, 9), "\x83~\x83" "c\x83o\x83`");  // ミツバチ in Shift_JIS
    EXPECT_EQ(Text(table, 0, 2), "Apiculture \xE9t\xE9");
    EXPECT_EQ(CareerAt(0).track.name, "Bee\x81");
}

struct CopyCase {
    const char* what;
    std::vector<Edit> edits;
    std::vector<JsonProblem> warnings;
    DocumentTexts texts = DocumentTexts::Bytes;
};

// Bytes copied between slots whose code pages read them differently show other characters in
// the game (a Western name's "\xE4" starts a double-byte character in Japanese): a document of
// byte strings that does so is warned about, one line per table row.
TEST_F(ApplyDocumentTest, ChangedTextsCopiedAsBytesBetweenCodePagesAreWarnedAbout) {
    const std::string asCharacters =
        ", which their code pages read as other characters (dump --utf8 and apply --utf8 copy texts between languages "
        "as characters)";
    const std::string tip = "A visitor admires your Beekeeping work and leaves a tip of \xC2\xA7" "100.";
    // Career 3's name: German "B\xE4ckerei" (entry 3), Spanish (entry 4), Japanese (entry 5).
    const CopyCase cases[] = {
        {"German bytes into Japanese",
         {{"careers[3].strings.entries[5].value", "\"B\\u00e4ckerei\""}},
         {{"careers[3].strings", "row 0: Japanese holds the bytes of the German text \"B\xC3\xA4" "ckerei\"" +
                                     asCharacters}}},
        // The unchanged German is the source, not the other copy.
        {"into Japanese and Korean, in one line",
         {{"careers[3].strings.entries[5].value", "\"B\\u00e4ckerei\""},
          {"careers[3].strings.entries[4]",
           "{\"row\": 0, \"slot\": 14, \"value\": \"B\\u00e4ckerei\", \"comment\": \"\"}"}},
         {{"careers[3].strings", "row 0: Japanese and Korean hold the bytes of the German text \"B\xC3\xA4" "ckerei\"" +
                                     asCharacters}}},
        // USEnglish reads the German bytes as German does.
        {"German bytes into USEnglish and Japanese",
         {{"careers[3].strings.entries[0].value", "\"B\\u00e4ckerei\""},
          {"careers[3].strings.entries[5].value", "\"B\\u00e4ckerei\""}},
         {{"careers[3].strings", "row 0: Japanese holds the bytes of the German text \"B\xC3\xA4" "ckerei\"" +
                                     asCharacters}}},
        // Where every holder changed, the first is taken for the source.
        {"new bytes in USEnglish and Japanese",
         {{"careers[3].strings.entries[0].value", "\"Caf\\u00e9\""},
          {"careers[3].strings.entries[5].value", "\"Caf\\u00e9\""}},
         {{"careers[3].strings", "row 0: Japanese holds the bytes of the USEnglish text \"Caf\xC3\xA9\"" +
                                     asCharacters}}},
        {"a card text into Japanese",
         {{"cardTexts.entries[5].value",
           "\"A visitor admires your Beekeeping work and leaves a tip of \\u00a7" "100.\""}},
         {{"cardTexts", "row 0: Japanese holds the bytes of the USEnglish text \"" + tip + "\"" + asCharacters}}},
        {"into French, of the same code page", {{"careers[3].strings.entries[2].value", "\"B\\u00e4ckerei\""}}, {}},
        {"ASCII, which every code page reads alike", {{"careers[3].strings.entries[5].value", "\"Baking\""}}, {}},
        // The Japanese characters that the German bytes stand for, written as characters.
        {"characters of a UTF-8 document",
         {{"careers[3].strings.entries[5].value",
           "\"" + DecodeToUtf8("B\xE4" "ckerei", CodePage::ShiftJis) + "\""}},
         {},
         DocumentTexts::Utf8},
    };
    for (const CopyCase& copy : cases) {
        SCOPED_TRACE(copy.what);
        JsonValue document = Parse(Dump(copy.texts));
        for (const Edit& edit : copy.edits) document = Edited(document, edit.path, edit);
        const DocumentReading reading = ReadDocument(session.Careers(), false, document, copy.texts);
        EXPECT_EQ(reading.problems, std::vector<JsonProblem>{});
        EXPECT_TRUE(reading.changed);
        EXPECT_EQ(reading.warnings, copy.warnings);
    }

    // A copy the game already holds is no change of the document's: another text of its row
    // changed says nothing.
    std::string german;
    session.Context().careerSet.careers[3].texts.table.GetText(0, 3, StringTable::Value, german);
    session.Context().careerSet.careers[3].texts.table.SetText(0, 9, StringTable::Value, german);
    JsonValue document = Edited(Parse(Dump()), "careers[3].strings.entries[2].value", {"", "\"Boulange\""});
    EXPECT_EQ(ReadDocument(session.Careers(), false, document, DocumentTexts::Bytes).warnings,
              std::vector<JsonProblem>{});
}

}  // namespace
}  // namespace tw
