#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include "edit/EditHistory.h"
#include "edit/EditorView.h"
#include "gamefiles/GameLoad.h"
#include "icons/Bitmap.h"
#include "model/CardItem.h"
#include "model/CardTexts.h"
#include "model/CareerTexts.h"
#include "model/JobLevel.h"
#include "model/JobLevelRules.h"
#include "ui/MainWindowDialogs.h"
#include "ui/MainWindowWidgets.h"
#include "util/EnvironmentLookup.h"

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tw {

class EditSession;
class FullRowListView;
class CheckGameDialog;
class LevelTableDialog;
class MainMenus;
class TranslationsDialog;
class ReviewChangesDialog;
class UserPort;

// The editor's one window: the careers in one list, the job levels of the selected career in a
// second, and the texts of the selected career and level in the current language in seven
// fields that store every keystroke straight into the model. Its menus reach saving, reloading
// and exit, the review of the changes, undo and redo, the career exchange files, the language
// choice and the About box; three buttons open the job details, chance card and icon dialogs.
// The title is marked while the model differs from the files.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // The seven text fields, in tab order.
    using Field = EditorView::Field;
    using enum EditorView::Field;

    using CardConfirm = MainWindowDialogs::CardConfirm;
    using Icons = MainWindowDialogs::Icons;
    using Dialogs = MainWindowDialogs;

    // The window's result once it has closed.
    static constexpr int Closed = 1;
    static constexpr int LoadFailed = 2;

    // `runLoad` runs one whole load of the game files into the session's game and returns its
    // result (1 loaded); the editor shows the loading window, tests may load without one.
    MainWindow(EditSession& session, UserPort& port, LoadRunner runLoad, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The real dialogs by default.
    void SetDialogs(Dialogs dialogs);
    // Where the editor keeps its small files: the game folder remembered for the next start,
    // the recent games and the window's size. Without it nothing is remembered.
    void UseSettings(EnvironmentLookup environment) { settings_ = std::move(environment); }
    static Dialogs DefaultDialogs(EditSession& session, UserPort& port) { return MainWindowDialogs::Default(session, port); }

    // The window's first act: the load, then the careers shown with the first one selected.
    // False when the load did not succeed; the window has then ended itself (result 2) and is
    // not to be shown.
    bool Start();

    // Whether the window has closed (by Exit, the close box, or a failed load), and with what
    // result.
    bool HasClosed() const { return closed_; }
    int Result() const { return result_; }

    // State, for the window's own tests and the screenshots.
    bool FilesLoaded() const { return filesLoaded_; }
    bool CareersUnchanged() const;
    std::uint32_t CurrentCareer() const { return view_.SelectedCareer().value_or(0); }
    std::uint16_t CurrentLevel() const { return view_.SelectedLevel().value_or(0); }
    std::uint16_t CurrentLanguage() const { return view_.Language(); }
    std::int32_t RememberedJobRow() const { return view_.RememberedJobRow(); }

    FullRowListView* CareerList() const { return widgets_->careerList; }
    FullRowListView* JobList() const { return widgets_->jobList; }
    QWidget* FieldWidget(Field field) const;
    // The text a field shows.
    QString FieldText(Field field) const;
    QPushButton* ModifyIconsButton() const { return widgets_->modifyIcons; }
    QPushButton* JobDetailsButton() const { return widgets_->jobDetails; }
    QPushButton* ChanceCardsButton() const { return widgets_->chanceCards; }
    QLabel* IconPreview() const { return widgets_->iconPreview; }
    QAction* LanguageAction(std::uint16_t slot) const;
    QAction* MenuAction(const QString& menu, const QString& item) const;
    QAction* UndoAction() const;
    QAction* RedoAction() const;
    // Whether File > Restore Original Files... has anything to offer now.
    bool OffersOriginals() const;
    // The review window, once File > Review Changes... has opened it.
    ReviewChangesDialog* ReviewWindow() const;

    // The menu commands and buttons.
    void OpenGameFolder();
    // A game of File > Recent Games; one whose folder is gone leaves the list, with a message.
    void OpenRecentGame(const std::string& folder);
    std::vector<std::string> RecentGameFolders() const;
    void Reload();
    void Save();
    void RestoreOriginals();
    void Exit();
    void Undo();
    void Redo();
    void ReviewChanges();
    // File > Check Game...: the findings of a check of the game as a save now would write it.
    void CheckGame();
    CheckGameDialog* CheckWindow() const;
    void Import();
    void Export();
    // Career > Import Translations... and Export Translations...: PO files of one language.
    void ImportTranslations();
    void ExportTranslations();
    void Backup();
    // Career > Level Table... and Translations...: a window of the selected career's levels or
    // texts, in place of the one of that kind already open.
    void OpenLevelTable();
    void OpenTranslations();
    LevelTableDialog* LevelTableWindow() const;
    TranslationsDialog* TranslationsWindow() const;
    void SelectLanguage(std::uint16_t slot);
    void SetAllLanguages();
    void OpenJobDetails();
    void OpenChanceCards();
    void ModifyIcons();
    void ShowAbout();

    // The language items' names, in slot order.
    static const std::array<const char*, 15>& LanguageNames();
    // "Trackwright 2.1 - <the game folder's name>[*]", with " (read-only)" after it when so.
    static QString TitleFor(const std::string& gameFolder, bool readOnly);
    // The status bar's note of the current language.
    QLabel* LanguageIndicator() const { return languageIndicator_; }
    static constexpr const char* ChooseFolderTitle = "Choose the folder of The Sims";
    // How long the status line tells what typing left out, in milliseconds.
    static constexpr int LeftOutNoticeTime = 10000;

signals:
    // Sent once, when the window has closed.
    void WindowClosed();

protected:
    void closeEvent(QCloseEvent* event) override;
    // The text fields: leaving one ends its typing step, and the keys of undo and redo are the
    // window's, not the field's own.
    bool eventFilter(QObject* watched, QEvent* event) override;
#ifdef _WIN32
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

private:
    void CreateWidgets();
    void ConnectWidgets();

    // After each successful load: the careers shown afresh with the first one selected.
    void ShowLoadedCareers();
    // Opens the game in `folder` in place of this one (see EditSession::OpenGame); the folder
    // becomes the remembered one and the first of the recent games.
    bool OpenGame(const std::string& folder);
    // The window's size as it was left, and keeping it for the next start.
    void RestoreSize();
    void KeepSize() const;
    // After a load: a note in the status bar when a check finds a loss or a damaged part.
    void NoteWhatTheCheckFinds();
    // The career list filled afresh from the model, its first row selected and shown.
    void ShowCareersFromFirst();
    void OnCareerSelectionChanged();
    void OnJobSelectionChanged();
    void RefreshTexts();
    void OnFieldChanged(Field field);
    // Runs a load with the window's own handlers quiet; the result is the load's.
    int LoadGameFilesNow();
    // What a command does when the load behind it failed: the window ends, and with it the
    // program, without a save question.
    void EndAfterFailedLoad();
    // The files loaded again, and the careers shown afresh when that succeeded (`reloaded`): the
    // Reload command once it may go on, and the reload after a save or a restore.
    int ReloadFiles(bool& reloaded);

    // The fields, lists and buttons usable as the view says.
    void UpdateControls();
    void ShowPopupIcon();

    // After an undo or redo: the place of the change shown with what the model holds now.
    void ShowChange(const std::optional<EditPlace>& place);
    // Selects the career, level and language of a place (what it leaves open stays) and shows
    // them afresh from the model.
    void ShowPlace(const EditPlace& place);
    // The career list's names as the model has them.
    void RefreshCareerRows();
    // The unsaved marker, the Edit menu and the review, after anything that may have changed
    // the model or its history.
    void UpdateEditState();

    template <typename View>
    void OpenView(QPointer<View>& view);
    // After an edit in a view: the lists and fields show the model afresh.
    void ShowViewEdit();
    // The open views show the model afresh; CloseViews when another game replaces this one.
    void RefreshViews();
    void CloseViews();

    // The career and the level whose rows the lists have selected.
    std::optional<std::uint32_t> SelectedCareer() const;
    std::optional<std::uint32_t> SelectedLevel() const;

    EditSession& session_;
    UserPort& port_;
    LoadRunner runLoad_;
    Dialogs dialogs_;

    bool filesLoaded_ = false;
    EditorView view_;

    // Set while the window itself changes its fields or lists, whose change notices are then
    // not the person's doing.
    int quiet_ = 0;
    bool ending_ = false;
    bool closed_ = false;
    int result_ = Closed;

    std::unique_ptr<MainWindowWidgets> widgets_;
    std::unique_ptr<MainMenus> menus_;
    QPointer<ReviewChangesDialog> review_;
    QPointer<CheckGameDialog> check_;
    QPointer<LevelTableDialog> levelTable_;
    QPointer<TranslationsDialog> translations_;
    QLabel* languageIndicator_ = nullptr;
    EnvironmentLookup settings_;
};

}  // namespace tw
