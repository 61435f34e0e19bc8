#include "ui/MainWindow.h"

#include <utility>

#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>

#include "edit/EditSession.h"
#include "edit/GameSave.h"
#include "edit/OriginalsRestore.h"
#include "exchange/CareerImport.h"
#include "gamefiles/GameContext.h"
#include "locate/RecentGames.h"
#include "icons/Bitmap.h"
#include "model/Languages.h"
#include "ui/BitmapImage.h"
#include "ui/EditorImages.h"
#include "ui/FullRowListView.h"
#include "ui/MainMenus.h"
#include "ui/QuietScope.h"
#include "ui/ReviewChangesDialog.h"
#include "ui/SideWindows.h"
#include "ui/SystemMenu.h"
#include "ui/TextCodec.h"
#include "ui/TextFields.h"
#include "util/UserPort.h"

namespace tw {
namespace {

QString RowNumber(std::uint32_t number) { return QStringLiteral("#%1").arg(number); }

}  // namespace

const std::array<const char*, 15>& MainWindow::LanguageNames() { return tw::LanguageNames; }

MainWindow::MainWindow(EditSession& session, UserPort& port, LoadRunner runLoad, QWidget* parent)
    : QMainWindow(parent), session_(session), port_(port), runLoad_(std::move(runLoad)),
      dialogs_(DefaultDialogs(session, port)), view_(session) {
    CreateWidgets();
    menus_ = std::make_unique<MainMenus>(*menuBar(), *this);
    ConnectWidgets();
    // The first size is the smallest: the controls stand where they were designed to, and any
    // room beyond goes to the lists and the text fields.
    layout()->activate();
    setMinimumSize(sizeHint());
    resize(minimumSize());
}

MainWindow::~MainWindow() = default;

void MainWindow::SetDialogs(Dialogs dialogs) { dialogs_ = std::move(dialogs); }

// --- Widgets -------------------------------------------------------------------------------

void MainWindow::CreateWidgets() {
    // "[*]" becomes "*" while there are unsaved changes.
    setWindowTitle(TitleFor(session_.Context().gameFolder, false));
    // Tells what typing left out, and always which language is shown.
    languageIndicator_ = new QLabel(QStringLiteral("Language: %1").arg(QString::fromLatin1(LanguageNames()[0])), this);
    statusBar()->addPermanentWidget(languageIndicator_);

    widgets_ = std::make_unique<MainWindowWidgets>(
        *this, [this](const QString& notice) { statusBar()->showMessage(notice, LeftOutNoticeTime); });

    // Until the load has given the window something to show, nothing can be used.
    UpdateControls();
}

void MainWindow::ConnectWidgets() {
    // A list reports every row whose state changed, the deselected row before the selected one,
    // and shows the final selection already. One run of the handler per change is enough: a
    // deselection followed by a selection is left to the selection's notice.
    connect(widgets_->careerList, &FullRowListView::ItemStateChanged, this, [this](int, bool selected) {
        if (quiet_ > 0 || !filesLoaded_) return;
        if (!selected && widgets_->careerList->SelectedRow() >= 0) return;
        OnCareerSelectionChanged();
    });
    connect(widgets_->jobList, &FullRowListView::ItemStateChanged, this, [this](int, bool selected) {
        if (quiet_ > 0 || !filesLoaded_) return;
        if (!selected && widgets_->jobList->SelectedRow() >= 0) return;
        OnJobSelectionChanged();
    });
    for (int index = 0; index < FieldCount; ++index) {
        const auto field = static_cast<Field>(index);
        QWidget* widget = widgets_->fields->Widget(field);
        widget->installEventFilter(this);
        if (auto* line = qobject_cast<QLineEdit*>(widget))
            connect(line, &QLineEdit::textChanged, this, [this, field] { OnFieldChanged(field); });
        else if (auto* text = qobject_cast<QPlainTextEdit*>(widget))
            connect(text, &QPlainTextEdit::textChanged, this, [this, field] { OnFieldChanged(field); });
    }
    connect(widgets_->modifyIcons, &QPushButton::clicked, this, &MainWindow::ModifyIcons);
    connect(widgets_->jobDetails, &QPushButton::clicked, this, &MainWindow::OpenJobDetails);
    connect(widgets_->chanceCards, &QPushButton::clicked, this, &MainWindow::OpenChanceCards);
}

QAction* MainWindow::LanguageAction(std::uint16_t slot) const { return menus_->Language(slot); }

QAction* MainWindow::MenuAction(const QString& menu, const QString& item) const { return menus_->Find(menu, item); }

QAction* MainWindow::UndoAction() const { return menus_->Undo(); }

QAction* MainWindow::RedoAction() const { return menus_->Redo(); }

bool MainWindow::OffersOriginals() const {
    return filesLoaded_ && !session_.ReadOnly() && OffersKeptOriginals(session_.Context());
}

QWidget* MainWindow::FieldWidget(Field field) const { return widgets_->fields->Widget(field); }

QString MainWindow::FieldText(Field field) const { return widgets_->fields->Text(field); }

// --- Start and the loads -------------------------------------------------------------------

bool MainWindow::Start() {
    setWindowIcon(ApplicationIcon());
    AddAboutToSystemMenu(*this);
    RestoreSize();
    if (LoadGameFilesNow() != LoadRequest::Loaded) {
        result_ = LoadFailed;
        ending_ = true;
        closed_ = true;
        emit WindowClosed();
        return false;
    }
    ShowLoadedCareers();
    session_.SettleWriteAccess(port_);
    UpdateEditState();
    widgets_->careerList->setFocus();
    if (settings_) (void)RecentGames(settings_).Add(session_.Context().gameFolder);
    return true;
}

bool MainWindow::CareersUnchanged() const { return !session_.HasUnsavedChanges(); }

int MainWindow::LoadGameFilesNow() {
    // The worker alone touches the model while the load runs; nothing here may read it until
    // the load has finished.
    filesLoaded_ = false;
    return session_.Load(runLoad_);
}

void MainWindow::ShowLoadedCareers() {
    filesLoaded_ = true;
    SelectLanguage(0);
    ShowCareersFromFirst();
    UpdateEditState();
    NoteWhatTheCheckFinds();
}

void MainWindow::ShowCareersFromFirst() {
    {
        QuietScope quiet(quiet_);
        widgets_->careerList->RemoveAllRows();
        std::uint32_t index = 0;
        for (const Career& career : session_.Careers().careers) {
            widgets_->careerList->AppendRow({RowNumber(career.id), TextCodec::DecodeInternal(career.track.name)}, index);
            ++index;
        }
        widgets_->careerList->SelectRow(0);
    }
    OnCareerSelectionChanged();
}

void MainWindow::EndAfterFailedLoad() {
    result_ = LoadFailed;
    ending_ = true;
    close();
}

void MainWindow::Reload() {
    if (!session_.ConfirmReload(port_)) return;
    bool reloaded = true;
    ReloadFiles(reloaded);
    if (!reloaded) EndAfterFailedLoad();
}

void MainWindow::Undo() {
    if (filesLoaded_) ShowChange(session_.Undo());
}

void MainWindow::Redo() {
    if (filesLoaded_) ShowChange(session_.Redo());
}

void MainWindow::ShowChange(const std::optional<EditPlace>& place) {
    if (place) {
        RefreshCareerRows();
        ShowPlace(*place);
    }
    UpdateEditState();
}

void MainWindow::ShowPlace(const EditPlace& place) {
    if (!filesLoaded_) return;
    if (place.language && *place.language < MainMenus::LanguageCount) {
        view_.ChooseLanguage(*place.language);
        menus_->CheckLanguage(*place.language);
    }
    if (place.career) {
        QuietScope quiet(quiet_);
        int row = widgets_->careerList->RowCount() - 1;
        while (row >= 0 && widgets_->careerList->RowData(row) != *place.career) --row;
        widgets_->careerList->SelectRow(row);
    }
    // Everything shown comes afresh from the model: the job list, the fields, the icon.
    OnCareerSelectionChanged();
    const Career* career = view_.SelectedCareer() ? session_.CareerAt(*view_.SelectedCareer()) : nullptr;
    if (place.level && career != nullptr && *place.level < career->LevelCount()) {
        {
            QuietScope quiet(quiet_);
            widgets_->jobList->SelectRow(static_cast<int>(*place.level));
        }
        OnJobSelectionChanged();
    }
}

void MainWindow::RefreshCareerRows() {
    QuietScope quiet(quiet_);
    for (int row = 0; row < widgets_->careerList->RowCount(); ++row)
        if (const Career* career = session_.CareerAt(widgets_->careerList->RowData(row)))
            widgets_->careerList->SetRowText(row, 1, TextCodec::DecodeInternal(career->track.name));
}

void MainWindow::UpdateEditState() {
    const bool readOnly = session_.ReadOnly();
    setWindowTitle(TitleFor(session_.Context().gameFolder, readOnly));
    setWindowModified(session_.HasUnsavedChanges());
    MainMenus::State state;
    state.readOnly = readOnly;
    const std::string& reason = session_.ReadOnlyReason();
    state.readOnlyWhy = QStringLiteral("The game is open read-only%1.")
                            .arg(reason.empty() ? QString() : QStringLiteral(": ") + QString::fromStdString(reason));
    state.canUndo = filesLoaded_ && session_.CanUndo();
    state.undoName = session_.UndoName();
    state.canRedo = filesLoaded_ && session_.CanRedo();
    state.redoName = session_.RedoName();
    menus_->Show(state);
    if (review_ && review_->isVisible()) review_->Refresh();
    RefreshViews();
}

ReviewChangesDialog* MainWindow::ReviewWindow() const { return review_; }

void MainWindow::ReviewChanges() {
    if (!review_) {
        review_ = new ReviewChangesDialog(session_, this);
        review_->SetGoTo([this](const EditPlace& place) { ShowPlace(place); });
    }
    review_->Refresh();
    ShowInFront(*review_);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const bool isField = widgets_->fields->Holds(watched);
    if (isField && event->type() == QEvent::FocusOut) session_.EndTyping();
    if (isField && event->type() == QEvent::ShortcutOverride) {
        // A field claims these keys for an undo of its own; left unclaimed, they reach the
        // window's Undo and Redo wherever the focus is.
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        for (const QAction* action : {menus_->Undo(), menus_->Redo()})
            if (action->shortcuts().contains(pressed)) {
                event->ignore();
                return true;
            }
    }
    return QMainWindow::eventFilter(watched, event);
}

int MainWindow::ReloadFiles(bool& reloaded) {
    {
        QuietScope quiet(quiet_);
        widgets_->careerList->RemoveAllRows();
    }
    const int result = session_.Reload([this](GameContext&) { return LoadGameFilesNow(); });
    reloaded = result == LoadRequest::Loaded;
    if (reloaded) ShowLoadedCareers();
    return result;
}

void MainWindow::Save() {
    if (!session_.ConfirmLosses(port_)) return;
    bool reloaded = true;
    const SaveOutcome outcome = session_.Save(port_, [this, &reloaded] { return ReloadFiles(reloaded); });
    if (outcome.saved && !reloaded) EndAfterFailedLoad();
    // The saved state is the history's clean point only now that the save has returned.
    UpdateEditState();
}

void MainWindow::RestoreOriginals() {
    bool reloaded = true;
    const RestoreOutcome outcome =
        session_.RestoreOriginals(port_, [this, &reloaded] { return ReloadFiles(reloaded); });
    if (outcome == RestoreOutcome::Restored && !reloaded) EndAfterFailedLoad();
    UpdateEditState();
}

void MainWindow::Exit() { close(); }

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!closed_ && !ending_ && session_.DecideExit(port_) == ExitDecision::Stay) {
        event->ignore();
        return;
    }
    event->accept();
    if (!ending_) KeepSize();
    if (!closed_) {
        closed_ = true;
        emit WindowClosed();
    }
}

// --- Selections ----------------------------------------------------------------------------

std::optional<std::uint32_t> MainWindow::SelectedCareer() const {
    const int row = widgets_->careerList->SelectedRow();
    if (row < 0) return std::nullopt;
    const std::uint32_t career = widgets_->careerList->RowData(row);
    if (session_.CareerAt(career) == nullptr) return std::nullopt;
    return career;
}

std::optional<std::uint32_t> MainWindow::SelectedLevel() const {
    const int row = widgets_->jobList->SelectedRow();
    if (row < 0) return std::nullopt;
    return widgets_->jobList->RowData(row);
}

void MainWindow::OnCareerSelectionChanged() {
    view_.ChooseCareer(SelectedCareer(), widgets_->jobList->SelectedRow());
    {
        QuietScope quiet(quiet_);
        widgets_->jobList->RemoveAllRows();
    }
    widgets_->fields->Show(view_);
    UpdateControls();
    if (const std::optional<std::uint32_t> career = view_.SelectedCareer()) {
        const CareerTrack& track = session_.CareerAt(*career)->track;
        QuietScope quiet(quiet_);
        for (std::uint32_t level = 0; level < track.levels.size(); ++level)
            widgets_->jobList->AppendRow({RowNumber(level), TextCodec::DecodeInternal(track.levels[level].texts[0])}, level);
        widgets_->jobList->SelectRow(view_.RememberedJobRow());
    }
    ShowPopupIcon();
    if (view_.SelectedCareer()) OnJobSelectionChanged();
}

void MainWindow::OnJobSelectionChanged() {
    if (!filesLoaded_ || !widgets_->fields->Read(view_)) return;
    view_.ChooseLevel(SelectedLevel());
    widgets_->fields->Show(view_);
    UpdateControls();
}

// --- Fields --------------------------------------------------------------------------------

void MainWindow::UpdateControls() {
    widgets_->fields->Enable(view_);
    widgets_->jobList->setEnabled(view_.SelectedCareer().has_value());
    widgets_->modifyIcons->setEnabled(view_.CanModifyIcons());
    widgets_->jobDetails->setEnabled(view_.CanOpenJobDetails());
    widgets_->chanceCards->setEnabled(view_.CanOpenChanceCards());
}

void MainWindow::OnFieldChanged(Field field) {
    if (quiet_ > 0 || widgets_->fields->Changing() || !filesLoaded_ || !widgets_->fields->Read(view_)) return;
    const std::optional<std::uint32_t> career = view_.SelectedCareer();
    if (!career) return;
    if (field == InternalCareerName) {
        session_.SetInternalName(*career, view_.Bytes(field));
        widgets_->careerList->SetRowText(widgets_->careerList->SelectedRow(), 1, TextCodec::DecodeInternal(view_.Bytes(field)));
    } else if (const std::optional<CareerTexts::Text> text = EditorView::TextOf(field)) {
        session_.SetText(*career, *text, view_.SelectedLevel().value_or(0), view_.Language(), view_.Bytes(field));
    }
    UpdateEditState();
}

void MainWindow::SelectLanguage(std::uint16_t slot) {
    if (slot >= MainMenus::LanguageCount) return;
    view_.ChooseLanguage(slot);
    menus_->CheckLanguage(slot);
    languageIndicator_->setText(QStringLiteral("Language: %1").arg(QString::fromLatin1(LanguageNames()[slot])));
    RefreshTexts();
}

void MainWindow::RefreshTexts() {
    if (!filesLoaded_ || !widgets_->fields->Read(view_) || !SelectedCareer()) return;
    view_.Refresh();
    widgets_->fields->Show(view_);
}

void MainWindow::SetAllLanguages() {
    if (const std::optional<std::uint32_t> career = view_.SelectedCareer())
        session_.SetAllLanguages(port_, *career, view_.Language());
    UpdateEditState();
}

// --- Icons ---------------------------------------------------------------------------------

void MainWindow::ShowPopupIcon() {
    QImage image;
    if (const std::optional<std::uint32_t> career = view_.SelectedCareer()) {
        Bitmap icon;
        if (session_.Context().iconStrips.GetPopupIcon(session_.CareerAt(*career)->id, icon)) image = ToQImage(icon);
    }
    widgets_->iconPreview->setPixmap(QPixmap::fromImage(image.isNull() ? popupPlaceholder() : image));
}

void MainWindow::ModifyIcons() {
    const std::optional<std::uint32_t> career = view_.SelectedCareer();
    if (!career || !dialogs_.modifyIcons) return;
    const std::optional<Icons> icons = dialogs_.modifyIcons(this, session_.CareerAt(*career)->id);
    if (!icons) return;
    session_.SetIcons(*career, icons->popup, icons->button);
    ShowPopupIcon();
    UpdateEditState();
}

// --- Dialogs -------------------------------------------------------------------------------

void MainWindow::OpenJobDetails() {
    const std::optional<std::uint32_t> career = view_.SelectedCareer();
    const std::optional<std::uint16_t> level = view_.SelectedLevel();
    if (!career || !level || !dialogs_.jobDetails) return;
    const JobLevel& job = session_.CareerAt(*career)->track.levels[*level];
    const std::optional<JobLevel> edited = dialogs_.jobDetails(this, job, session_.RequirementsBelowLevel(*career, *level));
    if (!edited) return;
    session_.SetJobLevel(*career, *level, *edited);
    widgets_->jobList->SetRowText(widgets_->jobList->SelectedRow(), 1, TextCodec::DecodeInternal(edited->texts[0]));
    UpdateEditState();
}

void MainWindow::OpenChanceCards() {
    if (!view_.CanOpenChanceCards() || !dialogs_.chanceCard) return;
    const std::uint32_t career = *view_.SelectedCareer();
    const std::optional<std::uint16_t> level = view_.SelectedLevel();
    const ChanceCard& card = *session_.CareerAt(career)->Card(*level);
    const std::uint16_t slot = view_.Language();
    dialogs_.chanceCard(this, card.textRow, card.items, slot,
                        [this, career, level, slot](const std::vector<CardItem>& items, const std::string& text) {
                            const std::optional<CardTextResult> result =
                                session_.SetChanceCard(career, *level, items, text, slot);
                            const ChanceCard* stored = session_.CareerAt(career)->Card(*level);
                            return CardTextPlacement{stored->textRow, result.value_or(CardTextResult::NoText)};
                        });
    UpdateEditState();
}

void MainWindow::ShowAbout() {
    if (dialogs_.about) dialogs_.about(this);
}

// --- Career exchange -----------------------------------------------------------------------

void MainWindow::Export() {
    if (const std::optional<std::uint32_t> career = view_.SelectedCareer()) session_.Export(port_, career);
}

void MainWindow::Backup() { session_.Backup(port_); }

void MainWindow::Import() {
    const ImportResult result = session_.Import(port_, view_.SelectedCareer());
    switch (result.outcome) {
        case ImportResult::Outcome::CareerReplaced: {
            // The row at the career's position shows the career.
            const int row = static_cast<int>(result.careerIndex);
            if (const Career* career = session_.CareerAt(result.careerIndex))
                widgets_->careerList->SetRowText(row, 1, TextCodec::DecodeInternal(career->track.name));
            {
                QuietScope quiet(quiet_);
                widgets_->careerList->SelectRow(row);
            }
            OnCareerSelectionChanged();
            break;
        }
        case ImportResult::Outcome::AllRestored:
            ShowCareersFromFirst();
            break;
        default:
            break;
    }
    UpdateEditState();
}

#ifdef _WIN32
bool MainWindow::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    if (!IsAboutFromSystemMenu(eventType, message)) return QMainWindow::nativeEvent(eventType, message, result);
    ShowAbout();
    *result = 0;
    return true;
}
#endif

}  // namespace tw
