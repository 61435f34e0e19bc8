#include "exchange/PoFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tw {
namespace {

// Every string that a text of the game can hold comes back from the file as it went in.
TEST(PoFileTest, StringsRoundTripThroughEscapesLineBreaksAndLongLines) {
    const std::vector<std::string> strings = {
        "",
        "plain",
        "quote \" and backslash \\ and \\n written out",
        "line\nbreaks\n\nand an end\n",
        "\nstarts with a break",
        "tab\there, a lone CR\r here, CR LF\r\n there",
        "bell \a backspace \b form feed \f vertical tab \v escape \x1B delete \x7F",
        "caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xC5\x82\xC3\xB3" "d\xC5\xBA \xE0\xB8\x81 \xED\x95\x9C \xF4\x8F\xBB\xBF",
        std::string(200, 'x'),
        "a long text of many words that a writer breaks after its spaces, so that no line of the file is "
        "longer than gettext's own tools would make it, with \"quotes\" and \\ near the breaks \\",
        "   spaces at both ends   ",
    };
    PoCatalog catalog;
    catalog.header = {{"Language", "de"}, {"Content-Type", "text/plain; charset=UTF-8"}};
    for (std::size_t i = 0; i < strings.size(); ++i) {
        PoEntry entry;
        entry.context = "ctx " + std::to_string(i) + " " + strings[i];
        entry.id = "id " + strings[i];
        entry.str = strings[i];
        entry.translatorComments = {"translator: " + strings[i].substr(0, strings[i].find_first_of("\r\n")), ""};
        entry.extractedComments = {"extracted"};
        entry.flags = {"no-wrap"};
        catalog.entries.push_back(entry);
    }
    const std::string text = WritePo(catalog);
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start);
        ASSERT_NE(end, std::string::npos);
        const std::string line = text.substr(start, end - start);
        // Strings are broken only at spaces: a word longer than a line stays whole. Comments are not
        // broken, as gettext's tools leave them.
        if (!line.starts_with('#') && line.find(std::string(100, 'x')) == std::string::npos) {
            EXPECT_LE(line.size(), 79u) << line;
        }
        start = end + 1;
    }
    const Expected<PoCatalog> read = ReadPo(text);
    ASSERT_TRUE(read) << read.Reason() << "\n" << text;
    EXPECT_EQ(read->header, catalog.header);
    ASSERT_EQ(read->entries.size(), catalog.entries.size());
    for (std::size_t i = 0; i < strings.size(); ++i) {
        const PoEntry& got = read->entries[i];
        const PoEntry& want = catalog.entries[i];
        EXPECT_EQ(got.context, want.context) << i;
        EXPECT_EQ(got.id, want.id) << i;
        EXPECT_EQ(got.str, want.str) << i;
        EXPECT_EQ(got.translatorComments, want.translatorComments) << i;
        EXPECT_EQ(got.extractedComments, want.extractedComments) << i;
        EXPECT_EQ(got.flags, want.flags) << i;
    }
}

// What gettext's tools write, and what people type, is read: a BOM, CRLF, strings over several
// lines, octal and hex escapes, obsolete and previous entries, plural entries, flags, references.
TEST(PoFileTest, ReadsEverythingGettextToolsWrite) {
    const std::string text =
        "\xEF\xBB\xBF# Header comment\r\n"
        "#, fuzzy\r\n"
        "msgid \"\"\r\n"
        "msgstr \"\"\r\n"
        "\"Language: pt_BR\\n\"\r\n"
        "\"Content-Type: text/plain; charset=utf-8\\n\"\r\n"
        "\"X-Odd:value without space\"\r\n"
        "\r\n"
        "# translator\r\n"
        "#. extracted\r\n"
        "#: file.c:12 file.c:14\r\n"
        "#, fuzzy, c-format\r\n"
        "#| msgctxt \"old\"\r\n"
        "#| msgid \"old\"\r\n"
        "msgctxt \"ctx\"\r\n"
        "msgid \"\"\r\n"
        "  \"multi \"\r\n"
        "\"line\"\r\n"
        "msgstr \"oct \\101\\102 hex \\x43 \\' \\?\"\r\n"
        "\r\n"
        "#~ msgid \"gone\"\r\n"
        "#~ msgstr \"weg\"\r\n"
        "\r\n"
        "#, fuzzy\r\n"
        "#~ msgid \"gone too\"\r\n"
        "#~ msgstr \"\"\r\n"
        "#~ \"continued\"\r\n"
        "msgid \"one file\"\r\n"
        "msgid_plural \"%d files\"\r\n"
        "msgstr[0] \"ein\"\r\n"
        "msgstr[1] \"viele\"\r\n"
        "msgid \"next\" \r\n"
        "msgstr \"\"";  // no line end at the end
    const Expected<PoCatalog> read = ReadPo(text);
    ASSERT_TRUE(read) << read.Reason();
    EXPECT_EQ(read->HeaderField("language"), "pt_BR");
    EXPECT_EQ(read->HeaderField("X-Odd"), "value without space");
    EXPECT_EQ(read->HeaderField("Plural-Forms"), std::nullopt);
    EXPECT_EQ(read->headerComments, std::vector<std::string>{"Header comment"});
    ASSERT_EQ(read->entries.size(), 3u);
    const PoEntry& first = read->entries[0];
    EXPECT_EQ(first.translatorComments, std::vector<std::string>{"translator"});
    EXPECT_EQ(first.extractedComments, std::vector<std::string>{"extracted"});
    EXPECT_EQ(first.references, std::vector<std::string>{"file.c:12 file.c:14"});
    EXPECT_TRUE(first.Fuzzy());
    EXPECT_TRUE(first.HasFlag("c-format"));
    EXPECT_EQ(first.context, "ctx");
    EXPECT_EQ(first.id, "multi line");
    EXPECT_EQ(first.str, "oct AB hex C ' ?");
    // The fuzzy flag above an obsolete entry went with it.
    const PoEntry& plural = read->entries[1];
    EXPECT_FALSE(plural.Fuzzy());
    EXPECT_EQ(plural.idPlural, "%d files");
    EXPECT_EQ(plural.str, "ein");
    EXPECT_EQ(plural.pluralStrs, std::vector<std::string>{"viele"});
    EXPECT_EQ(read->entries[2].id, "next");
    EXPECT_EQ(read->entries[2].context, std::nullopt);
}

// A malformed file is refused with the line at fault, never read in part.
TEST(PoFileTest, MalformedFilesNameTheLineAtFault) {
    const std::string header = "msgid \"\"\nmsgstr \"Language: de\\n\"\n\n";  // lines 1 to 3
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {"msgid \"a\"\nmsgstr \"b", "line 5: a string without its closing quote"},
        {"msgid a\nmsgstr \"\"", "line 4: a string without its quotes"},
        {"msgid \"a\" x\nmsgstr \"\"", "line 4: text after a string's closing quote"},
        {"msgid \"a\\q\"\nmsgstr \"\"", "line 4: an unknown escape \\q"},
        {"msgid \"a\\x\"\nmsgstr \"\"", "line 4: a \\x escape without digits"},
        {"msgid \"a\\x100\"\nmsgstr \"\"", "line 4: a \\x escape beyond one byte"},
        {"msgid \"a\\0\"\nmsgstr \"\"", "line 4: an escape of no character"},
        {"msgid \"a\"\n\nmsgid \"b\"\nmsgstr \"\"", "line 4: msgid without msgstr"},
        {"msgid \"a\"", "line 4: msgid without msgstr"},
        {"msgid \"a\"\n# comment\nmsgstr \"\"", "line 5: a comment inside an entry"},
        {"msgctxt \"a\"\nmsgctxt \"b\"\nmsgid \"a\"\nmsgstr \"\"", "line 5: msgctxt given twice"},
        {"msgctxt \"a\"\n", "line 4: msgctxt without msgid"},
        {"msgstr \"b\"", "line 4: 'msgstr' before msgid"},
        {"\"orphan\"", "line 4: a string without its keyword"},
        {"msgid \"a\"\nmsgstr \"b\"\nmsgstr \"c\"", "line 6: msgstr given twice"},
        {"msgid \"a\"\nmsgtxt \"b\"", "line 5: unknown keyword 'msgtxt'"},
        {"msgid \"a\"\nmsgid_plural \"as\"\nmsgstr \"b\"", "line 6: msgstr without an index in a plural entry"},
        {"msgid \"a\"\nmsgid_plural \"as\"\nmsgstr[1] \"b\"", "line 6: 'msgstr[1]' where msgstr[0] belongs"},
        {"msgid \"a\"\nmsgstr[0] \"b\"", "line 5: msgstr[N] without msgid_plural"},
        {"msgid \"a\"\nmsgstr \"b\"\n\nmsgid \"a\"\nmsgstr \"c\"", "line 7: the message \"a\" is given twice"},
        {"msgid \"\"\nmsgstr \"\"", "line 4: a second header entry"},
        {"msgid \"a\"\nmsgstr \"\xC3\"", "line 5: bytes that are not UTF-8"},
        {"msgid \"a\\303\"\nmsgstr \"\"", "line 4: a message that is not UTF-8"},
        {"msgid \"a\"\n#~ msgid \"b\"", "line 5: an obsolete line inside an entry"},
        {std::string("msgid \"\0\"\nmsgstr \"\"", sizeof "msgid \"\0\"\nmsgstr \"\"" - 1), "line 4: a NUL byte"},
    };
    for (const auto& [text, message] : cases) {
        const Expected<PoCatalog> read = ReadPo(header + text);
        EXPECT_FALSE(read) << text;
        EXPECT_EQ(read.Reason(), message) << text;
    }
    const Expected<PoCatalog> latin1 =
        ReadPo("msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n");
    EXPECT_EQ(latin1.Reason(), "line 1: the file's charset is ISO-8859-1; only UTF-8 is read");
}

}  // namespace
}  // namespace tw
