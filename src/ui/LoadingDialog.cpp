#include "ui/LoadingDialog.h"

#include <system_error>
#include <utility>

#include <QLabel>
#include <QPushButton>

#include "ui/DialogUnits.h"
#include "ui/QtUserPort.h"

namespace tw {

LoadingDialog::LoadingDialog(LoadRequest& request, Worker worker, QWidget* parent)
    : QDialog(parent), request_(request), worker_(std::move(worker)) {
    CreateWidgets();
    ConnectWidgets();
}

LoadingDialog::~LoadingDialog() {
    StopRouting();
    if (thread_.joinable()) {
        CancelLoad(request_);
        thread_.join();
    }
}

void LoadingDialog::CreateWidgets() {
    setWindowTitle(QStringLiteral("Loading needed files..."));
    setModal(true);
    setFont(DialogUnits::DialogFont());
    const DialogUnits units(font());

    heading_ = new QLabel(QStringLiteral("Loading needed files..."), this);
    heading_->setTextFormat(Qt::PlainText);
    heading_->setGeometry(units.Rect(7, 7, 172, 8));

    status_ = new QLabel(this);
    status_->setTextFormat(Qt::PlainText);
    status_->setGeometry(units.Rect(21, 20, 158, 8));

    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setGeometry(units.Rect(67, 36, 50, 14));
    cancelButton_->setDefault(true);

    setFixedSize(units.Size(186, 57));
    timer_.setInterval(100);
}

void LoadingDialog::ConnectWidgets() {
    connect(cancelButton_, &QPushButton::clicked, this, &LoadingDialog::reject);
    connect(&timer_, &QTimer::timeout, this, &LoadingDialog::Tick);
}

int LoadingDialog::Run() {
    // The worker runs once per window; a second run only repeats the outcome.
    if (started_) return request_.result.load() == LoadRequest::Loaded ? LoadRequest::Loaded : LoadRequest::Failed;
    const int result = exec();
    return result == LoadRequest::Loaded ? LoadRequest::Loaded : LoadRequest::Failed;
}

QString LoadingDialog::StatusText() const { return status_->text(); }

void LoadingDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_) StartWorker();
}

void LoadingDialog::StartWorker() {
    started_ = true;
    status_->clear();
    {
        const std::lock_guard<std::mutex> lock(statusMutex_);
        routingStatus_ = true;
    }
    if (statusPort_) statusPort_->SetStatusCallback([this](const std::string& text) { SetStatus(text); });
    timer_.start();
    try {
        thread_ = std::thread([this] {
            try {
                if (worker_) worker_(request_);
            } catch (...) {
                // A worker that throws has failed; the window must still learn that it stopped.
                request_.result.store(LoadRequest::Failed);
            }
            request_.done.store(1);
        });
    } catch (const std::system_error&) {
        request_.result.store(LoadRequest::Failed);
        request_.done.store(1);
    }
}

void LoadingDialog::Tick() {
    if (request_.done.load() == 0) return;
    timer_.stop();
    if (thread_.joinable()) thread_.join();
    StopRouting();
    QDialog::done(request_.result.load());
}

void LoadingDialog::reject() {
    if (!started_) {
        QDialog::reject();
        return;
    }
    CancelLoad(request_);
}

// The worker's status texts are put on the status line by this window's own thread.
void LoadingDialog::SetStatus(const std::string& text) {
    const std::lock_guard<std::mutex> lock(statusMutex_);
    if (!routingStatus_) return;
    const QString line = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    QMetaObject::invokeMethod(this, [this, line] { status_->setText(line); }, Qt::QueuedConnection);
}

void LoadingDialog::StopRouting() {
    if (statusPort_) statusPort_->SetStatusCallback({});
    const std::lock_guard<std::mutex> lock(statusMutex_);
    routingStatus_ = false;
}

}  // namespace tw
