#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include <QDialog>
#include <QTimer>

#include "gamefiles/GameLoad.h"

class QLabel;
class QPushButton;

namespace tw {

class QtUserPort;

// The small modal window behind which a load runs on a worker thread. It shows a status line
// and Cancel; a 100-millisecond timer closes it once the worker has finished.
class LoadingDialog : public QDialog {
    Q_OBJECT

public:
    // The worker runs on its own thread with the load's request: it reads the cancel flag at its
    // checks and sets the result to 2 when the load fails; its messages to the person and its
    // status texts go through a QtUserPort, which carries them over here.
    using Worker = std::function<void(LoadRequest&)>;

    LoadingDialog(LoadRequest& request, Worker worker, QWidget* parent = nullptr);
    // A window destroyed with its worker still running asks it to cancel and waits for it.
    ~LoadingDialog() override;

    // Shows the window modally, runs the worker and returns the result once it has finished:
    // LoadRequest::Loaded (1), or LoadRequest::Failed (2) when it failed or was cancelled.
    // A window runs its worker once: a second Run returns the first result.
    int Run();

    // While the window runs, the port's status texts go to the status line.
    void RouteStatusOf(QtUserPort& port) { statusPort_ = &port; }

    QString StatusText() const;
    QPushButton* CancelButton() const { return cancelButton_; }

    // Cancel, Escape and the close box: the result becomes 2 and the worker is asked to stop
    // (CancelLoad); the window stays until it has.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CreateWidgets();
    void ConnectWidgets();
    void StartWorker();
    void Tick();
    void StopRouting();
    // Shows `text` on the status line; callable from the worker's thread.
    void SetStatus(const std::string& text);

    LoadRequest& request_;
    Worker worker_;
    std::mutex statusMutex_;
    bool routingStatus_ = false;
    std::thread thread_;
    bool started_ = false;
    QTimer timer_;
    QtUserPort* statusPort_ = nullptr;
    QLabel* heading_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

}  // namespace tw
