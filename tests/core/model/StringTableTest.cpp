#include "model/StringTable.h"

#include "core/model/ModelFixtures.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

namespace tw {
namespace {

using test::Encoded;
using test::Group;
using test::LanguageTableBytes;
using test::ToBytes;

std::vector<std::pair<std::string, std::string>> Rows(std::size_t count, const std::string& prefix) {
    std::vector<std::pair<std::string, std::string>> rows;
    for (std::size_t i = 0; i < count; ++i) rows.emplace_back(prefix + std::to_string(i), i % 3 == 0 ? "c" : "");
    return rows;
}

std::string Text(const StringTable& table, std::uint16_t row, std::uint16_t slot, int which = StringTable::Value) {
    std::string text = "<none>";
    table.GetText(row, slot, which, text);
    return text;
}

bool Decode(StringTable& table, const std::vector<std::uint8_t>& bytes) {
    MemoryStream stream(bytes);
    return table.LoadFromStream(stream);
}

TEST(StringTableTest, SlotsAndCodesMapBothWays) {
    const std::uint8_t codes[16] = {1, 2, 3, 4, 5, 6, 7, 9, 14, 15, 16, 17, 18, 19, 20, 21};
    for (std::uint16_t slot = 0; slot < 16; ++slot) {
        EXPECT_EQ(StringTable::SlotToCode(slot), codes[slot]);
        EXPECT_EQ(StringTable::CodeToSlot(codes[slot]), slot);
    }
    for (int code : {0, 8, 10, 11, 12, 13, 22, 255}) EXPECT_EQ(StringTable::CodeToSlot(static_cast<std::uint8_t>(code)), -1);
}

TEST(StringTableTest, LanguageGroupsShareRowsAndWriteBackInSlotOrder) {
    // Written with French first: the groups come back in slot order, USEnglish first.
    const auto french = Group{3, Rows(33, "fr")};
    const auto english = Group{1, Rows(33, "en")};
    StringTable table;
    ASSERT_TRUE(Decode(table, LanguageTableBytes({french, english})));
    EXPECT_EQ(table.RowCount(), 33u);
    EXPECT_EQ(Text(table, 32, 0), "en32");
    EXPECT_EQ(Text(table, 5, 2), "fr5");
    EXPECT_EQ(Text(table, 3, 2, StringTable::Comment), "c");
    EXPECT_EQ(Text(table, 5, 1), "");
    const std::vector<std::uint8_t> written = Encoded(table);
    EXPECT_EQ(written, LanguageTableBytes({english, french}));
    EXPECT_EQ(written[2], 66);
}

TEST(StringTableTest, OnlySlotsWithSomeTextGetAGroup) {
    StringTable table;
    for (std::uint16_t row = 0; row < 33; ++row) table.SetText(row, 0, StringTable::Value, "x");
    table.SetText(4, 15, StringTable::Comment, "only a comment");
    table.SetText(7, 9, StringTable::Value, "");  // set, but empty
    const std::vector<std::uint8_t> written = Encoded(table);
    std::vector<std::pair<std::string, std::string>> korean(33);
    korean[4].second = "only a comment";
    EXPECT_EQ(written, LanguageTableBytes({Group{1, std::vector(33, std::pair<std::string, std::string>{"x", ""})},
                                           Group{21, korean}}));
}

TEST(StringTableTest, TableWithoutRowsIsFourBytes) {
    StringTable table;
    EXPECT_EQ(Encoded(table), (std::vector<std::uint8_t>{0xFD, 0xFF, 0x00, 0x00}));
    // Rows whose texts are all empty are not written either.
    table.SetText(0, 0, StringTable::Value, "");
    EXPECT_EQ(Encoded(table), (std::vector<std::uint8_t>{0xFD, 0xFF, 0x00, 0x00}));
}

TEST(StringTableTest, EachFormatRoundTrips) {
    const struct {
        const char* what;
        std::vector<std::uint8_t> bytes;
        bool lengthPrefixed, hasLanguage, hasComment;
    } cases[] = {
        {"values", {0xFF, 0xFF, 2, 0, 'a', 0, 'b', 'c', 0}, false, false, false},
        {"values and comments", {0xFE, 0xFF, 2, 0, 'a', 0, 'x', 0, 0, 'y', 0}, false, false, true},
        {"languages", {0xFD, 0xFF, 1, 0, 9, 's', 'v', 0, 0}, false, true, true},
        {"length-prefixed", {0x00, 0x03, 1, 'a', 0, 2, 'b', 'c'}, true, false, false},
    };
    for (const auto& c : cases) {
        StringTable table;
        ASSERT_TRUE(Decode(table, c.bytes)) << c.what;
        EXPECT_EQ(table.lengthPrefixed, c.lengthPrefixed) << c.what;
        EXPECT_EQ(table.hasLanguage, c.hasLanguage) << c.what;
        EXPECT_EQ(table.hasComment, c.hasComment) << c.what;
        EXPECT_EQ(Encoded(table), c.bytes) << c.what;
    }
}

TEST(StringTableTest, FormatsFillTheExpectedSlots) {
    StringTable values;
    ASSERT_TRUE(Decode(values, {0xFF, 0xFF, 2, 0, 'a', 0, 'b', 'c', 0}));
    EXPECT_EQ(values.RowCount(), 2u);
    EXPECT_EQ(Text(values, 1, 0), "bc");
    EXPECT_EQ(Text(values, 1, 0, StringTable::Comment), "");

    StringTable lengths;
    ASSERT_TRUE(Decode(lengths, {0x00, 0x03, 3, 'a', 0, 'z', 0, 2, 'b', 'c'}));
    EXPECT_EQ(lengths.RowCount(), 3u);
    EXPECT_EQ(Text(lengths, 0, 0), "a");  // the NUL inside the counted bytes ends the text
    EXPECT_EQ(Text(lengths, 1, 0), "");
    EXPECT_EQ(Text(lengths, 2, 0), "bc");

    StringTable swedish;
    ASSERT_TRUE(Decode(swedish, LanguageTableBytes({Group{9, {{"sv", ""}}}, Group{14, {{"pt", ""}}}})));
    EXPECT_EQ(Text(swedish, 0, 7), "sv");
    EXPECT_EQ(Text(swedish, 0, 8), "pt");
}

TEST(StringTableTest, LongValueIsCutTo255BytesInLengthPrefixedFormat) {
    StringTable table;
    ASSERT_TRUE(Decode(table, {0x00, 0x01, 1, 'a'}));
    table.SetText(0, 0, StringTable::Value, std::string(300, 'q'));
    const std::vector<std::uint8_t> written = Encoded(table);
    ASSERT_EQ(written.size(), 2u + 1u + 255u);
    EXPECT_EQ(written[0], 0x00);
    EXPECT_EQ(written[1], 0x01);
    EXPECT_EQ(written[2], 255);
}

TEST(StringTableTest, ValuesOnlyFormatDropsLanguagesWhenWritten) {
    StringTable table;
    table.hasComment = false;
    table.SetText(0, 0, StringTable::Value, "us");
    table.SetText(0, 2, StringTable::Value, "fr");
    EXPECT_EQ(Encoded(table), (std::vector<std::uint8_t>{0xFF, 0xFF, 1, 0, 'u', 's', 0}));
    EXPECT_FALSE(table.hasLanguage);
}

TEST(StringTableTest, EmptyFormatWordKeepsTheFlags) {
    StringTable table;
    ASSERT_TRUE(Decode(table, {0xFF, 0xFF, 1, 0, 'a', 0}));
    ASSERT_TRUE(Decode(table, {0x00, 0x00, 0x41, 0x42}));
    EXPECT_EQ(table.RowCount(), 0u);
    EXPECT_EQ(Encoded(table), (std::vector<std::uint8_t>{0xFF, 0xFF, 0, 0}));
    StringTable fresh;
    ASSERT_TRUE(Decode(fresh, {0x00, 0x00}));
    EXPECT_EQ(Encoded(fresh), (std::vector<std::uint8_t>{0xFD, 0xFF, 0, 0}));
}

TEST(StringTableTest, GetAndSetKeepTheirLimits) {
    StringTable table;
    std::string out = "untouched";
    EXPECT_FALSE(table.GetText(0, 0, StringTable::Value, out));
    EXPECT_EQ(out, "untouched");
    EXPECT_FALSE(table.SetText(1, 0, StringTable::Value, "x"));
    EXPECT_TRUE(table.SetText(0, 0, StringTable::Value, "x"));
    EXPECT_EQ(table.RowCount(), 1u);
    EXPECT_FALSE(table.SetText(0, 16, StringTable::Value, "x"));
    EXPECT_FALSE(table.SetText(0, 0, 2, "x"));
    EXPECT_FALSE(table.SetText(0, 0, -1, "x"));
    EXPECT_FALSE(table.GetText(0, 16, StringTable::Value, out));
    EXPECT_FALSE(table.GetText(0, 0, 2, out));
    EXPECT_FALSE(table.GetText(1, 0, StringTable::Value, out));
    EXPECT_EQ(out, "untouched");
    EXPECT_TRUE(table.SetText(1, 15, StringTable::Comment, "y"));
    EXPECT_EQ(table.RowCount(), 2u);
    EXPECT_EQ(Text(table, 1, 15, StringTable::Comment), "y");
}

// The texts of the languages without a slot, as (code, row, value, comment).
std::vector<std::tuple<int, std::size_t, std::string, std::string>> Unslotted(const StringTable& table) {
    std::vector<std::tuple<int, std::size_t, std::string, std::string>> texts;
    for (int code = 0; code < 256; ++code) {
        const auto c = static_cast<std::uint8_t>(code);
        for (std::size_t row = 0; row < table.UnslottedRowCount(c); ++row) {
            std::string value, comment;
            EXPECT_TRUE(table.GetUnslottedText(c, static_cast<std::uint16_t>(row), StringTable::Value, value));
            EXPECT_TRUE(table.GetUnslottedText(c, static_cast<std::uint16_t>(row), StringTable::Comment, comment));
            texts.emplace_back(code, row, value, comment);
        }
    }
    return texts;
}

TEST(StringTableTest, LanguagesWithoutASlotAreKeptAndWrittenBackInCodeOrder) {
    // Codes 8 and 10 to 13 belong to no slot: they must not overwrite USEnglish or French, nor
    // add rows to the table, and come back under their own codes, each group as long as it was
    // (code 8 longer than the table, 10 shorter), with its comments and its empty texts.
    const auto english = Group{1, {{"e0", ""}, {"e1", "ec"}}};
    const auto french = Group{3, {{"f0", ""}, {"f1", ""}}};
    const auto code8 = Group{8, {{"x0", "c0"}, {"", ""}, {"x2", ""}, {"", "c3"}, {"x4", ""}}};
    const auto code10 = Group{10, {{"y", ""}}};
    const auto code13 = Group{13, {{"", ""}, {"", ""}}};
    const std::vector<std::uint8_t> expected = LanguageTableBytes({english, french, code8, code10, code13});
    for (const auto& fileOrder : {std::vector<Group>{english, code8, french, code10, code13},
                                  std::vector<Group>{english, french, code8, code10, code13},
                                  std::vector<Group>{code13, code10, french, code8, english}}) {
        StringTable table;
        ASSERT_TRUE(Decode(table, LanguageTableBytes(fileOrder)));
        EXPECT_EQ(table.RowCount(), 2u);
        EXPECT_EQ(Text(table, 1, 0), "e1");
        EXPECT_EQ(Text(table, 1, 0, StringTable::Comment), "ec");
        EXPECT_EQ(Text(table, 1, 2), "f1");
        for (std::uint16_t slot = 3; slot <= 7; ++slot) EXPECT_EQ(Text(table, 0, slot), "") << slot;
        EXPECT_EQ(table.UnslottedRowCount(8), 5u);
        EXPECT_EQ(table.UnslottedRowCount(11), 0u);
        std::string text = "untouched";
        EXPECT_FALSE(table.GetUnslottedText(8, 5, StringTable::Value, text));
        EXPECT_FALSE(table.GetUnslottedText(11, 0, StringTable::Value, text));
        EXPECT_FALSE(table.GetUnslottedText(10, 0, 2, text));
        EXPECT_EQ(text, "untouched");
        EXPECT_TRUE(table.GetUnslottedText(8, 3, StringTable::Comment, text));
        EXPECT_EQ(text, "c3");
        EXPECT_EQ(Encoded(table), expected);
    }

    // A second group of a language fills its rows again from the first, as in a slot.
    StringTable twice;
    ASSERT_TRUE(Decode(twice, LanguageTableBytes({Group{11, {{"a", ""}, {"b", ""}}}, english, Group{11, {{"c", "d"}}}})));
    EXPECT_EQ(Unslotted(twice), (std::vector<std::tuple<int, std::size_t, std::string, std::string>>{
                                    {11, 0, "c", "d"}, {11, 1, "b", ""}}));
    EXPECT_EQ(Encoded(twice), LanguageTableBytes({english, Group{11, {{"c", "d"}, {"b", ""}}}}));

    // A table of such languages alone has no rows, and still writes them.
    StringTable alone;
    ASSERT_TRUE(Decode(alone, LanguageTableBytes({code10})));
    EXPECT_EQ(alone.RowCount(), 0u);
    EXPECT_EQ(Encoded(alone), LanguageTableBytes({code10}));
}

TEST(StringTableTest, EditsLeaveTheLanguagesWithoutASlotAlone) {
    const auto english = Group{1, {{"e0", ""}, {"e1", ""}}};
    const auto code8 = Group{8, {{"x0", "c0"}, {"x1", ""}, {"x2", ""}}};
    const auto code12 = Group{12, {{"z0", ""}}};
    StringTable table;
    ASSERT_TRUE(Decode(table, LanguageTableBytes({code12, english, code8})));
    const auto kept = Unslotted(table);

    // A changed text, a new row (every slot's group grows, theirs do not), a new language, and
    // texts replaced so often that the table tidies its buffer.
    ASSERT_TRUE(table.SetText(0, 0, StringTable::Value, "changed"));
    ASSERT_TRUE(table.SetText(2, 0, StringTable::Value, "e2"));
    ASSERT_TRUE(table.SetText(1, 7, StringTable::Comment, "sv"));
    std::string typed;
    for (int i = 0; i < 5000; ++i) {
        typed += 'q';
        ASSERT_TRUE(table.SetText(1, 0, StringTable::Value, typed));
    }
    ASSERT_TRUE(table.SetText(1, 0, StringTable::Value, "e1"));
    EXPECT_EQ(Unslotted(table), kept);
    EXPECT_EQ(Encoded(table),
              LanguageTableBytes({Group{1, {{"changed", ""}, {"e1", ""}, {"e2", ""}}}, code8,
                                  Group{9, {{"", ""}, {"", "sv"}, {"", ""}}}, code12}));

    // Emptying every slot leaves their groups only.
    for (std::uint16_t row = 0; row < table.RowCount(); ++row)
        for (std::uint16_t slot = 0; slot < 16; ++slot)
            for (int which : {StringTable::Value, StringTable::Comment}) ASSERT_TRUE(table.SetText(row, slot, which, ""));
    EXPECT_EQ(Encoded(table), LanguageTableBytes({code8, code12}));
}

TEST(StringTableTest, FormatsWithoutLanguageCodesHoldNoOtherLanguages) {
    const std::vector<std::uint8_t> withOthers =
        LanguageTableBytes({Group{1, {{"a", ""}}}, Group{8, {{"x", ""}}}, Group{13, {{"y", "z"}}}});
    const struct {
        const char* what;
        std::vector<std::uint8_t> bytes;
    } formats[] = {
        {"values", {0xFF, 0xFF, 1, 0, 'a', 0}},
        {"values and comments", {0xFE, 0xFF, 1, 0, 'a', 0, 0}},
        {"length-prefixed", {0x00, 0x01, 1, 'a'}},
    };
    for (const auto& format : formats) {
        // A table read again in a format without codes drops what it held of other languages.
        StringTable table;
        ASSERT_TRUE(Decode(table, withOthers));
        ASSERT_TRUE(Decode(table, format.bytes)) << format.what;
        EXPECT_TRUE(Unslotted(table).empty()) << format.what;
        EXPECT_EQ(Encoded(table), format.bytes) << format.what;
    }
    // A language table written in a format without codes cannot carry them.
    StringTable table;
    ASSERT_TRUE(Decode(table, withOthers));
    table.hasLanguage = false;
    EXPECT_EQ(Encoded(table), (std::vector<std::uint8_t>{0xFE, 0xFF, 1, 0, 'a', 0, 0}));
    EXPECT_EQ(Unslotted(table).size(), 2u);
}

TEST(StringTableTest, MalformedDataFails) {
    const struct {
        const char* what;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"empty", {}},
        {"one byte", {0xFD}},
        {"no count", {0xFD, 0xFF, 1}},
        {"code without language", {0xFD, 0xFF, 1, 0, 0, 'a', 0, 0}},
        {"code past the languages", {0xFD, 0xFF, 1, 0, 22, 'a', 0, 0}},
        {"more entries than data", {0xFF, 0xFF, 3, 0, 'a', 0, 'b', 0}},
        {"value without NUL", {0xFF, 0xFF, 1, 0, 'a', 'b'}},
        {"comment without NUL", {0xFE, 0xFF, 1, 0, 'a', 0, 'b'}},
        {"code at the end", {0xFD, 0xFF, 1, 0}},
        {"length past the end", {0x00, 0x01, 5, 'a', 'b'}},
        {"length byte missing", {0x00, 0x02, 1, 'a'}},
    };
    for (const auto& c : cases) {
        StringTable table;
        EXPECT_FALSE(Decode(table, c.bytes)) << c.what;
    }
}

TEST(StringTableTest, RowsReadBeforeABadCodeStay) {
    StringTable table;
    EXPECT_FALSE(Decode(table, {0xFD, 0xFF, 2, 0, 1, 'a', 0, 0, 0, 'b', 0, 0}));
    EXPECT_EQ(table.RowCount(), 1u);
    EXPECT_EQ(Text(table, 0, 0), "a");
}

TEST(StringTableTest, TooManyEntriesForTheCountIsAWriteFailure) {
    StringTable table;
    // 4097 rows in 16 languages would be 65552 entries.
    for (std::uint16_t row = 0; row < 4097; ++row) {
        for (std::uint16_t slot = 0; slot < 16; ++slot) table.SetText(row, slot, StringTable::Value, "t");
    }
    MemoryStream out;
    EXPECT_FALSE(table.WriteToStream(out));
    EXPECT_EQ(out.Length(), 0u);
}

TEST(StringTableTest, TextWithANulIsWrittenUpToIt) {
    StringTable table;
    table.hasLanguage = false;
    table.SetText(0, 0, StringTable::Value, std::string("ab\0cd", 5));
    table.SetText(1, 0, StringTable::Value, "next");
    EXPECT_EQ(Encoded(table), (std::vector<std::uint8_t>{0xFE, 0xFF, 2, 0, 'a', 'b', 0, 0, 'n', 'e', 'x', 't', 0, 0}));
}

// A table keeps its texts in one buffer that replaced texts leave room in until it is tidied:
// texts typed one character at a time, beside others, come out as if set once.
TEST(StringTableTest, TextsReplacedOverAndOverStayExact) {
    StringTable typed;
    StringTable once;
    for (std::uint16_t row = 0; row < 33; ++row) {
        for (StringTable* table : {&typed, &once}) {
            table->SetText(row, 0, StringTable::Value, "row " + std::to_string(row));
            table->SetText(row, 3, StringTable::Comment, row % 2 == 0 ? "even" : "");
        }
    }
    std::string text;
    for (int i = 0; i < 3000; ++i) {
        text += static_cast<char>('a' + i % 26);
        typed.SetText(static_cast<std::uint16_t>(i % 3 + 4), 2, StringTable::Value, text);
    }
    typed.SetText(4, 2, StringTable::Value, "");
    once.SetText(5, 2, StringTable::Value, text.substr(0, 2999));
    once.SetText(6, 2, StringTable::Value, text);
    for (std::uint16_t row = 0; row < 33; ++row)
        for (std::uint16_t slot = 0; slot < 16; ++slot)
            for (int which : {StringTable::Value, StringTable::Comment})
                ASSERT_EQ(Text(typed, row, slot, which), Text(once, row, slot, which)) << row << " " << slot;
    EXPECT_EQ(Encoded(typed), Encoded(once));
}

// The buffer is tidied when replaced texts take more room than the live ones; every text, empty
// ones included, must still be found after that. A career table read from a file, then edited as
// `apply` and a person typing edit it, is checked against a plain map after every edit.
TEST(StringTableTest, EveryTextStaysReadableWhenTheBufferIsTidied) {
    std::vector<Group> groups;
    for (const int code : {1, 3, 14}) {
        std::vector<std::pair<std::string, std::string>> rows;
        for (int row = 0; row < 33; ++row)
            rows.emplace_back("text " + std::to_string(row) + " of code " + std::to_string(code) + std::string(60, '.'), "");
        groups.push_back(Group{static_cast<std::uint8_t>(code), rows});
    }
    StringTable table;
    ASSERT_TRUE(Decode(table, LanguageTableBytes(groups)));
    std::map<std::pair<std::uint16_t, std::uint16_t>, std::string> values;
    for (std::uint16_t row = 0; row < 33; ++row)
        for (std::size_t g = 0; g < groups.size(); ++g)
            values[{row, static_cast<std::uint16_t>(StringTable::CodeToSlot(groups[g].code))}] = groups[g].entries[row].first;

    auto set = [&](std::uint16_t row, std::uint16_t slot, const std::string& text) {
        ASSERT_TRUE(table.SetText(row, slot, StringTable::Value, text));
        values[{row, slot}] = text;
        for (std::uint16_t r = 0; r < 33; ++r)
            for (std::uint16_t s = 0; s < 16; ++s) {
                const auto found = values.find({r, s});
                ASSERT_EQ(Text(table, r, s), found != values.end() ? found->second : "") << r << " " << s;
                ASSERT_EQ(Text(table, r, s, StringTable::Comment), "");
            }
        std::vector<Group> expected;
        for (std::uint16_t s = 0; s < 16; ++s) {
            Group group{StringTable::SlotToCode(s), {}};
            bool any = false;
            for (std::uint16_t r = 0; r < 33; ++r) {
                const std::string value = values.count({r, s}) ? values[{r, s}].substr(0, values[{r, s}].find('\0')) : "";
                any = any || !value.empty();
                group.entries.emplace_back(value, "");
            }
            if (any) expected.push_back(group);
        }
        ASSERT_EQ(Encoded(table), LanguageTableBytes(expected));
    };

    // Every text emptied but one in row 32, which then changes.
    for (std::uint16_t row = 0; row < 33; ++row)
        for (const std::uint16_t slot : {std::uint16_t{0}, std::uint16_t{2}, std::uint16_t{8}})
            if (row != 32 || slot != 0) set(row, slot, "");
    set(32, 0, "the last one");
    set(32, 0, "the last one, again");
    // A long text set, its own table copied, the copy set again: both keep their texts.
    set(0, 0, std::string(8000, 'l'));
    const StringTable copy = table;
    set(0, 0, "short");
    set(5, 15, std::string("with\0NUL", 8));
    for (int i = 0; i < 20; ++i) set(static_cast<std::uint16_t>(i), 9, std::string(static_cast<std::size_t>(500 + i), 'w'));
    for (int i = 0; i < 20; ++i) set(static_cast<std::uint16_t>(i), 9, "");
    EXPECT_EQ(Text(copy, 0, 0), std::string(8000, 'l'));
    EXPECT_EQ(Text(copy, 1, 0), "");
}

TEST(StringTableTest, SaveToIFFReplacesTheLoadedChunk) {
    test::IffBytes file;
    file.Chunk(TypeSTR, 128, {0xFF, 0xFF, 1, 0, 'a', 0}, "Career");
    test::OpenContainer c(file.bytes);
    StringTable table;
    ASSERT_TRUE(table.LoadFromIFF(c.iff, c.Handle(TypeSTR, 128)));
    table.SetText(0, 0, StringTable::Value, "changed");
    ASSERT_TRUE(table.SaveToIFF(c.iff));
    EXPECT_EQ(c.Data(TypeSTR, 128), (std::vector<std::uint8_t>{0xFF, 0xFF, 1, 0, 'c', 'h', 'a', 'n', 'g', 'e', 'd', 0}));
    EXPECT_EQ(c.store.Resolve(c.Handle(TypeSTR, 128))->label, "Career");

    c.iff.DeleteChunk(TypeSTR, 128);
    EXPECT_FALSE(table.SaveToIFF(c.iff));
    StringTable none;
    EXPECT_FALSE(none.SaveToIFF(c.iff));
    EXPECT_FALSE(none.LoadFromIFF(c.iff, 0));
}

}  // namespace
}  // namespace tw
