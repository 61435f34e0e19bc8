// The PO files of texts export as GNU gettext's own library reads them. The library is GPL and
// has no Windows build: it is linked into the tests where it is installed, never into the program.
#include "cli/CliCommands.h"
#include "exchange/PoFile.h"
#include "support/TempFolder.h"
#include "support/TranslatedSample.h"

#include <gettext-po.h>
#include <gtest/gtest.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TW_LEAK_CHECKS 1
#endif
#elif defined(__SANITIZE_ADDRESS__)
#define TW_LEAK_CHECKS 1
#endif
#ifdef TW_LEAK_CHECKS
#include <sanitizer/lsan_interface.h>
#endif

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tw {
namespace {

std::vector<std::string> problems;

// The library keeps some of what it allocates past po_file_free: not ours to report.
struct LibraryLeaksIgnored {
#ifdef TW_LEAK_CHECKS
    LibraryLeaksIgnored() { __lsan_disable(); }
    ~LibraryLeaksIgnored() { __lsan_enable(); }
#endif
};

void Problem(int severity, po_message_t, const char* file, std::size_t line, std::size_t, int, const char* text) {
    problems.push_back(std::string(file != nullptr ? file : "") + ":" + std::to_string(line) + ": " + text);
    if (severity == PO_SEVERITY_FATAL_ERROR) std::abort();  // the library may not be returned to
}

void Problem2(int severity, po_message_t, const char* file, std::size_t line, std::size_t, int, const char* text,
              po_message_t, const char*, std::size_t, std::size_t, int, const char* text2) {
    Problem(severity, nullptr, file, line, 0, 0, (std::string(text) + " " + text2).c_str());
}

// A comment as the library gives it: each line ended by a line break.
std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

TEST(GettextPoTest, TheLibraryReadsEveryExportWithTheSameEntries) {
    test::TempFolder temp("tw-gettextpo");
    const std::filesystem::path game = temp.Path() / "game";
    ASSERT_TRUE(test::WriteTranslatedSample(game));
    const po_xerror_handler handler{Problem, Problem2};
    for (const int slot : {0, 3, 9, 15}) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        const std::filesystem::path file = temp.Path() / "texts.po";
        ASSERT_EQ(test::RunCliOn(game, {"texts", "export", "--language", std::to_string(slot), file.string()}),
                  cli::ExitSuccess);
        std::ifstream in(file, std::ios::binary);
        const Expected<PoCatalog> ours = ReadPo(std::string(std::istreambuf_iterator<char>(in), {}));
        ASSERT_TRUE(ours) << ours.Reason();

        problems.clear();
        [[maybe_unused]] const LibraryLeaksIgnored ignored;
        po_file_t theirs = po_file_read(file.string().c_str(), &handler);
        ASSERT_NE(theirs, nullptr);
        EXPECT_EQ(problems, std::vector<std::string>{});
        char* slotField = po_header_field(po_file_domain_header(theirs, nullptr), "X-Trackwright-Slot");
        ASSERT_NE(slotField, nullptr);
        EXPECT_EQ(std::string(slotField), std::to_string(slot));
        std::free(slotField);

        po_message_iterator_t messages = po_message_iterator(theirs, nullptr);
        std::size_t index = 0;
        while (po_message_t message = po_next_message(messages)) {
            if (po_message_msgctxt(message) == nullptr && std::string(po_message_msgid(message)).empty()) continue;
            ASSERT_LT(index, ours->entries.size());
            const PoEntry& entry = ours->entries[index++];
            ASSERT_NE(po_message_msgctxt(message), nullptr);
            EXPECT_EQ(po_message_msgctxt(message), entry.context);
            EXPECT_EQ(po_message_msgid(message), entry.id);
            EXPECT_EQ(po_message_msgstr(message), entry.str);
            EXPECT_EQ(po_message_comments(message), Lines(entry.translatorComments));
            EXPECT_EQ(po_message_extracted_comments(message), Lines(entry.extractedComments));
            EXPECT_FALSE(po_message_is_fuzzy(message));
        }
        EXPECT_EQ(index, ours->entries.size());
        po_message_iterator_free(messages);
        po_file_free(theirs);
    }
}

}  // namespace
}  // namespace tw
