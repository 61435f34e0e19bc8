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
        {"finishes", [](LoadRequest&) {}, LoadRequest::Loaded},
        {"fails", [](LoadRequest& request) { request.result = LoadRequest::Failed; }, LoadRequest::Failed},
        {"throws", [](LoadRequest&) { throw std::runtime_error("broken"); }, LoadRequest::Failed},
    };
    for (const auto& c : cases) {
        LoadRequest request("");
        LoadingDialog dialog(request, c.worker);
        EXPECT_EQ(dialog.Run(), c.result) << c.name;
        EXPECT_EQ(request.done.load(), 1) << c.name;
        EXPECT_EQ(dialog.Run(), c.result) << c.name << " again";  // returns at once, no second worker
    }
}

TEST(LoadingDialogTest, CancelWaitsForTheWorkerToStop) {
    std::atomic<bool> release{false};
    std::atomic<bool> stopped{false};
    bool visibleAfterCancel = false;
    LoadRequest request("");
    LoadingDialog dialog(request, [&](LoadRequest& running) {
        while (running.cancel.load() == 0) std::this_thread::sleep_for(1ms);
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
    EXPECT_EQ(dialog.Run(), LoadRequest::Failed);
    EXPECT_TRUE(stopped);
    EXPECT_TRUE(visibleAfterCancel);
    EXPECT_EQ(request.cancel.load(), 1);
}

TEST(LoadingDialogTest, WorkerTalksThroughThePortOnTheWindowsThread) {
    QtUserPort port;
    std::atomic<bool> shownOnGuiThread{false};
    Answer answer = Answer::Ok;
    LoadRequest request("");
    LoadingDialog dialog(request, [&](LoadRequest&) {
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
    EXPECT_EQ(dialog.Run(), LoadRequest::Loaded);
    EXPECT_EQ(answer, Answer::No);
    EXPECT_TRUE(shownOnGuiThread);
    EXPECT_EQ(statusDuringMessage, QStringLiteral("Work.iff"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Loading needed files..."));
}

}  // namespace
}  // namespace tw
