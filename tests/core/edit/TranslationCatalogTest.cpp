// Translations read back from a PO file: each text's line breaks come back in the form the stored
// text has them, whatever the file's "\n" and "\r" say.
#include "edit/TranslationCatalog.h"

#include "sample/SampleCareerData.h"

#include <gtest/gtest.h>

#include <string>

namespace tw {
namespace {

TEST(TranslationCatalogTest, AnImportedTextKeepsTheLineBreaksOfTheStoredText) {
    const TranslatableText offer{0, CareerTexts::Text::MaleOffer, 0};
    constexpr std::uint16_t German = 3;
    struct Case {
        const char* stored;  // the German text before
        const char* msgstr;
        const char* expected;  // the German text after
    } const cases[] = {
        {"one\r\ntwo", "eins\nzwei", "eins\r\nzwei"},
        {"one\ntwo", "eins\nzwei", "eins\nzwei"},
        {"", "eins\nzwei", "eins\r\nzwei"},
        {"one", "eins\r\nzwei\rdrei", "eins\r\nzwei\rdrei"},
        // A text as the export wrote it is no change, even where "\n" cannot tell the forms apart.
        {"one\ntwo\r\nthree", "one\ntwo\nthree", "one\ntwo\r\nthree"},
    };
    for (const Case& c : cases) {
        CareerSet set = BuildSampleCareerData(1).careers;
        ASSERT_TRUE(SetTranslatableBytes(set, offer, German, c.stored));
        PoCatalog catalog = ExportTranslations(set, true, German, "2026-12-10 00:00+0000");
        for (PoEntry& entry : catalog.entries)
            if (entry.context == "Career #" + std::to_string(set.careers[0].id) + ": Male offer text") entry.str = c.msgstr;
        const TranslationPlan plan = PlanTranslationImport(set, true, catalog, German);
        ASSERT_TRUE(plan.refused.empty()) << c.msgstr;
        const std::string expected = c.expected;
        EXPECT_EQ(plan.textsChanged, expected == c.stored ? 0u : 1u) << c.msgstr;
        for (const TranslationEdit& edit : plan.edits) ASSERT_TRUE(SetTranslatableBytes(set, edit.text, German, edit.bytes, edit.which));
        EXPECT_EQ(TranslatableBytes(set, offer, German), expected) << c.msgstr;
    }
}

}  // namespace
}  // namespace tw
