// The PO files of texts export as gettext's own tools see them, and theirs as texts import reads
// them. The tools are run as processes where they are installed.
#include "cli/CliCommands.h"
#include "exchange/PoFile.h"
#include "support/TempFolder.h"
#include "support/TranslatedSample.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace tw {
namespace {

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Runs a shell command with its standard error kept in `errors`; its exit status.
int RunShell(const std::string& command, const std::filesystem::path& errors) {
    return std::system((command + " 2>'" + errors.string() + "'").c_str());
}

class GettextToolsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("msgfmt --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "gettext's tools are not installed";
        ASSERT_TRUE(test::WriteTranslatedSample(game));
    }
    std::filesystem::path Export(const std::string& language, const std::string& name) {
        const std::filesystem::path file = temp / name;
        EXPECT_EQ(test::RunCliOn(game, {"texts", "export", "--language", language, file.string()}), cli::ExitSuccess);
        return file;
    }
    PoCatalog Read(const std::filesystem::path& file) {
        Expected<PoCatalog> read = ReadPo(ReadText(file));
        EXPECT_TRUE(read) << file << ": " << read.Reason();
        return read ? std::move(read).Value() : PoCatalog{};
    }

    test::TempFolder temp{"tw-gettext"};
    std::filesystem::path game = temp.Path() / "game";
    std::filesystem::path errors = temp.Path() / "errors.txt";
};

TEST_F(GettextToolsTest, EveryExportPassesMsgfmtCheckWithoutAWord) {
    for (int slot = 0; slot < 16; ++slot) {
        const std::filesystem::path file = Export(std::to_string(slot), "slot.po");
        EXPECT_EQ(RunShell("msgfmt --check -o /dev/null '" + file.string() + "'", errors), 0) << slot;
        EXPECT_EQ(ReadText(errors), "") << slot;
    }
}

// A translator's file brought up to date with msgmerge keeps its translations, and the entry whose
// English text changed comes back fuzzy and is left alone; a file begun with msginit imports too.
TEST_F(GettextToolsTest, FilesOfMsgmergeAndMsginitImport) {
    const std::filesystem::path old = Export("German", "old.po");
    PoCatalog translated = Read(old);
    ASSERT_GE(translated.entries.size(), 3u);
    translated.entries[0].str = "Neue \xC3\x9C" "bersetzung";
    std::ofstream(old, std::ios::binary) << WritePo(translated);
    // Meanwhile the game's English text of the second entry changes.
    const std::filesystem::path english = Export("0", "en.po");
    PoCatalog changed = Read(english);
    changed.entries[1].str = changed.entries[1].id + " Now longer.";
    std::ofstream(english, std::ios::binary) << WritePo(changed);
    ASSERT_EQ(test::RunCliOn(game, {"texts", "import", english.string()}), cli::ExitSuccess);

    const std::filesystem::path fresh = Export("German", "new.po");
    const std::filesystem::path merged = temp / "merged.po";
    ASSERT_EQ(RunShell("msgmerge --quiet -o '" + merged.string() + "' '" + old.string() + "' '" + fresh.string() + "'",
                  errors),
              0)
        << ReadText(errors);
    const PoCatalog mergedCatalog = Read(merged);
    ASSERT_EQ(mergedCatalog.entries.size(), translated.entries.size());
    EXPECT_TRUE(mergedCatalog.entries[1].Fuzzy());
    ASSERT_EQ(test::RunCliOn(game, {"texts", "import", merged.string()}), cli::ExitSuccess);
    const PoCatalog after = Read(Export("German", "after.po"));
    EXPECT_EQ(after.entries[0].str, "Neue \xC3\x9C" "bersetzung");
    EXPECT_EQ(after.entries[1].str, translated.entries[1].str);
    EXPECT_EQ(after.entries[1].id, changed.entries[1].str);

    const std::filesystem::path polish = temp / "pl.po";
    ASSERT_EQ(RunShell("msginit --no-translator -l pl_PL.UTF-8 -i '" + Export("Polish", "pl.pot").string() + "' -o '" +
                      polish.string() + "'",
                  errors),
              0)
        << ReadText(errors);
    PoCatalog started = Read(polish);
    EXPECT_EQ(started.HeaderField("Language"), "pl");
    ASSERT_EQ(test::RunCliOn(game, {"texts", "import", polish.string()}), cli::ExitSuccess);
    started.entries[0].str = "Pszczelarstwo \xC5\xBC";
    std::ofstream(polish, std::ios::binary) << WritePo(started);
    ASSERT_EQ(test::RunCliOn(game, {"texts", "import", polish.string()}), cli::ExitSuccess);
    EXPECT_EQ(Read(Export("Polish", "pl-after.po")).entries[0].str, "Pszczelarstwo \xC5\xBC");
}

}  // namespace
}  // namespace tw
