#include "ui/QtUserPort.h"

#include <utility>

#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QThread>

#include "ui/FileChoiceRules.h"
#include "ui/ReplaceCareerDialog.h"

namespace tw {

namespace {

// Runs the function on the context's thread: at once when already there, else queued there
// while this thread waits for it to finish.
template <class Function>
void OnContextThread(QObject* context, Function function) {
    if (QThread::currentThread() == context->thread())
        function();
    else
        QMetaObject::invokeMethod(context, function, Qt::BlockingQueuedConnection);
}

QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

std::filesystem::path ToPath(const QString& path) { return std::filesystem::path(path.toStdU16String()); }

}  // namespace

QtUserPort::QtUserPort(QWidget* window) : window_(window) {
    // Queued calls from the worker must land on the user-interface thread.
    if (const QCoreApplication* app = QCoreApplication::instance(); app && thread() != app->thread())
        moveToThread(app->thread());
    // Taken once here, so that the worker can ask for it without touching the application.
    const QString path = QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
    const QString name = ExecutableBaseName(path);
    applicationName_ = name.isEmpty() ? std::string("trackwright") : name.toStdString();
}

Answer QtUserPort::Ask(const Message& message) {
    Answer answer = Answer::Cancel;
    OnContextThread(this, [&] { answer = AskHere(message); });
    return answer;
}

std::optional<std::filesystem::path> QtUserPort::ChooseOpenFile(const FileChoice& choice) {
    std::optional<std::filesystem::path> chosen;
    OnContextThread(this, [&] { chosen = ChooseFileHere(choice, false); });
    return chosen;
}

std::optional<std::filesystem::path> QtUserPort::ChooseSaveFile(const FileChoice& choice) {
    std::optional<std::filesystem::path> chosen;
    OnContextThread(this, [&] { chosen = ChooseFileHere(choice, true); });
    return chosen;
}

std::optional<std::uint32_t> QtUserPort::ChooseCareerToReplace(const CareerSet& careers,
                                                               std::optional<std::uint32_t> selected) {
    std::optional<std::uint32_t> chosen;
    OnContextThread(this, [&] { chosen = ChooseCareerFromRows(CareerRowsOf(careers), selected); });
    return chosen;
}

std::optional<std::uint32_t> QtUserPort::ChooseCareerFromRows(const std::vector<CareerRow>& careers,
                                                              std::optional<std::uint32_t> selected) {
    std::optional<std::uint32_t> chosen;
    OnContextThread(this, [&] {
        ReplaceCareerDialog dialog(*this, DialogParent());
        dialog.SetCareers(careers, selected);
        if (dialog.exec() == QDialog::Accepted) chosen = dialog.ChosenCareer();
    });
    return chosen;
}

std::optional<std::filesystem::path> QtUserPort::ChooseFolder(const std::string& title) {
    std::optional<std::filesystem::path> chosen;
    OnContextThread(this, [&] {
        const QString folder = QFileDialog::getExistingDirectory(DialogParent(), FromUtf8(title), startFolder_);
        if (!folder.isEmpty()) chosen = ToPath(folder);
    });
    return chosen;
}

void QtUserPort::ShowStatus(const std::string& text) {
    // Called under the lock so that the window cannot go away while its callback runs.
    const std::lock_guard<std::mutex> lock(statusMutex_);
    if (statusCallback_) statusCallback_(text);
}

void QtUserPort::SetStatusCallback(std::function<void(const std::string&)> callback) {
    const std::lock_guard<std::mutex> lock(statusMutex_);
    statusCallback_ = std::move(callback);
}

QWidget* QtUserPort::DialogParent() const {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    if (window_) return window_.data();
    return QApplication::activeWindow();
}

std::unique_ptr<QMessageBox> QtUserPort::BuildMessageBox(const Message& message, const QString& applicationName,
                                                         QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(message.title.empty() ? applicationName : FromUtf8(message.title));
    // Plain text: a message that happens to hold markup must show as written.
    box->setTextFormat(Qt::PlainText);
    box->setText(FromUtf8(message.text));
    if (!message.detail.empty()) box->setDetailedText(FromUtf8(message.detail));
    switch (message.icon) {
        case MessageIcon::None: box->setIcon(QMessageBox::NoIcon); break;
        case MessageIcon::Information: box->setIcon(QMessageBox::Information); break;
        case MessageIcon::Warning: box->setIcon(QMessageBox::Warning); break;
        case MessageIcon::Error:
        case MessageIcon::Stop: box->setIcon(QMessageBox::Critical); break;
        case MessageIcon::Question: box->setIcon(QMessageBox::Question); break;
    }
    switch (message.buttons) {
        case MessageButtons::Ok:
            box->setStandardButtons(QMessageBox::Ok);
            box->setDefaultButton(QMessageBox::Ok);
            break;
        case MessageButtons::YesNo:
            box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box->setDefaultButton(QMessageBox::Yes);
            break;
        case MessageButtons::YesNoCancel:
            box->setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box->setDefaultButton(QMessageBox::Yes);
            break;
        case MessageButtons::OkCancel:
            box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box->setDefaultButton(QMessageBox::Ok);
            break;
    }
    // A question whose safe answer is not the first one says which Enter presses.
    if (message.defaultAnswer) {
        switch (*message.defaultAnswer) {
            case Answer::Ok: box->setDefaultButton(QMessageBox::Ok); break;
            case Answer::Yes: box->setDefaultButton(QMessageBox::Yes); break;
            case Answer::No: box->setDefaultButton(QMessageBox::No); break;
            case Answer::Cancel: box->setDefaultButton(QMessageBox::Cancel); break;
        }
    }
    return box;
}

Answer QtUserPort::AnswerFor(QMessageBox::StandardButton clicked, MessageButtons buttons) {
    switch (clicked) {
        case QMessageBox::Ok: return Answer::Ok;
        case QMessageBox::Yes: return Answer::Yes;
        case QMessageBox::No: return Answer::No;
        case QMessageBox::Cancel: return Answer::Cancel;
        default: break;
    }
    switch (buttons) {
        case MessageButtons::Ok: return Answer::Ok;
        case MessageButtons::YesNo: return Answer::No;
        case MessageButtons::YesNoCancel:
        case MessageButtons::OkCancel: return Answer::Cancel;
    }
    return Answer::Cancel;
}

Answer QtUserPort::AskHere(const Message& message) {
    const auto box = BuildMessageBox(message, QString::fromStdString(ApplicationName()), DialogParent());
    box->exec();
    return AnswerFor(box->standardButton(box->clickedButton()), message.buttons);
}

std::optional<std::filesystem::path> QtUserPort::ChooseFileHere(const FileChoice& choice, bool save) {
    QString folder = startFolder_;
    QString name = InitialSelection(choice.initialName);
    const QString title = save ? QStringLiteral("Save As") : QStringLiteral("Open");
    // The dialog comes back after a name that cannot be taken, with that name in it.
    for (;;) {
        QFileDialog dialog(DialogParent(), title, folder, QtNameFilters(choice.filter));
        dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(save || !choice.mustExist ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        // The overwrite question comes after the default extension is added, below.
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
        if (!name.isEmpty()) dialog.selectFile(name);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;

        QString path = dialog.selectedFiles().constFirst();
        if (save || !QFileInfo::exists(path)) path = WithDefaultExtension(path, choice.defaultExtension);
        const QFileInfo info(path);
        folder = info.absolutePath();
        name = info.fileName();

        if (save && choice.existingFoldersOnly && !QFileInfo(info.absolutePath()).isDir()) {
            AskHere({(path + QStringLiteral("\nPath does not exist.\nCheck the path and try again.")).toStdString(),
                     title.toStdString(), MessageIcon::Warning, MessageButtons::Ok});
            continue;
        }
        if (!save && choice.mustExist && !info.isFile()) {
            AskHere({(path + QStringLiteral("\nFile not found.\nCheck the file name and try again.")).toStdString(),
                     title.toStdString(), MessageIcon::Warning, MessageButtons::Ok});
            continue;
        }
        if (save && choice.promptOverwrite && info.exists()) {
            const Answer answer = AskHere({(name + QStringLiteral(" already exists.\nDo you want to replace it?")).toStdString(),
                                           "Confirm Save As", MessageIcon::Warning, MessageButtons::YesNo});
            if (answer != Answer::Yes) continue;
        }
        startFolder_ = folder;
        return ToPath(path);
    }
}

}  // namespace tw
