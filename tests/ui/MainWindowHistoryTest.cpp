// The window's one history, wherever the person is: a dialog confirmed without a change adds no
// step to it.
#include "MainWindowTestFixture.h"
#include "ModalDriver.h"

#include <functional>

#include <QApplication>
#include <QPushButton>

namespace tw {
namespace {

using Field = MainWindow::Field;

class MainWindowHistoryTest : public test::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void TearDown() override { window->hide(); }

    // What the person sees of the history: no step to undo, no marker, nothing to review.
    void ExpectClean() {
        EXPECT_FALSE(window->isWindowModified());
        EXPECT_TRUE(window->CareersUnchanged());
        EXPECT_FALSE(window->UndoAction()->isEnabled());
        EXPECT_TRUE(session.ReviewChanges().empty());
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

}  // namespace
}  // namespace tw
