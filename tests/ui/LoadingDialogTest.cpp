#include "ui/LoadingDialog.h"

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include <gtest/gtest.h>

#include "ModalDriver.h"
#include "ui/QtUserPort.h"

namespace tw {
namespace {

using namespace std::chrono_literals;
using test::ModalDriver;

TEST(LoadingDialogTest, WorkerOutcomeBecomesTheResult) {
    const struct {
        const char* name;
        LoadingDialog::Worker worker;
        int result;
    } cases[] = {
        {"finishes", [](LoadControl&) {}, LoadControl::Loaded},
        {"fails", [](LoadControl& control) { control.Fail(); }, LoadControl::Failed},
        {"throws", [](LoadControl&) { throw std::runtime_error("broken"); }, LoadControl::Failed},
    };
    for (const auto& c : cases) {
        LoadingDialog dialog(c.worker);
        EXPECT_EQ(dialog.Run(), c.result) << c.name;
        EXPECT_EQ(dialog.Control().done.load(), 1) << c.name;
        EXPECT_EQ(dialog.Run(), c.result) << c.name << " again";  // returns at once, no second worker
    }
}

TEST(LoadingDialogTest, CancelWaitsForTheWorkerToStop) {
    std::atomic<bool> release{false};
    std::atomic<bool> stopped{false};
    bool visibleAfterCancel = false;
    LoadingDialog dialog([&](LoadControl& control) {
        while (!control.CancelRequested()) std::this_thread::sleep_for(1ms);
        // The worker goes on after the request until the test lets it stop.
        while (!release) std::this_thread::sleep_for(1ms);
        stopped = true;
    });
    QTimer::singleShot(50, &dialog, [&] {
        dialog.CancelButton()->click();
        QTimer::singleShot(250, &dialog, [&] {
            visibleAfterCancel = dialog.isVisible();
            release = true;
        });
    });
    EXPECT_EQ(dialog.Run(), LoadControl::Failed);
    EXPECT_TRUE(stopped);
    EXPECT_TRUE(visibleAfterCancel);
    EXPECT_EQ(dialog.Control().cancel.load(), 1);
}

TEST(LoadingDialogTest, WorkerTalksThroughThePortOnTheWindowsThread) {
    QtUserPort port;
    std::atomic<bool> shownOnGuiThread{false};
    Answer answer = Answer::Ok;
    LoadingDialog dialog([&](LoadControl&) {
        port.ShowStatus("Work.iff");
        answer = port.Ask({"Cannot load the CarPortal.iff file!", "Warning", MessageIcon::Information,
                           MessageButtons::YesNo});
    });
    dialog.RouteStatusOf(port);
    QString statusDuringMessage;
    ModalDriver person;
    person.Then<QMessageBox>([&](QMessageBox* box) {
        shownOnGuiThread = box->thread() == QApplication::instance()->thread() &&
                           QThread::currentThread() == box->thread();
        statusDuringMessage = dialog.StatusText();
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(dialog.Run(), LoadControl::Loaded);
    EXPECT_EQ(answer, Answer::No);
    EXPECT_TRUE(shownOnGuiThread);
    EXPECT_EQ(statusDuringMessage, QStringLiteral("Work.iff"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Loading needed files..."));
}

}  // namespace
}  // namespace tw
