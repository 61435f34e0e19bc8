#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include "edit/EditSession.h"
#include "sample/SampleCareerData.h"
#include "support/ScriptedPort.h"
#include "ui/TranslationsDialog.h"

namespace tw {
namespace {

using Text = CareerTexts::Text;

TEST(TranslationsDialogTest, EditsInPlaceRefusesCopiesFiltersAndFollowsTheSession) {
    EditSession session;
    session.Context().careerSet = BuildSampleCareerData(1).careers;
    test::ScriptedPort port;
    TranslationsDialog dialog(session, 0, port);
    QSignalSpy edited(&dialog, &TranslationsDialog::Edited);
    dialog.show();
    EXPECT_TRUE(dialog.windowTitle().startsWith(QStringLiteral("Translations - ")));
    QTableView* table = dialog.Table();
    QAbstractItemModel* model = table->model();
    const int allRows = model->rowCount();
    const auto rowOf = [model](const char* label) {
        for (int row = 0; row < model->rowCount(); ++row)
            if (model->headerData(row, Qt::Vertical, Qt::DisplayRole).toString() == QLatin1String(label)) return row;
        ADD_FAILURE() << label << " is not shown";
        return 0;
    };
    const auto stored = [&session](const TranslatableText& text, std::uint16_t slot) {
        return TranslatableBytes(session.Careers(), text, slot);
    };

    // A job description typed in its cell's multi-line editor: Return starts a line, Tab stores.
    const QModelIndex description = model->index(rowOf("Level 0: Job description"), 3);
    table->setCurrentIndex(description);
    table->edit(description);
    auto* editor = table->viewport()->findChild<QPlainTextEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("Erste Zeile"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClicks(editor, QStringLiteral("zwei"));
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(stored({0, Text::JobDescription, 0}, 3), "Erste Zeile\r\nzwei");
    EXPECT_EQ(model->data(description).toString(), QStringLiteral("Erste Zeile\nzwei"));
    EXPECT_EQ(session.UndoName(), "Job Description");
    EXPECT_EQ(edited.count(), 1);

    // A character German lacks: the cell keeps its text and the person is told which.
    const int name = rowOf("Career name");
    const std::string german = stored({0, Text::CareerName, 0}, 3);
    EXPECT_FALSE(model->setData(model->index(name, 3), QStringLiteral("Imkerei ł")));
    QCoreApplication::processEvents();
    EXPECT_EQ(port.Shown(), std::vector<std::string>{
                                "trackwright: Left out \"ł\": German texts cannot hold these characters."});
    EXPECT_EQ(stored({0, Text::CareerName, 0}, 3), german);
    EXPECT_EQ(session.StepsDone(), 1u);

    // The current cell copied to every language, with Set All's warning for Japanese.
    port.calls.clear();
    const QString japanese = model->data(model->index(name, 9)).toString();
    // A name typed in its cell's line editor and stored with Return; Return presses no button.
    table->setCurrentIndex(model->index(name, 0));
    table->edit(model->index(name, 0));
    auto* line = table->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(line, nullptr);
    line->selectAll();
    for (const QChar c : QStringLiteral("Bees €"))
        QTest::sendKeyEvent(QTest::Click, line, Qt::Key_unknown, QString(c), Qt::NoModifier);
    QTest::keyClick(line, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(stored({0, Text::CareerName, 0}, 0), "Bees \x80");
    QTest::keyClick(table, Qt::Key_Return);
    EXPECT_TRUE(port.calls.empty());
    dialog.CopyButton()->click();
    EXPECT_EQ(port.Shown(), std::vector<std::string>{"Warning: Some characters have no place in the code page of "
                                                     "these languages and became \"?\": Japanese."});
    EXPECT_EQ(session.UndoName(), "Copy to All Languages");
    EXPECT_EQ(model->data(model->index(name, 9)).toString(), QStringLiteral("Bees ?"));
    EXPECT_EQ(model->data(model->index(name, 11)).toString(), QStringLiteral("Bees €"));
    EXPECT_EQ(edited.count(), 3);

    // Missing in Polish: every text but the career name, until an undo takes the copy back.
    dialog.Filter()->setCurrentIndex(dialog.Filter()->findText(QStringLiteral("Missing in Polish")));
    EXPECT_EQ(model->rowCount(), allRows - 1);
    EXPECT_EQ(model->headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("Male offer text"));
    session.Undo();
    dialog.Refresh();
    EXPECT_EQ(model->rowCount(), allRows);
    EXPECT_EQ(model->data(model->index(name, 0)).toString(), QStringLiteral("Bees €"));
    EXPECT_EQ(model->data(model->index(name, 9)).toString(), japanese);
    // A text typed into its cell leaves the filter's list while its editor is still committing.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    table->setCurrentIndex(model->index(name, 10));
    table->edit(model->index(name, 10));
    auto* polish = table->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(polish, nullptr);
    for (const QChar c : QStringLiteral("Pszczelarstwo"))
        QTest::sendKeyEvent(QTest::Click, polish, Qt::Key_unknown, QString(c), Qt::NoModifier);
    QTest::keyClick(polish, Qt::Key_Return);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(stored({0, Text::CareerName, 0}, 10), "Pszczelarstwo");
    EXPECT_EQ(model->rowCount(), allRows - 1);
    session.Undo();
    dialog.Refresh();

    // A career that is gone closes the window.
    session.Context().careerSet.careers.clear();
    dialog.Refresh();
    EXPECT_FALSE(dialog.isVisible());
}

}  // namespace
}  // namespace tw
