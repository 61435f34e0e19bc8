#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "edit/EditSession.h"
#include "gamefiles/GameContext.h"
#include "gamefiles/GameLoad.h"
#include "model/StringTable.h"
#include "sample/SampleInstallation.h"
#include "support/ScriptedPort.h"
#include "support/TempFolder.h"
#include "ui/FullRowListView.h"
#include "ui/MainWindow.h"

namespace tw::test {

// The sample installation in a temporary folder, loaded behind a started main window. The load
// runs on its worker thread without the loading window; every message goes to the scripted port.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        const Status written = WriteSampleInstallation(game.Path() / "game");
        ASSERT_TRUE(written) << written.Reason();
        context.gameFolder = (game.Path() / "game").string();
        window = std::make_unique<MainWindow>(session, port, [this](GameContext& loaded) {
            ++loads;
            if (failLoadsFrom > 0 && loads >= failLoadsFrom) return LoadRequest::Failed;
            return RunLoad(loaded, port);
        });
        window->SetDialogs({});
        // As the editor does: the game is held for changing from before the first load.
        ASSERT_TRUE(session.TakeGame(port, false));
        ASSERT_TRUE(window->Start()) << (port.calls.empty() ? "" : port.Shown().front() + " / " + port.calls.front().message.detail);
        ASSERT_TRUE(port.calls.empty()) << port.Shown().front();
    }

    std::filesystem::path GameFile(const std::string& relative) const { return game.Path() / "game" / relative; }

    QString Shown(MainWindow::Field field) const { return window->FieldText(field); }
    StringTable& Texts(std::uint32_t career) { return context.careerSet.careers[career].texts.table; }
    std::string Text(std::uint32_t career, std::uint16_t row, std::uint16_t slot) {
        std::string text;
        EXPECT_TRUE(Texts(career).GetText(row, slot, StringTable::Value, text)) << "row " << row << " slot " << slot;
        return text;
    }

    void SelectCareer(int row) { window->CareerList()->SelectRow(row); }
    void SelectJob(int row) { window->JobList()->SelectRow(row); }

    // Types `text` where the field's cursor is, one key at a time, as a person would.
    static void Type(QWidget* widget, const QString& text) {
        for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    // Types `text` over the whole of a field.
    void TypeInto(MainWindow::Field field, const QString& text) {
        QWidget* widget = window->FieldWidget(field);
        if (auto* line = qobject_cast<QLineEdit*>(widget))
            line->selectAll();
        else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget))
            edit->selectAll();
        Type(widget, text);
    }
    // Types `text` after the end of a field's text.
    void TypeAtEnd(MainWindow::Field field, const QString& text) {
        QWidget* widget = window->FieldWidget(field);
        if (auto* line = qobject_cast<QLineEdit*>(widget))
            line->end(false);
        else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget))
            edit->moveCursor(QTextCursor::End);
        Type(widget, text);
    }

    TempFolder game{"tw-ui"};
    EditSession session;
    GameContext& context = session.Context();
    ScriptedPort port;
    std::unique_ptr<MainWindow> window;
    int loads = 0;
    // From this load on (counting the first as 1) every load fails; 0 for never.
    int failLoadsFrom = 0;
};

// The same window shown and active, for what needs the focus and the keys.
class ShownMainWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void TearDown() override { window->hide(); }
};

}  // namespace tw::test
