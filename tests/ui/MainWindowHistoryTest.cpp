// The window's one history, wherever the person is: a dialog confirmed without a change adds no
// step to it, the text fields' own context menus undo and redo through it, and its keys work
// while the review window has the focus.
#include "MainWindowTestFixture.h"
#include "ModalDriver.h"

#include <functional>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

#include "ui/CheckGameDialog.h"
#include "ui/LevelTableDialog.h"
#include "ui/ReviewChangesDialog.h"
#include "ui/TranslationsDialog.h"

namespace tw {
namespace {

using Field = MainWindow::Field;

class MainWindowHistoryTest : public test::ShownMainWindowTest {
protected:
    // What the person sees of the history: no step to undo, no marker, nothing to review.
    void ExpectClean() {
        EXPECT_FALSE(window->isWindowModified());
        EXPECT_TRUE(window->CareersUnchanged());
        EXPECT_FALSE(window->UndoAction()->isEnabled());
        EXPECT_TRUE(session.ReviewChanges().empty());
    }

    // Right-clicks a field and returns the menu that comes up.
    QMenu* RightClick(Field field) {
        QWidget* widget = window->FieldWidget(field);
        // A multi-line field takes its mouse events through its viewport.
        if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) widget = edit->viewport();
        const QPoint where(4, 4);
        QContextMenuEvent event(QContextMenuEvent::Mouse, where, widget->mapToGlobal(where));
        QApplication::sendEvent(widget, &event);
        return qobject_cast<QMenu*>(QApplication::activePopupWidget());
    }
    static void Choose(QMenu* menu, QAction* entry) {
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
    }
};

TEST_F(MainWindowHistoryTest, DialogsConfirmedWithoutAChangeAddNoStep) {
    window->SetDialogs(MainWindow::DefaultDialogs(session, port));
    // A level whose card has both a text and items, so that every part of the card dialog shows
    // something to hand back.
    const auto& cards = context.careerSet.careers[0].cards;
    std::size_t level = 0;
    while (level < 10 && (cards[level].textRow == 0 || cards[level].items.empty())) ++level;
    ASSERT_LT(level, 10u);
    SelectJob(static_cast<int>(level));
    window->SelectLanguage(3);

    const struct {
        const char* name;
        std::function<void()> open;
    } cases[] = {
        {"Modify icons", [this] { window->ModifyIcons(); }},
        {"Chance Cards", [this] { window->OpenChanceCards(); }},
        {"Job details", [this] { window->OpenJobDetails(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bool confirmed = false;
        test::ModalDriver driver;
        driver.Then<QDialog>([&confirmed](QDialog* dialog) {
            QPushButton* ok = dialog->findChild<QPushButton*>(QStringLiteral("ok"));
            ASSERT_NE(ok, nullptr);
            ok->click();
            confirmed = dialog->result() == QDialog::Accepted;
        });
        c.open();
        EXPECT_TRUE(driver.Finished());
        EXPECT_TRUE(confirmed);
        ExpectClean();
    }
    EXPECT_TRUE(port.calls.empty());
}

TEST_F(MainWindowHistoryTest, TheFieldsContextMenusUndoAndRedoThroughTheWindow) {
    SelectCareer(2);
    SelectJob(1);
    for (const Field field : {Field::CareerName, Field::JobDescription}) {
        SCOPED_TRACE(static_cast<int>(field));
        const QString before = Shown(field);
        window->FieldWidget(field)->setFocus();
        TypeAtEnd(field, QStringLiteral("xyz"));
        ASSERT_TRUE(window->isWindowModified());

        // The field's own Undo and Redo are gone; the window's stand in their place.
        QMenu* menu = RightClick(field);
        ASSERT_NE(menu, nullptr);
        const QList<QAction*> entries = menu->actions();
        ASSERT_GE(entries.size(), 3);
        EXPECT_EQ(entries[0], window->UndoAction());
        EXPECT_EQ(entries[1], window->RedoAction());
        for (const QAction* entry : entries) {
            if (entry == window->UndoAction() || entry == window->RedoAction()) continue;
            const QString name = entry->text().section(QLatin1Char('\t'), 0, 0);
            EXPECT_NE(name, QStringLiteral("&Undo"));
            EXPECT_NE(name, QStringLiteral("&Redo"));
        }
        Choose(menu, window->UndoAction());
        EXPECT_EQ(Shown(field), before);
        ExpectClean();

        menu = RightClick(field);
        ASSERT_NE(menu, nullptr);
        Choose(menu, window->RedoAction());
        EXPECT_EQ(Shown(field), before + QStringLiteral("xyz"));
        EXPECT_TRUE(window->isWindowModified());
        window->Undo();
    }
    EXPECT_TRUE(port.calls.empty());
}

TEST_F(MainWindowHistoryTest, TheEditorsKeysWorkInTheReviewWindow) {
    TypeInto(Field::CareerName, QStringLiteral("Banque"));
    window->ReviewChanges();
    ReviewChangesDialog* review = window->ReviewWindow();
    ASSERT_NE(review, nullptr);
    QApplication::setActiveWindow(review);
    ASSERT_TRUE(QTest::qWaitForWindowActive(review));
    review->List()->setFocus();

    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool modified;  // afterwards
    } keys[] = {
        {Qt::Key_Z, Qt::ControlModifier, false},
        {Qt::Key_Y, Qt::ControlModifier, true},
        {Qt::Key_Z, Qt::ControlModifier, false},
        {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, true},
    };
    for (const auto& k : keys) {
        QTest::keyClick(review->List(), k.key, k.modifiers);
        EXPECT_EQ(window->isWindowModified(), k.modified) << QKeySequence(k.key | k.modifiers).toString().toStdString();
        // The review follows, and keeps the focus.
        EXPECT_EQ(review->List()->topLevelItemCount(), k.modified ? 1 : 0);
        EXPECT_EQ(QApplication::activeWindow(), review);
    }
    EXPECT_TRUE(port.calls.empty());

    QTest::keyClick(review->List(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(port.Shown(), std::vector<std::string>{"Trackwright 2: Operation complete!"});
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(loads, 2);
}

// The other windows beside the main one answer the same keys.
TEST_F(MainWindowHistoryTest, TheEditorsKeysWorkInEveryWindowBesideIt) {
    TypeInto(Field::CareerName, QStringLiteral("Banque"));
    window->CheckGame();
    window->OpenLevelTable();
    window->OpenTranslations();
    for (QWidget* beside : std::initializer_list<QWidget*>{window->CheckWindow(), window->LevelTableWindow(),
                                                          window->TranslationsWindow()}) {
        ASSERT_NE(beside, nullptr);
        QApplication::setActiveWindow(beside);
        ASSERT_TRUE(QTest::qWaitForWindowActive(beside));
        QTest::keyClick(beside, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_FALSE(window->isWindowModified()) << beside->windowTitle().toStdString();
        QTest::keyClick(beside, Qt::Key_Y, Qt::ControlModifier);
        EXPECT_TRUE(window->isWindowModified()) << beside->windowTitle().toStdString();
    }
    EXPECT_TRUE(port.calls.empty());
}

}  // namespace
}  // namespace tw
