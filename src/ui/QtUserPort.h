#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>

#include "edit/CareerRows.h"
#include "util/UserPort.h"

namespace tw {

// The editor's user port: message boxes, file and folder dialogs and the career choice, shown
// over the window that is in front. It belongs to the user-interface thread; a call from any
// other thread (the load's worker) is carried out there while the caller waits for the answer,
// so that thread's event loop must be running (as it is while the loading window is up).
// Texts from the core are taken as UTF-8.
class QtUserPort : public QObject, public UserPort {
    Q_OBJECT

public:
    explicit QtUserPort(QWidget* window = nullptr);

    // The window that owns the dialogs when no modal window is in front.
    void SetWindow(QWidget* window) { window_ = window; }

    Answer Ask(const Message& message) override;
    std::optional<std::filesystem::path> ChooseOpenFile(const FileChoice& choice) override;
    std::optional<std::filesystem::path> ChooseSaveFile(const FileChoice& choice) override;
    std::string ApplicationName() const override { return applicationName_; }
    std::optional<std::uint32_t> ChooseCareerToReplace(const CareerSet& careers,
                                                       std::optional<std::uint32_t> selected) override;
    std::optional<std::filesystem::path> ChooseFolder(const std::string& title) override;
    void ShowStatus(const std::string& text) override;

    // The career choice from rows already taken out of a career set.
    std::optional<std::uint32_t> ChooseCareerFromRows(const std::vector<CareerRow>& careers,
                                                      std::optional<std::uint32_t> selected = std::nullopt);

    // Where ShowStatus sends its text; the loading window sets it while it runs and clears it
    // (with an empty function) before it closes. Without one, status texts are dropped.
    void SetStatusCallback(std::function<void(const std::string&)> callback);

    // The folder in which the next file dialog opens; every file chosen moves it there.
    void SetStartFolder(const QString& folder) { startFolder_ = folder; }
    QString StartFolder() const { return startFolder_; }

    // The message box for a message, not yet shown: plain text, the given title (the
    // application's name when it is empty), the icon, and the buttons with the first as default.
    static std::unique_ptr<QMessageBox> BuildMessageBox(const Message& message, const QString& applicationName,
                                                        QWidget* parent);
    // The answer for the button that ended a box; a box closed without a button counts as
    // Cancel where there is one, as No in a Yes/No box and as Ok otherwise.
    static Answer AnswerFor(QMessageBox::StandardButton clicked, MessageButtons buttons);

private:
    Answer AskHere(const Message& message);
    std::optional<std::filesystem::path> ChooseFileHere(const FileChoice& choice, bool save);
    QWidget* DialogParent() const;

    QPointer<QWidget> window_;
    QString startFolder_;
    std::string applicationName_;
    std::mutex statusMutex_;
    std::function<void(const std::string&)> statusCallback_;
};

}  // namespace tw
