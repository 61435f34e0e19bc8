// The comforts of an editor in the main window: undo and redo by key wherever the focus is, the
// unsaved marker, Ctrl+S and Ctrl+Q, the review of the changes, typing that the language's code
// page cannot hold all of.
#include "MainWindowTestFixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>

#include "ui/ReviewChangesDialog.h"
#include "ui/TextCodec.h"

namespace tw {
namespace {

using Field = MainWindow::Field;

class MainWindowEditTest : public test::ShownMainWindowTest {
protected:
    void Press(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        target->setFocus();
        QTest::keyClick(target, key, modifiers);
    }
    QWidget* FieldOf(Field field) const { return window->FieldWidget(field); }
    QString Decoded(std::uint32_t career, std::uint16_t row, std::uint16_t slot) {
        return TextCodec::Decode(Text(career, row, slot), slot);
    }
};

TEST_F(MainWindowEditTest, UndoAndRedoByKeyWhereverTheFocusIsShowWhereTheChangeWas) {
    SelectCareer(2);
    SelectJob(3);
    window->SelectLanguage(2);
    const QString jobName = Shown(Field::MaleJobName);
    FieldOf(Field::MaleJobName)->setFocus();
    TypeAtEnd(Field::MaleJobName, QStringLiteral("abc"));  // three keys, one step
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_EQ(window->UndoAction()->text(), QStringLiteral("&Undo Male Job Name"));

    // Elsewhere: leaving the field ended its typing.
    window->CareerList()->setFocus();
    SelectCareer(5);
    window->SelectLanguage(0);
    const QString careerName = Shown(Field::CareerName);
    FieldOf(Field::CareerName)->setFocus();
    TypeAtEnd(Field::CareerName, QStringLiteral("X"));
    ASSERT_EQ(Text(5, 0, 0), careerName.toStdString() + "X");

    // Ctrl+Z inside the field is the window's undo, not the field's own.
    Press(FieldOf(Field::CareerName), Qt::Key_Z);
    EXPECT_EQ(Shown(Field::CareerName), careerName);
    EXPECT_EQ(Decoded(5, 0, 0), careerName);
    // From the career list, the step before: its career, level and language are shown.
    Press(window->CareerList(), Qt::Key_Z);
    EXPECT_EQ(window->CurrentCareer(), 2u);
    EXPECT_EQ(window->JobList()->SelectedRow(), 3);
    EXPECT_EQ(window->CurrentLanguage(), 2);
    EXPECT_TRUE(window->LanguageAction(2)->isChecked());
    EXPECT_EQ(Shown(Field::MaleJobName), jobName);
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_FALSE(window->UndoAction()->isEnabled());
    EXPECT_EQ(window->RedoAction()->text(), QStringLiteral("&Redo Male Job Name"));

    // Both redo keys, from a field.
    Press(FieldOf(Field::FemaleOffer), Qt::Key_Y);
    EXPECT_EQ(Shown(Field::MaleJobName), jobName + QStringLiteral("abc"));
    Press(FieldOf(Field::MaleOffer), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(window->CurrentCareer(), 5u);
    EXPECT_EQ(window->CurrentLanguage(), 0);
    EXPECT_EQ(Shown(Field::CareerName), careerName + QStringLiteral("X"));
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_TRUE(port.calls.empty());
}

TEST_F(MainWindowEditTest, UndoingAnInternalNameRenamesItsListRow) {
    const QString name = window->CareerList()->RowText(4, 1);
    SelectCareer(4);
    TypeInto(Field::InternalCareerName, QStringLiteral("Renamed"));
    ASSERT_EQ(window->CareerList()->RowText(4, 1), QStringLiteral("Renamed"));
    SelectCareer(0);
    window->Undo();
    EXPECT_EQ(window->CareerList()->RowText(4, 1), name);
    EXPECT_EQ(window->CareerList()->SelectedRow(), 4);
    EXPECT_EQ(Shown(Field::InternalCareerName), name);
    window->Redo();
    EXPECT_EQ(window->CareerList()->RowText(4, 1), QStringLiteral("Renamed"));
}

TEST_F(MainWindowEditTest, CtrlSSavesAndCtrlQExitsAsTheirMenuItemsDo) {
    TypeInto(Field::CareerName, QStringLiteral("Saved"));
    ASSERT_TRUE(window->isWindowModified());
    Press(FieldOf(Field::CareerName), Qt::Key_S);
    EXPECT_EQ(port.Shown(), std::vector<std::string>{"Trackwright 2: Operation complete!"});
    EXPECT_EQ(loads, 2);
    EXPECT_FALSE(window->isWindowModified());
    // The save keeps the history: undo reaches back past it.
    ASSERT_TRUE(window->UndoAction()->isEnabled());
    Press(window->CareerList(), Qt::Key_Z);
    EXPECT_TRUE(window->isWindowModified());

    port.calls.clear();
    port.answers = {Answer::Cancel};
    Press(FieldOf(Field::MaleOffer), Qt::Key_Q);
    EXPECT_EQ(port.Shown(), std::vector<std::string>{"Exit: Do you want to save the careers?"});
    EXPECT_FALSE(window->HasClosed());
    port.answers = {Answer::No};
    Press(window->CareerList(), Qt::Key_Q);
    EXPECT_TRUE(window->HasClosed());
}

TEST_F(MainWindowEditTest, TheReviewWindowListsEachChangeAndGoesToIt) {
    MainWindow::Dialogs dialogs;
    dialogs.jobDetails = [](QWidget*, const JobLevel& job, const Requirements&) {
        JobLevel changed = job;
        changed.values[17] = 4321;
        return std::optional<JobLevel>(changed);
    };
    dialogs.modifyIcons = [this](QWidget*, std::uint16_t number) {
        MainWindow::Icons icons;
        EXPECT_TRUE(context.iconStrips.GetButtonIcon(number, icons.button));
        icons.popup = Bitmap(84, 63);
        return std::optional<MainWindow::Icons>(icons);
    };
    window->SetDialogs(dialogs);
    const std::string careerName = Text(3, 0, 2);
    const std::int32_t salary = context.careerSet.careers[6].track.levels[2].values[17];
    SelectCareer(3);
    window->SelectLanguage(2);
    TypeInto(Field::CareerName, QStringLiteral("Banque"));
    window->MenuAction(QStringLiteral("&File"), QStringLiteral("Review &Changes..."))->trigger();
    ReviewChangesDialog* review = window->ReviewWindow();
    ASSERT_NE(review, nullptr);
    EXPECT_TRUE(review->isVisible());
    ASSERT_EQ(review->List()->topLevelItemCount(), 1);

    // Changes made while it is open come into it; the rows follow the careers' order.
    SelectCareer(6);
    SelectJob(2);
    window->OpenJobDetails();
    window->ModifyIcons();
    QTreeWidget* list = review->List();
    ASSERT_EQ(list->topLevelItemCount(), 3);
    const auto row = [list](int index) {
        QStringList texts;
        for (int column = 0; column < ReviewChangesDialog::ColumnCount; ++column) texts << list->topLevelItem(index)->text(column);
        return texts.join(QStringLiteral(" | "));
    };
    const QString career3 = QStringLiteral("#4 ") + window->CareerList()->RowText(3, 1);
    const QString career6 = QStringLiteral("#7 ") + window->CareerList()->RowText(6, 1);
    EXPECT_EQ(row(0), career3 + QStringLiteral(" |  | French | Career Name | ") + TextCodec::Decode(careerName, 2) +
                          QStringLiteral(" | Banque"));
    EXPECT_EQ(row(1), career6 + QStringLiteral(" | #2 |  | Salary | %1 | 4321").arg(salary));
    EXPECT_EQ(row(2), career6 + QStringLiteral(" |  |  | Popup Icon |  | "));  // the button icon is the same
    // Icons are shown as pictures: a black one after, the career's own before.
    const QPixmap after = list->topLevelItem(2)->data(ReviewChangesDialog::AfterColumn, Qt::DecorationRole).value<QPixmap>();
    EXPECT_EQ(after.size(), QSize(84, 63));
    EXPECT_EQ(after.toImage().pixelColor(10, 10), QColor(0, 0, 0));
    EXPECT_FALSE(list->topLevelItem(2)->data(ReviewChangesDialog::BeforeColumn, Qt::DecorationRole).isNull());

    // Going to the first change shows its career in its language.
    window->SelectLanguage(0);
    list->setCurrentItem(list->topLevelItem(0));
    review->GoToButton()->click();
    EXPECT_EQ(window->CurrentCareer(), 3u);
    EXPECT_EQ(window->CurrentLanguage(), 2);
    EXPECT_EQ(Shown(Field::CareerName), QStringLiteral("Banque"));
    list->setCurrentItem(list->topLevelItem(1));
    review->GoToSelected();
    EXPECT_EQ(window->CurrentCareer(), 6u);
    EXPECT_EQ(window->JobList()->SelectedRow(), 2);

    // Undone, nothing is left to review.
    while (window->UndoAction()->isEnabled()) window->Undo();
    EXPECT_EQ(list->topLevelItemCount(), 0);
    EXPECT_EQ(review->Summary()->text(), QStringLiteral("Nothing differs from the game's files as last loaded or saved."));
    EXPECT_TRUE(port.calls.empty());
}

TEST_F(MainWindowEditTest, PastingKeepsWhatTheLanguageHoldsAndSaysWhatWasLeftOut) {
    SelectCareer(1);
    const QString pasted = QString::fromUtf8("Imkerei \u65E5\u672C Stra\u00DFe");
    QApplication::clipboard()->setText(pasted);
    struct Case {
        std::uint16_t slot;
        Field field;
        QString kept;
        QString notice;
    };
    const Case cases[] = {
        {3, Field::CareerName, QString::fromUtf8("Imkerei  Stra\u00DFe"),
         QString::fromUtf8("Left out \"\u65E5\u672C\": German texts cannot hold these characters.")},
        {9, Field::CareerName, QString::fromUtf8("Imkerei \u65E5\u672C Strae"),
         QString::fromUtf8("Left out \"\u00DF\": Japanese texts cannot hold these characters.")},
        {0, Field::InternalCareerName, QString::fromUtf8("Imkerei  Stra\u00DFe"),
         QString::fromUtf8("Left out \"\u65E5\u672C\": internal names cannot hold these characters.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.slot);
        window->SelectLanguage(c.slot);
        TypeInto(c.field, QStringLiteral("Old"));
        auto* line = qobject_cast<QLineEdit*>(FieldOf(c.field));
        line->setFocus();
        line->selectAll();
        line->paste();
        EXPECT_EQ(line->text(), c.kept);
        EXPECT_EQ(line->cursorPosition(), c.kept.size());
        EXPECT_EQ(window->statusBar()->currentMessage(), c.notice);
        if (c.field == Field::CareerName) {
            EXPECT_EQ(Decoded(1, 0, c.slot), c.kept);
        } else {
            EXPECT_EQ(TextCodec::DecodeInternal(context.careerSet.careers[1].track.name), c.kept);
            EXPECT_EQ(window->CareerList()->RowText(1, 1), c.kept);
        }
    }
    EXPECT_TRUE(port.calls.empty());
}

TEST_F(MainWindowEditTest, AnEmptyLanguageFieldNamesTheLanguageInGrey) {
    window->SelectLanguage(13);
    const auto hint = [this](Field field) { return qobject_cast<QLineEdit*>(FieldOf(field))->placeholderText(); };
    EXPECT_EQ(hint(Field::FemaleJobName), QStringLiteral("No Thai text"));
    EXPECT_TRUE(hint(Field::InternalCareerName).isEmpty());
    window->JobList()->clearSelection();  // the job fields cannot be used: no hint
    EXPECT_TRUE(hint(Field::FemaleJobName).isEmpty());
}

}  // namespace
}  // namespace tw
