#include "MainWindowTestFixture.h"

#include <fstream>
#include <iterator>

#include "exchange/PoFile.h"
#include "store/Installation.h"
#include "store/KeptOriginals.h"
#include "ui/TextCodec.h"

#include <QMenu>

#include "util/Win32.h"

namespace tw {
namespace {

using test::MainWindowTest;
using Field = MainWindow::Field;

std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class MainWindowCommandsTest : public MainWindowTest {
protected:
    // The sample as a first save leaves it: every game file loose.
    void SetUp() override {
        MainWindowTest::SetUp();
        window->Save();
        ASSERT_EQ(port.Shown(), std::vector<std::string>{"Trackwright 2: Operation complete!"});
        port.calls.clear();
        loads = 1;
    }

    // The careers container, which the first save wrote loose beside its archive.
    std::filesystem::path CareersFile() const { return GameFile("ExpansionShared/Work.iff"); }

    void EditCareerName(const QString& text) {
        TypeInto(Field::CareerName, text);
        ASSERT_FALSE(window->CareersUnchanged());
    }
};

struct ExitCase {
    const char* name;
    bool edit;
    std::vector<Answer> answers;
    bool closes;
    bool written;
};

void PrintTo(const ExitCase& c, std::ostream* out) { *out << c.name; }

class MainWindowExitTest : public MainWindowCommandsTest, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(MainWindowExitTest, ExitAsksOnlyAfterAChangeAndFollowsTheAnswer) {
    const ExitCase& c = GetParam();
    const std::string before = FileBytes(CareersFile());
    ASSERT_FALSE(before.empty());
    if (c.edit) EditCareerName(QStringLiteral("Edited"));
    port.answers.assign(c.answers.begin(), c.answers.end());

    window->MenuAction(QStringLiteral("&File"), QStringLiteral("E&xit"))->trigger();

    EXPECT_EQ(window->HasClosed(), c.closes);
    if (c.closes) {
        EXPECT_EQ(window->Result(), MainWindow::Closed);
    }
    if (c.edit) {
        ASSERT_EQ(port.Shown(), std::vector<std::string>{"Exit: Do you want to save the careers?"});
        EXPECT_EQ(port.calls[0].message.buttons, MessageButtons::YesNoCancel);
    } else {
        EXPECT_TRUE(port.calls.empty());
    }
    EXPECT_EQ(FileBytes(CareersFile()) != before, c.written);
    if (!c.closes) {
        // The edit is still there, and the close box takes the same path.
        EXPECT_EQ(Shown(Field::CareerName), QStringLiteral("Edited"));
        port.answers = {Answer::No};
        window->close();
        EXPECT_TRUE(window->HasClosed());
        EXPECT_EQ(port.calls.size(), 2u);
        EXPECT_EQ(FileBytes(CareersFile()), before);
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, MainWindowExitTest,
                         ::testing::Values(ExitCase{"Unchanged", false, {}, true, false},
                                           ExitCase{"Cancel", true, {Answer::Cancel}, false, false},
                                           ExitCase{"No", true, {Answer::No}, true, false},
                                           ExitCase{"Yes", true, {Answer::Yes}, true, true}),
                         [](const ::testing::TestParamInfo<ExitCase>& test) { return std::string(test.param.name); });

TEST_F(MainWindowCommandsTest, ExitWithAFailingSaveStaysOpen) {
    EditCareerName(QStringLiteral("Edited"));
#ifdef _WIN32
    // Windows keeps a held file's folder from going; another program that holds the careers
    // file, without letting it be deleted, makes the save's rename over it fail instead.
    const HANDLE other = CreateFileW(CareersFile().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
#else
    // The careers file's folder is gone: nothing can be written there, not even by root.
    std::filesystem::remove_all(GameFile("ExpansionShared"));
#endif
    port.answers = {Answer::Yes};
    window->close();
    EXPECT_FALSE(window->HasClosed());
    EXPECT_EQ(port.Shown(), (std::vector<std::string>{
                                "Exit: Do you want to save the careers?",
                                "Error: Couldn't save the careers! There's probably a file I/O error!"}));
    EXPECT_FALSE(window->CareersUnchanged());
#ifdef _WIN32
    CloseHandle(other);
#endif
}

TEST_F(MainWindowCommandsTest, SaveWritesReloadsAndShowsTheSavedData) {
    SelectCareer(3);
    SelectJob(5);
    EditCareerName(QStringLiteral("Saved name"));
    window->Save();
    EXPECT_EQ(port.Shown(), std::vector<std::string>{"Trackwright 2: Operation complete!"});
    EXPECT_EQ(loads, 2);
    EXPECT_TRUE(window->CareersUnchanged());
    EXPECT_FALSE(window->HasClosed());
    // The reload shows the first career again, with the job row kept.
    EXPECT_EQ(window->CareerList()->SelectedRow(), 0);
    EXPECT_EQ(window->JobList()->SelectedRow(), 5);
    EXPECT_TRUE(window->LanguageAction(0)->isChecked());
    SelectCareer(3);
    EXPECT_EQ(Shown(Field::CareerName), QStringLiteral("Saved name"));
}

TEST_F(MainWindowCommandsTest, RestoreOriginalFilesAsksThenGivesTheGameBackAndReloads) {
    QAction* restore = window->MenuAction(QStringLiteral("&File"), QStringLiteral("Restore Original &Files..."));
    ASSERT_NE(restore, nullptr);
    QMenu* file = restore->associatedObjects().isEmpty() ? nullptr : qobject_cast<QMenu*>(restore->associatedObjects()[0]);
    ASSERT_NE(file, nullptr);
    const QString original = Shown(Field::CareerName);
    const std::string careers = FileBytes(CareersFile());
    EditCareerName(QStringLiteral("Saved name"));
    window->Save();
    ASSERT_TRUE(FileBytes(CareersFile()) != careers);

    // No: nothing changes. Yes: the files are as before the first change, and the load shows them.
    for (const Answer answer : {Answer::No, Answer::Yes}) {
        port.calls.clear();
        emit file->aboutToShow();
        ASSERT_TRUE(restore->isEnabled());
        port.answers = {answer};
        restore->trigger();
        ASSERT_FALSE(port.calls.empty());
        EXPECT_EQ(port.calls[0].message.title, "Question");
        const std::string& question = port.calls[0].message.text;
        EXPECT_NE(question.find("ExpansionShared/Work.iff"), std::string::npos) << question;
        EXPECT_NE(question.find("Every change made with Trackwright to these files will be lost."), std::string::npos);
    }
    EXPECT_EQ(port.Shown().back(), "Trackwright 2: Operation complete!");
    // Only its archive holds the careers file again, as before the first save.
    EXPECT_FALSE(std::filesystem::exists(CareersFile()));
    SelectCareer(0);
    EXPECT_EQ(Shown(Field::CareerName), original);
    EXPECT_TRUE(window->CareersUnchanged());

    // With nothing kept, there is nothing to offer.
    std::filesystem::remove_all(DefaultOriginalsRoot(ProcessEnvironment()) / InstallationId(GameFile("")));
    emit file->aboutToShow();
    EXPECT_FALSE(restore->isEnabled());
}

TEST_F(MainWindowCommandsTest, SaveWhoseReloadFailsEndsTheWindowAfterTheCompletionMessage) {
    EditCareerName(QStringLiteral("Saved name"));
    failLoadsFrom = 2;
    window->Save();
    EXPECT_EQ(port.Shown(), std::vector<std::string>{"Trackwright 2: Operation complete!"});
    EXPECT_TRUE(window->HasClosed());
    EXPECT_EQ(window->Result(), MainWindow::LoadFailed);
}

TEST_F(MainWindowCommandsTest, ReloadAsksBeforeDroppingUnsavedEdits) {
    const QString original = Shown(Field::CareerName);
    QAction* reload = window->MenuAction(QStringLiteral("&File"), QStringLiteral("&Reload"));
    // Nothing to lose: no question.
    reload->trigger();
    EXPECT_TRUE(port.calls.empty());
    EXPECT_EQ(loads, 2);

    SelectCareer(2);
    SelectCareer(0);
    EditCareerName(QStringLiteral("Kept"));
    port.answers = {Answer::No};
    reload->trigger();
    ASSERT_EQ(port.Shown(), std::vector<std::string>{
                                "Question: Discard your unsaved changes and load the game's files again?"});
    EXPECT_EQ(port.calls[0].message.buttons, MessageButtons::YesNo);
    EXPECT_EQ(port.calls[0].message.defaultAnswer, Answer::No);
    EXPECT_EQ(loads, 2);
    EXPECT_EQ(Shown(Field::CareerName), QStringLiteral("Kept"));
    EXPECT_FALSE(window->CareersUnchanged());

    port.calls.clear();
    port.answers = {Answer::Yes};
    reload->trigger();
    EXPECT_EQ(port.calls.size(), 1u);
    EXPECT_EQ(loads, 3);
    EXPECT_TRUE(window->CareersUnchanged());
    EXPECT_EQ(window->CareerList()->RowCount(), 10);
    EXPECT_EQ(window->CareerList()->SelectedRow(), 0);
    EXPECT_EQ(Shown(Field::CareerName), original);

    // A reload that fails ends the window.
    EditCareerName(QStringLiteral("Lost"));
    port.answers = {Answer::Yes};
    failLoadsFrom = 4;
    window->Reload();
    EXPECT_TRUE(window->HasClosed());
    EXPECT_EQ(window->Result(), MainWindow::LoadFailed);
}

TEST_F(MainWindowCommandsTest, ExportAndBackupWriteFilesAndChangeNothing) {
    const auto exported = game.Path() / "track.iff";
    const auto backup = game.Path() / "backup.iff";
    window->CareerList()->clearSelection();
    window->Export();  // no career: nothing at all
    EXPECT_TRUE(port.calls.empty());

    SelectCareer(2);
    port.files = {exported, backup};
    window->Export();
    window->Backup();
    EXPECT_EQ(port.Shown(), (std::vector<std::string>{
                                "Trackwright 2: Successfully exported!",
                                port.applicationName + ": Successfully backed up!\n\nTo restore the careers, use "
                                                       "\"Import\" in the \"Career\" menu."}));
    EXPECT_TRUE(std::filesystem::exists(exported));
    EXPECT_TRUE(std::filesystem::exists(backup));
    EXPECT_TRUE(window->CareersUnchanged());
}

TEST_F(MainWindowCommandsTest, ImportOfATrackRenamesAndSelectsItsRow) {
    const auto exported = game.Path() / "track.iff";
    SelectCareer(2);
    port.files = {exported};
    window->Export();
    const std::string name = context.careerSet.careers[2].track.name;

    SelectCareer(0);
    SelectJob(3);
    port.calls.clear();
    port.files = {exported};
    port.careers = {7};
    window->MenuAction(QStringLiteral("&Career"), QStringLiteral("&Import"))->trigger();
    EXPECT_EQ(port.Shown(), std::vector<std::string>{"Trackwright 2: Successfully imported!"});
    EXPECT_EQ(context.careerSet.careers[7].track.name, name);
    EXPECT_EQ(window->CareerList()->RowText(7, 1), TextCodec::DecodeInternal(name));
    EXPECT_EQ(window->CareerList()->RowText(7, 0), QStringLiteral("#8")) << "the career keeps its own number";
    EXPECT_EQ(window->CareerList()->SelectedRow(), 7);
    EXPECT_EQ(window->CurrentCareer(), 7u);
    EXPECT_EQ(window->JobList()->SelectedRow(), 3);
    EXPECT_EQ(Shown(Field::InternalCareerName), TextCodec::DecodeInternal(name));
    EXPECT_FALSE(window->CareersUnchanged());
}

// Export Translations writes the window's language; Import Translations is one undoable step,
// shown in the language the file holds.
TEST_F(MainWindowCommandsTest, TranslationsLeaveInTheCurrentLanguageAndComeBackAsOneStep) {
    const auto file = game.Path() / "texts.po";
    SelectCareer(2);
    window->SelectLanguage(3);
    const QString before = Shown(Field::CareerName);
    port.files = {file};
    window->MenuAction(QStringLiteral("&Career"), QStringLiteral("Export T&ranslations..."))->trigger();
    ASSERT_EQ(port.Shown(), std::vector<std::string>{"Trackwright 2: Successfully exported!"});
    EXPECT_EQ(port.calls[0].choice.initialName, "de.po");
    Expected<PoCatalog> catalog = ReadPo(FileBytes(file));
    ASSERT_TRUE(catalog) << catalog.Reason();
    EXPECT_EQ(catalog->HeaderField("Language"), "de");
    for (PoEntry& entry : catalog->entries)
        if (entry.context == "Career #3: Career name") entry.str = "Leuchtturm \xC3\xBC";
    std::ofstream(file, std::ios::binary) << WritePo(*catalog);

    window->SelectLanguage(2);
    port.calls.clear();
    port.files = {file};
    window->MenuAction(QStringLiteral("&Career"), QStringLiteral("Import Tr&anslations..."))->trigger();
    EXPECT_EQ(port.Shown(),
              std::vector<std::string>{"Trackwright 2: Translations imported into German: 1 text changed."});
    EXPECT_EQ(window->CurrentLanguage(), 3);
    EXPECT_EQ(Shown(Field::CareerName), QStringLiteral("Leuchtturm \u00FC"));
    EXPECT_EQ(window->UndoAction()->text(), QStringLiteral("&Undo Import Translations"));
    EXPECT_FALSE(window->CareersUnchanged());
    window->Undo();
    EXPECT_EQ(Shown(Field::CareerName), before);
    EXPECT_TRUE(window->CareersUnchanged());
}

TEST_F(MainWindowCommandsTest, RestoringABackupRefillsTheListWithTheFirstRowSelected) {
    const auto backup = game.Path() / "backup.iff";
    port.files = {backup};
    window->Backup();
    const std::vector<std::string> names = [this] {
        std::vector<std::string> all;
        for (const Career& career : context.careerSet.careers) all.push_back(career.track.name);
        return all;
    }();

    SelectCareer(5);
    TypeInto(Field::InternalCareerName, QStringLiteral("Renamed"));
    ASSERT_EQ(window->CareerList()->RowText(5, 1), QStringLiteral("Renamed"));

    // No at the question changes nothing.
    port.calls.clear();
    port.files = {backup, backup};
    port.answers = {Answer::No, Answer::Yes};
    window->Import();
    EXPECT_EQ(window->CareerList()->RowText(5, 1), QStringLiteral("Renamed"));
    EXPECT_EQ(window->CareerList()->SelectedRow(), 5);

    window->Import();
    ASSERT_EQ(port.calls.size(), 5u);
    EXPECT_EQ(port.calls[1].message.title, "Question");
    EXPECT_EQ(port.calls[4].message.text, "Successfully restored!");
    EXPECT_EQ(window->CareerList()->RowCount(), 10);
    EXPECT_EQ(window->CareerList()->SelectedRow(), 0);
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(context.careerSet.careers[i].track.name, names[i]);
        EXPECT_EQ(window->CareerList()->RowText(static_cast<int>(i), 1), TextCodec::DecodeInternal(names[i]));
    }
    EXPECT_FALSE(window->CareersUnchanged());
}

}  // namespace
}  // namespace tw
