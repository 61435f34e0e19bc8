#include "MainWindowTestFixture.h"
#include "ModalDriver.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include "icons/Bitmap.h"
#include "ui/BitmapImage.h"
#include "ui/ChanceCardDialog.h"
#include "ui/DialogUnits.h"
#include "ui/EditorImages.h"
#include "ui/JobDetailsDialog.h"
#include "ui/ModifyIconsDialog.h"
#include "ui/TextCodec.h"
#include "text/TextCodec.h"

namespace tw {
namespace {

using test::MainWindowTest;
using Field = MainWindow::Field;

// Which of the window's controls can be used, in a form that prints well when a test fails.
std::string EnabledControls(const MainWindow& window) {
    std::string enabled;
    const auto add = [&enabled](bool on, const char* name) {
        if (on) enabled += std::string(enabled.empty() ? "" : " ") + name;
    };
    add(window.CareerList()->isEnabled(), "careers");
    add(window.JobList()->isEnabled(), "jobs");
    const char* fieldNames[] = {"internal", "name", "maleOffer", "femaleOffer", "maleJob", "femaleJob", "description"};
    for (int field = 0; field < MainWindow::FieldCount; ++field)
        add(window.FieldWidget(static_cast<Field>(field))->isEnabled(), fieldNames[field]);
    add(window.ModifyIconsButton()->isEnabled(), "icons");
    add(window.JobDetailsButton()->isEnabled(), "details");
    add(window.ChanceCardsButton()->isEnabled(), "cards");
    return enabled;
}

constexpr const char* AllControls =
    "careers jobs internal name maleOffer femaleOffer maleJob femaleJob description icons details cards";
constexpr const char* CareerControls = "careers jobs internal name maleOffer femaleOffer icons";

TEST(MainWindowLayoutTest, WindowHasItsTitleSizeMenusAndNothingUsableBeforeTheLoad) {
    EditSession session;
    test::ScriptedPort port;
    MainWindow window(session, port, [](GameContext&) { return LoadRequest::Failed; });
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Trackwright 2.1[*]"));
    EXPECT_FALSE(window.isWindowModified());
    // The designed size is the first and the smallest.
    const DialogUnits units(DialogUnits::DialogFont());
    EXPECT_EQ(window.centralWidget()->size(), units.Size(404, 303));
    EXPECT_EQ(window.minimumSize(), window.size());
    EXPECT_GT(window.maximumSize().width(), window.size().width());
    EXPECT_EQ(EnabledControls(window), "careers");

    for (const auto& [menu, item] : std::initializer_list<std::pair<const char*, const char*>>{
             {"&File", "&Reload"}, {"&File", "&Save"}, {"&File", "E&xit"}, {"&Career", "&Import"},
             {"&Career", "&Export"}, {"&Career", "&Backup"}, {"&Language", "Set &All"}, {"&Help", "&About"}})
        EXPECT_NE(window.MenuAction(QString::fromLatin1(menu), QString::fromLatin1(item)), nullptr) << menu << " > " << item;
    // Alt and a letter reach every menu and every item in it, each letter once per menu.
    QString topLetters;
    for (QAction* top : window.menuBar()->actions()) {
        const int amp = static_cast<int>(top->text().indexOf(QLatin1Char('&')));
        ASSERT_GE(amp, 0) << top->text().toStdString();
        EXPECT_FALSE(topLetters.contains(top->text()[amp + 1].toLower())) << top->text().toStdString();
        topLetters += top->text()[amp + 1].toLower();
        QString letters;
        for (QAction* action : top->menu()->actions()) {
            if (action->isSeparator()) continue;
            const int at = static_cast<int>(action->text().indexOf(QLatin1Char('&')));
            ASSERT_GE(at, 0) << action->text().toStdString();
            const QChar letter = action->text()[at + 1].toLower();
            EXPECT_FALSE(letters.contains(letter)) << action->text().toStdString();
            letters += letter;
        }
    }
    EXPECT_EQ(topLetters, QStringLiteral("feclh"));
    // Alt and a letter reach each button and field once, and never instead of a menu.
    QString windowLetters = topLetters;
    for (QWidget* widget : window.centralWidget()->findChildren<QWidget*>()) {
        QString text;
        if (auto* button = qobject_cast<QPushButton*>(widget)) text = button->text();
        if (auto* label = qobject_cast<QLabel*>(widget); label != nullptr && label->buddy() != nullptr) text = label->text();
        if (text.isEmpty()) continue;
        const int at = static_cast<int>(text.indexOf(QLatin1Char('&')));
        ASSERT_GE(at, 0) << text.toStdString();
        EXPECT_FALSE(windowLetters.contains(text[at + 1].toLower())) << text.toStdString();
        windowLetters += text[at + 1].toLower();
    }
    for (std::uint16_t slot = 0; slot < 15; ++slot) {
        QAction* action = window.LanguageAction(slot);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text().remove(QLatin1Char('&')), QString::fromLatin1(MainWindow::LanguageNames()[slot]));
        EXPECT_FALSE(action->isChecked()) << "no language is marked before the load";
    }
    EXPECT_EQ(window.LanguageAction(15), nullptr);

    // A failed load ends the window before it is shown.
    EXPECT_FALSE(window.Start());
    EXPECT_TRUE(window.HasClosed());
    EXPECT_EQ(window.Result(), MainWindow::LoadFailed);
    EXPECT_TRUE(port.calls.empty());
}

TEST_F(MainWindowTest, AfterTheLoadTheFirstCareerAndUSEnglishAreSelected) {
    EXPECT_TRUE(window->FilesLoaded());
    EXPECT_TRUE(window->CareersUnchanged());
    EXPECT_EQ(window->CareerList()->SelectedRow(), 0);
    EXPECT_EQ(window->CareerList()->RowCount(), 10);
    EXPECT_EQ(window->CareerList()->RowText(0, 0), QStringLiteral("#1"));
    EXPECT_EQ(window->CareerList()->RowText(9, 0), QStringLiteral("#10"));
    EXPECT_EQ(window->CareerList()->RowText(0, 1), TextCodec::DecodeInternal(context.careerSet.careers[0].track.name));
    EXPECT_EQ(window->JobList()->RowCount(), 10);
    EXPECT_EQ(window->JobList()->RowText(3, 0), QStringLiteral("#3"));
    EXPECT_EQ(window->JobList()->SelectedRow(), 0);
    for (std::uint16_t slot = 0; slot < 15; ++slot) EXPECT_EQ(window->LanguageAction(slot)->isChecked(), slot == 0);
    EXPECT_EQ(EnabledControls(*window), AllControls);

    EXPECT_EQ(Shown(Field::InternalCareerName), TextCodec::DecodeInternal(context.careerSet.careers[0].track.name));
    EXPECT_EQ(Shown(Field::CareerName), TextCodec::Decode(Text(0, 0, 0), 0));
    EXPECT_EQ(Shown(Field::MaleJobName), TextCodec::Decode(Text(0, 3, 0), 0));
    EXPECT_EQ(Shown(Field::FemaleJobName), TextCodec::Decode(Text(0, 23, 0), 0));
    EXPECT_EQ(Shown(Field::JobDescription), TextCodec::Decode(Text(0, 4, 0), 0));

    // The preview shows the career's popup icon at its real size.
    Bitmap icon;
    ASSERT_TRUE(context.iconStrips.GetPopupIcon(context.careerSet.careers[0].id, icon));
    EXPECT_EQ(window->IconPreview()->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
              ToQImage(icon).convertToFormat(QImage::Format_RGB32));
}

TEST_F(MainWindowTest, TheJobRowIsRememberedAcrossCareersAndTheMomentInBetween) {
    SelectJob(4);
    EXPECT_EQ(window->CurrentLevel(), 4);
    SelectCareer(1);
    EXPECT_EQ(window->CurrentCareer(), 1u);
    EXPECT_EQ(window->JobList()->SelectedRow(), 4);
    EXPECT_EQ(window->CurrentLevel(), 4);
    EXPECT_EQ(Shown(Field::MaleJobName), TextCodec::Decode(Text(1, 3 + 2 * 4, 0), 0));

    // No career selected: everything but the career list is off and empty, and the row is kept.
    window->CareerList()->clearSelection();
    EXPECT_EQ(window->RememberedJobRow(), 4);
    EXPECT_EQ(EnabledControls(*window), "careers");
    EXPECT_EQ(window->JobList()->RowCount(), 0);
    for (int field = 0; field < MainWindow::FieldCount; ++field)
        EXPECT_TRUE(Shown(static_cast<Field>(field)).isEmpty()) << field;
    EXPECT_EQ(window->IconPreview()->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
              popupPlaceholder().convertToFormat(QImage::Format_RGB32));

    SelectCareer(3);
    EXPECT_EQ(window->JobList()->SelectedRow(), 4);
    EXPECT_EQ(window->RememberedJobRow(), 4);

    // A career with fewer levels has no such row: no level, the job side off and empty.
    context.careerSet.careers[2].track.levels.resize(3);
    SelectCareer(2);
    EXPECT_EQ(window->JobList()->RowCount(), 3);
    EXPECT_EQ(window->JobList()->SelectedRow(), -1);
    EXPECT_EQ(EnabledControls(*window), CareerControls);
    for (const Field field : {Field::MaleJobName, Field::FemaleJobName, Field::JobDescription})
        EXPECT_TRUE(Shown(field).isEmpty()) << field;

    // Choosing a level there turns the job side on again.
    SelectJob(1);
    EXPECT_EQ(EnabledControls(*window), AllControls);
    window->JobList()->clearSelection();
    EXPECT_EQ(EnabledControls(*window), CareerControls);
    EXPECT_TRUE(port.calls.empty());
}

TEST_F(MainWindowTest, EachFieldStoresIntoItsRowInTheCurrentLanguage) {
    SelectCareer(2);
    SelectJob(3);
    window->SelectLanguage(2);  // French: Windows-1252
    struct Case {
        Field field;
        std::uint16_t row;
    };
    const Case cases[] = {{Field::CareerName, 0},      {Field::MaleOffer, 1},      {Field::FemaleOffer, 2},
                          {Field::MaleJobName, 3 + 6}, {Field::FemaleJobName, 23 + 3}, {Field::JobDescription, 4 + 6}};
    for (const Case& c : cases) {
        const StringTable before = Texts(2);
        TypeInto(c.field, QString::fromUtf8("Ébéniste à l'œuvre"));
        EXPECT_EQ(Text(2, c.row, 2), "\xC9" "b\xE9niste \xE0 l'\x9Cuvre") << c.field;
        // Nothing else of the table changed: the other slots of the row, the other rows.
        for (std::uint16_t row = 0; row < 33; ++row)
            for (std::uint16_t slot = 0; slot < 16; ++slot) {
                if (row == c.row && slot == 2) continue;
                std::string was, is;
                before.GetText(row, slot, StringTable::Value, was);
                Texts(2).GetText(row, slot, StringTable::Value, is);
                ASSERT_EQ(was, is) << "field " << c.field << " row " << row << " slot " << slot;
            }
    }
    EXPECT_FALSE(window->CareersUnchanged());
    // Typing a job name leaves the job list, which shows the internal job names.
    EXPECT_EQ(window->JobList()->RowText(3, 1), TextCodec::DecodeInternal(context.careerSet.careers[2].track.levels[3].texts[0]));
}

TEST_F(MainWindowTest, MultiLineFieldsKeepTheStoredLineBreaks) {
    Texts(0).SetText(1, 0, StringTable::Value, "First\r\nsecond");
    Texts(0).SetText(2, 0, StringTable::Value, "First\nsecond");
    SelectCareer(1);
    SelectCareer(0);
    EXPECT_EQ(Shown(Field::MaleOffer), QStringLiteral("First\nsecond"));
    EXPECT_EQ(Shown(Field::FemaleOffer), QStringLiteral("First\nsecond"));
    TypeAtEnd(Field::MaleOffer, QStringLiteral("!"));
    EXPECT_EQ(Text(0, 1, 0), "First\r\nsecond!");
    TypeAtEnd(Field::FemaleOffer, QStringLiteral("!"));
    EXPECT_EQ(Text(0, 2, 0), "First\nsecond!");
    // A new line break takes the form of the stored ones.
    auto* edit = qobject_cast<QPlainTextEdit*>(window->FieldWidget(Field::MaleOffer));
    edit->moveCursor(QTextCursor::End);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(Text(0, 1, 0), "First\r\nsecond!\r\n");
}

TEST_F(MainWindowTest, TextsNobodyEditsKeepTheirBytes) {
    // 0x81 has no character in Windows-1252; the field shows it as a stand-in that maps back.
    Texts(0).SetText(0, 0, StringTable::Value, "Bee\x81keeping");
    SelectCareer(1);
    SelectCareer(0);
    TypeInto(Field::MaleOffer, QStringLiteral("Other"));
    EXPECT_EQ(Text(0, 0, 0), "Bee\x81keeping");

    TypeAtEnd(Field::CareerName, QStringLiteral("s"));
    EXPECT_EQ(Text(0, 0, 0), "Bee\x81keepings");

    // The window's own fills store nothing, and changing the language neither.
    const StringTable before = Texts(0);
    for (const std::uint16_t slot : std::initializer_list<std::uint16_t>{9, 3, 0}) window->SelectLanguage(slot);
    SelectJob(5);
    for (std::uint16_t row = 0; row < 33; ++row)
        for (std::uint16_t slot = 0; slot < 16; ++slot) {
            std::string was, is;
            before.GetText(row, slot, StringTable::Value, was);
            Texts(0).GetText(row, slot, StringTable::Value, is);
            ASSERT_EQ(was, is) << row << "/" << slot;
        }
}

TEST_F(MainWindowTest, TextsThatTheCodePageCannotHoldAreRefused) {
    const std::string before = Text(0, 0, 0);
    TypeAtEnd(Field::CareerName, QString::fromUtf8("\u65E5"));  // no such character in Windows-1252
    EXPECT_EQ(Text(0, 0, 0), before);
    EXPECT_EQ(Shown(Field::CareerName), TextCodec::Decode(before, 0));
    EXPECT_TRUE(window->CareersUnchanged());

    // The same character is a Japanese text's own.
    window->SelectLanguage(9);
    const std::string japanese = Text(0, 0, 9);
    TypeAtEnd(Field::CareerName, QString::fromUtf8("\u65E5"));
    EXPECT_EQ(Text(0, 0, 9), japanese + "\x93\xFA");
    EXPECT_FALSE(window->CareersUnchanged());
}

TEST_F(MainWindowTest, TypingTheInternalCareerNameRenamesTheListRowAtOnce) {
    SelectCareer(4);
    auto* internal = qobject_cast<QLineEdit*>(window->FieldWidget(Field::InternalCareerName));
    internal->selectAll();
    for (const QChar c : QString::fromUtf8("Caf\u00E9s")) {
        Type(internal, QString(c));
        EXPECT_EQ(window->CareerList()->RowText(4, 1), internal->text());
    }
    EXPECT_EQ(internal->text(), QString::fromUtf8("Caf\u00E9s"));
    EXPECT_EQ(context.careerSet.careers[4].track.name, "Caf\xE9s");
    EXPECT_FALSE(window->CareersUnchanged());
    // No other row and no language text changed.
    EXPECT_EQ(window->CareerList()->RowText(3, 1), TextCodec::DecodeInternal(context.careerSet.careers[3].track.name));
}

TEST_F(MainWindowTest, SwitchingTheLanguageRefreshesExactlyTheSixLanguageTexts) {
    SelectCareer(1);
    SelectJob(2);
    const QString internal = Shown(Field::InternalCareerName);
    const QString jobRow = window->JobList()->RowText(2, 1);
    for (const std::uint16_t slot : std::initializer_list<std::uint16_t>{3, 5, 9, 1, 0}) {
        window->SelectLanguage(slot);
        EXPECT_EQ(window->CurrentLanguage(), slot);
        for (std::uint16_t other = 0; other < 15; ++other) EXPECT_EQ(window->LanguageAction(other)->isChecked(), other == slot);
        EXPECT_EQ(Shown(Field::InternalCareerName), internal);
        EXPECT_EQ(window->JobList()->RowText(2, 1), jobRow);
        const std::pair<Field, std::uint16_t> rows[] = {{Field::CareerName, 0},    {Field::MaleOffer, 1},
                                                        {Field::FemaleOffer, 2},   {Field::MaleJobName, 7},
                                                        {Field::FemaleJobName, 25}, {Field::JobDescription, 8}};
        for (const auto& [field, row] : rows) {
            QString expected = TextCodec::Decode(Text(1, row, slot), slot);
            expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            EXPECT_EQ(Shown(field), expected) << "slot " << slot << " row " << row;
        }
    }
    // Without a level the job fields stay empty in every language.
    window->JobList()->clearSelection();
    window->SelectLanguage(2);
    EXPECT_TRUE(Shown(Field::MaleJobName).isEmpty());
    EXPECT_EQ(Shown(Field::CareerName), TextCodec::Decode(Text(1, 0, 2), 2));
    EXPECT_TRUE(window->CareersUnchanged());
}

TEST_F(MainWindowTest, SetAllCopiesTheCurrentLanguageAsAnswered) {
    struct Case {
        const char* name;
        std::vector<Answer> answers;
        bool careerTexts;
        bool cardTexts;
    };
    const Case cases[] = {{"No", {Answer::No}, false, false},
                          {"Yes then No", {Answer::Yes, Answer::No}, true, false},
                          {"Yes then Yes", {Answer::Yes, Answer::Yes}, true, true}};
    SelectCareer(1);
    window->SelectLanguage(2);
    CareerSet& set = context.careerSet;
    const CareerSet pristine = set;
    // In this order, so that the first case finds the model unchanged.
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        set = pristine;
        // Three cards of the career: one with a text row, one without, one whose row is missing.
        ChanceCard& withText = set.careers[1].cards[0];
        ASSERT_NE(withText.textRow, 0);
        set.careers[1].cards[1].textRow = 0;
        set.careers[1].cards[2].textRow = static_cast<std::uint16_t>(set.cardTexts.table.RowCount() + 5);
        const StringTable cardsBefore = set.cardTexts.table;
        const StringTable careerBefore = Texts(1);
        const StringTable otherCareerBefore = Texts(2);
        const std::size_t cardRows = set.cardTexts.table.RowCount();

        port.calls.clear();
        port.answers.assign(c.answers.begin(), c.answers.end());
        window->SetAllLanguages();
        ASSERT_GE(port.calls.size(), 1u);
        EXPECT_EQ(port.calls[0].message.text,
                  "Do you really want to set the texts of all other languages to the current language?");
        EXPECT_EQ(port.calls[0].message.title, "Warning");
        EXPECT_EQ(port.calls[0].message.buttons, MessageButtons::YesNo);
        EXPECT_EQ(port.calls[0].message.icon, MessageIcon::Question);
        if (c.answers.size() > 1) {
            ASSERT_EQ(port.calls.size(), 3u);
            EXPECT_EQ(port.calls[1].message.text, "Do you want to set the texts of the Chance Cards as well?");
            EXPECT_EQ(port.calls[1].message.title, port.applicationName);
            EXPECT_EQ(port.calls[1].message.buttons, MessageButtons::YesNo);
            // French accents have no place in some code pages: told once, at the end.
            EXPECT_EQ(port.calls[2].message.title, "Warning");
            EXPECT_EQ(port.calls[2].message.text.rfind("Some characters have no place in the code page", 0), 0u);
        }
        EXPECT_EQ(window->CareersUnchanged(), !c.careerTexts);

        for (std::uint16_t row = 0; row < 33; ++row) {
            std::string french;
            careerBefore.GetText(row, 2, StringTable::Value, french);
            for (std::uint16_t slot = 0; slot < 16; ++slot) {
                std::string was, is;
                careerBefore.GetText(row, slot, StringTable::Value, was);
                Texts(1).GetText(row, slot, StringTable::Value, is);
                const bool copied = c.careerTexts && slot < 15;
                const std::string converted = ConvertText(french, SlotCodePage(2), SlotCodePage(slot)).bytes;
                ASSERT_EQ(is, copied ? converted : was) << "row " << row << " slot " << slot;
                otherCareerBefore.GetText(row, slot, StringTable::Value, was);
                Texts(2).GetText(row, slot, StringTable::Value, is);
                ASSERT_EQ(is, was) << "only the selected career is touched";
            }
        }
        EXPECT_EQ(set.cardTexts.table.RowCount(), cardRows);
        const auto row = static_cast<std::uint16_t>(withText.textRow - 1);
        std::string french;
        cardsBefore.GetText(row, 2, StringTable::Value, french);
        for (std::uint16_t slot = 0; slot < 16; ++slot) {
            std::string was, is;
            cardsBefore.GetText(row, slot, StringTable::Value, was);
            set.cardTexts.table.GetText(row, slot, StringTable::Value, is);
            const std::string converted = ConvertText(french, SlotCodePage(2), SlotCodePage(slot)).bytes;
            EXPECT_EQ(is, c.cardTexts && slot < 15 ? converted : was) << "slot " << slot;
        }
    }
}

TEST_F(MainWindowTest, JobDetailsReplaceTheLevelOnOkOnly) {
    std::optional<JobLevel> answer;
    std::array<std::int32_t, 7> offered{};
    MainWindow::Dialogs dialogs;
    dialogs.jobDetails = [&](QWidget*, const JobLevel& job, const std::array<std::int32_t, 7>& previous) {
        offered = previous;
        EXPECT_EQ(job, context.careerSet.careers[3].track.levels[window->CurrentLevel()]);
        return answer;
    };
    window->SetDialogs(dialogs);
    SelectCareer(3);

    SelectJob(0);
    window->OpenJobDetails();  // Cancel
    EXPECT_EQ(offered, (std::array<std::int32_t, 7>{}));
    EXPECT_TRUE(window->CareersUnchanged());

    SelectJob(6);
    JobLevel edited = context.careerSet.careers[3].track.levels[6];
    edited.texts[0] = "Renamed";
    edited.values[17] = 4321;
    answer = edited;
    window->OpenJobDetails();
    const std::vector<JobLevel>& levels = context.careerSet.careers[3].track.levels;
    for (std::size_t i = 0; i < 7; ++i) EXPECT_EQ(offered[i], levels[5].values[i]) << i;
    EXPECT_EQ(levels[6], edited);
    EXPECT_EQ(window->JobList()->RowText(6, 1), QStringLiteral("Renamed"));
    EXPECT_FALSE(window->CareersUnchanged());
}

TEST_F(MainWindowTest, ChanceCardsStoreTheDialogsCardAtItsCareerAndLevel) {
    std::optional<std::vector<CardItem>> answer;
    std::uint16_t languageSeen = 99;
    MainWindow::Dialogs dialogs;
    dialogs.chanceCard = [&](QWidget*, std::uint16_t textRow, const std::vector<CardItem>& items, std::uint16_t slot,
                             const MainWindow::CardConfirm& confirm) {
        const ChanceCard& card = context.careerSet.careers[4].cards[7];
        EXPECT_EQ(textRow, card.textRow);
        EXPECT_EQ(items, card.items);
        languageSeen = slot;
        if (answer) confirm(*answer, "Ein neuer Text");
    };
    window->SetDialogs(dialogs);
    SelectCareer(4);
    SelectJob(7);
    window->SelectLanguage(3);
    const CareerSet before = context.careerSet;
    window->OpenChanceCards();  // Cancel
    EXPECT_EQ(languageSeen, 3);
    EXPECT_TRUE(window->CareersUnchanged());

    answer = std::vector<CardItem>{{1, 0, 500}, {4, 2, 312}};
    window->OpenChanceCards();
    const ChanceCard& card = context.careerSet.careers[4].cards[7];
    ASSERT_NE(card.textRow, 0);
    EXPECT_EQ(card.items, *answer);
    EXPECT_EQ(context.careerSet.cardTexts.Get(card.textRow, 3), "Ein neuer Text");
    for (std::size_t career = 0; career < before.Count(); ++career)
        for (std::uint32_t level = 0; level < Career::CardCount; ++level)
            if (career != 4 || level != 7) {
                EXPECT_EQ(context.careerSet.careers[career].cards[level], before.careers[career].cards[level]);
            }
    EXPECT_FALSE(window->CareersUnchanged());
}

TEST_F(MainWindowTest, ALevelFromTenUpHasNeitherCardNorTextRows) {
    bool opened = false;
    MainWindow::Dialogs dialogs;
    dialogs.chanceCard = [&](QWidget*, std::uint16_t, const std::vector<CardItem>&, std::uint16_t,
                             const MainWindow::CardConfirm&) { opened = true; };
    window->SetDialogs(dialogs);
    context.careerSet.careers[0].track.levels.push_back(context.careerSet.careers[0].track.levels.back());
    SelectCareer(1);
    SelectCareer(0);
    SelectJob(10);
    EXPECT_EQ(window->CurrentLevel(), 10);
    EXPECT_EQ(EnabledControls(*window), std::string(CareerControls) + " details");
    EXPECT_TRUE(Shown(Field::MaleJobName).isEmpty());
    window->OpenChanceCards();
    EXPECT_FALSE(opened);
    // Level 9 still has both.
    SelectJob(9);
    EXPECT_EQ(EnabledControls(*window), AllControls);
}

TEST_F(MainWindowTest, ChanceCardsStayOffWhileChanceCardEditingIsDisabled) {
    context.chanceCardsDisabled = 1;
    for (const int career : {2, 5}) {
        SelectCareer(career);
        for (const int job : {0, 4, 9}) {
            SelectJob(job);
            EXPECT_FALSE(window->ChanceCardsButton()->isEnabled());
            EXPECT_TRUE(window->JobDetailsButton()->isEnabled());
        }
    }
}

TEST_F(MainWindowTest, ModifyIconsRefreshesThePreviewAfterOk) {
    window->ModifyIcons();  // no dialog yet: nothing happens
    EXPECT_TRUE(window->CareersUnchanged());

    MainWindow::Dialogs dialogs;
    std::uint32_t numberSeen = 0;
    dialogs.modifyIcons = [&](QWidget*, std::uint16_t number) {
        numberSeen = number;
        MainWindow::Icons icons;
        EXPECT_TRUE(context.iconStrips.GetButtonIcon(number, icons.button));
        icons.popup = Bitmap(84, 63);
        for (auto& pixel : icons.popup.pixels) pixel = 0xFF0000;
        return std::optional<MainWindow::Icons>(icons);
    };
    window->SetDialogs(dialogs);
    SelectCareer(6);
    window->ModifyIcons();
    EXPECT_EQ(numberSeen, context.careerSet.careers[6].id);
    EXPECT_FALSE(window->CareersUnchanged());
    const QImage shown = window->IconPreview()->pixmap().toImage();
    EXPECT_EQ(shown.size(), QSize(84, 63));
    EXPECT_EQ(shown.pixelColor(40, 30), QColor(255, 0, 0));
}

TEST_F(MainWindowTest, ModifyIconsOpensTheIconDialogOfTheSelectedCareer) {
    window->SetDialogs(MainWindow::DefaultDialogs(session, port));
    SelectCareer(5);
    std::uint32_t shownNumber = 0;
    test::ModalDriver driver;
    driver
        .Then<ModifyIconsDialog>([&](ModifyIconsDialog* dialog) {
            shownNumber = dialog->IconNumber();
            dialog->findChild<QPushButton*>(QStringLiteral("cancel"))->click();
        })
        .Then<ModifyIconsDialog>(
            [](ModifyIconsDialog* dialog) { dialog->findChild<QPushButton*>(QStringLiteral("ok"))->click(); });
    window->ModifyIcons();
    EXPECT_EQ(shownNumber, context.careerSet.careers[5].id);
    EXPECT_TRUE(window->CareersUnchanged());
    window->ModifyIcons();
    EXPECT_TRUE(driver.Finished());
    // OK without an import hands back the icons the strips hold: no edit.
    EXPECT_TRUE(window->CareersUnchanged());
    EXPECT_TRUE(port.calls.empty());
}

TEST_F(MainWindowTest, TheJobAndCardDialogsHandBackWhatWasTypedInThem) {
    window->SetDialogs(MainWindow::DefaultDialogs(session, port));
    const auto& cards = context.careerSet.careers[0].cards;
    std::size_t level = 0;
    while (level < 10 && (cards[level].textRow == 0 || cards[level].items.empty())) ++level;
    ASSERT_LT(level, 10u) << "the first career has a card with a text and items";
    SelectJob(static_cast<int>(level));

    const auto typeAndConfirm = [](QDialog* dialog, const char* fieldName, const QString& text) {
        QWidget* field = dialog->findChild<QWidget*>(QString::fromLatin1(fieldName));
        ASSERT_NE(field, nullptr) << fieldName;
        if (auto* line = qobject_cast<QLineEdit*>(field)) line->selectAll();
        if (auto* edit = qobject_cast<QPlainTextEdit*>(field)) edit->selectAll();
        Type(field, text);
        dialog->findChild<QPushButton*>(QStringLiteral("ok"))->click();
    };
    test::ModalDriver driver;
    driver
        .Then<JobDetailsDialog>([&](JobDetailsDialog* dialog) {
            typeAndConfirm(dialog, JobDetailsDialog::FieldObjectName(JobDetailsDialog::InternalName),
                           QStringLiteral("Renamed job"));
        })
        .Then<ChanceCardDialog>(
            [&](ChanceCardDialog* dialog) { typeAndConfirm(dialog, "text", QStringLiteral("A new card text")); });
    window->OpenJobDetails();
    window->OpenChanceCards();
    EXPECT_TRUE(driver.Finished());

    EXPECT_EQ(context.careerSet.careers[0].track.levels[level].texts[0], "Renamed job");
    EXPECT_EQ(window->JobList()->RowText(static_cast<int>(level), 1), QStringLiteral("Renamed job"));
    ASSERT_NE(cards[level].textRow, 0);
    EXPECT_EQ(context.careerSet.cardTexts.Get(cards[level].textRow, 0), "A new card text");
    EXPECT_FALSE(window->CareersUnchanged());
    EXPECT_TRUE(port.calls.empty());
}

TEST_F(MainWindowTest, EnterAndEscapeDoNotCloseTheWindow) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        QTest::keyClick(window.get(), key);
        QTest::keyClick(window->CareerList(), key);
        QTest::keyClick(window->FieldWidget(Field::CareerName), key);
    }
    EXPECT_FALSE(window->HasClosed());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(port.calls.empty());
    window->hide();
}

}  // namespace
}  // namespace tw
