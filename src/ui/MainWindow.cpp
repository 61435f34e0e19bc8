#include "ui/MainWindow.h"

#include <algorithm>
#include <utility>

#include <QAction>
#include <QCloseEvent>
#include <QGroupBox>
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
#include "exchange/CareerExport.h"
#include "exchange/CareerImport.h"
#include "gamefiles/GameContext.h"
#include "icons/Bitmap.h"
#include "model/Languages.h"
#include "model/StringTable.h"
#include "ui/BitmapImage.h"
#include "ui/DialogUnits.h"
#include "ui/EditorImages.h"
#include "ui/FieldCodec.h"
#include "ui/FullRowListView.h"
#include "ui/MainMenus.h"
#include "ui/QuietScope.h"
#include "ui/ReviewChangesDialog.h"
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
    // No resizing: the window keeps the size of its client area and menu bar.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    layout()->activate();
}

MainWindow::~MainWindow() = default;

void MainWindow::SetDialogs(Dialogs dialogs) { dialogs_ = std::move(dialogs); }

// --- Widgets -------------------------------------------------------------------------------

void MainWindow::CreateWidgets() {
    // "[*]" becomes "*" while there are unsaved changes.
    setWindowTitle(QStringLiteral("Trackwright 2.1[*]"));
    // The buttons named and no others: without the customize hint, platforms add a maximize
    // button that a window of fixed size cannot use.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    // Tells what typing left out; the window keeps its size, so no grip.
    statusBar()->setSizeGripEnabled(false);

    auto* client = new QWidget(this);
    client->setFont(DialogUnits::DialogFont());
    const DialogUnits units(client->font());
    client->setFixedSize(units.Size(404, 303));
    setCentralWidget(client);

    // The frames first, so that the controls inside them are drawn over them.
    careerGroup_ = new QGroupBox(QStringLiteral("Career information"), client);
    careerGroup_->setGeometry(units.Rect(148, 7, 249, 158));
    jobGroup_ = new QGroupBox(QStringLiteral("Job information"), client);
    jobGroup_->setGeometry(units.Rect(148, 174, 249, 122));

    textFields_ = std::make_unique<TextFields>(
        client, units, [this](const QString& notice) { statusBar()->showMessage(notice, LeftOutNoticeTime); });

    iconPreview_ = new QLabel(client);
    iconPreview_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    iconPreview_->setAlignment(Qt::AlignCenter);
    iconPreview_->setGeometry(units.Rect(157, 114, 58, 41));

    // The controls in tab order.
    careerList_ = new FullRowListView(client);
    careerList_->setGeometry(units.Rect(7, 7, 128, 158));
    careerList_->AddColumn(QStringLiteral("ID"), 35);
    careerList_->AddColumn(QStringLiteral("Internal career name"), 125);

    jobList_ = new FullRowListView(client);
    jobList_->setGeometry(units.Rect(7, 177, 128, 119));
    jobList_->AddColumn(QStringLiteral("ID"), 35);
    jobList_->AddColumn(QStringLiteral("Internal job name"), 150);

    const auto makeButton = [&](const char* text, int x, int y) {
        auto* button = new QPushButton(QString::fromLatin1(text), client);
        button->setAutoDefault(false);
        button->setGeometry(units.Rect(x, y, 50, 14));
        return button;
    };

    textFields_->Make(InternalCareerName);
    textFields_->Make(CareerName);
    textFields_->Make(MaleOffer);
    textFields_->Make(FemaleOffer);
    modifyIconsButton_ = makeButton("Modify icons", 240, 133);
    textFields_->Make(MaleJobName);
    textFields_->Make(FemaleJobName);
    textFields_->Make(JobDescription);
    jobDetailsButton_ = makeButton("&Job details", 258, 271);
    chanceCardsButton_ = makeButton("&Chance Cards", 319, 271);

    // Until the load has given the window something to show, nothing can be used.
    UpdateControls();
    iconPreview_->setPixmap(QPixmap::fromImage(popupPlaceholder()));
}

void MainWindow::ConnectWidgets() {
    // A list reports every row whose state changed, the deselected row before the selected one,
    // and shows the final selection already. One run of the handler per change is enough: a
    // deselection followed by a selection is left to the selection's notice.
    connect(careerList_, &FullRowListView::ItemStateChanged, this, [this](int, bool selected) {
        if (quiet_ > 0 || !filesLoaded_) return;
        if (!selected && careerList_->SelectedRow() >= 0) return;
        OnCareerSelectionChanged();
    });
    connect(jobList_, &FullRowListView::ItemStateChanged, this, [this](int, bool selected) {
        if (quiet_ > 0 || !filesLoaded_) return;
        if (!selected && jobList_->SelectedRow() >= 0) return;
        OnJobSelectionChanged();
    });
    for (int index = 0; index < FieldCount; ++index) {
        const auto field = static_cast<Field>(index);
        QWidget* widget = textFields_->Widget(field);
        widget->installEventFilter(this);
        if (auto* line = qobject_cast<QLineEdit*>(widget))
            connect(line, &QLineEdit::textChanged, this, [this, field] { OnFieldChanged(field); });
        else if (auto* text = qobject_cast<QPlainTextEdit*>(widget))
            connect(text, &QPlainTextEdit::textChanged, this, [this, field] { OnFieldChanged(field); });
    }
    connect(modifyIconsButton_, &QPushButton::clicked, this, &MainWindow::ModifyIcons);
    connect(jobDetailsButton_, &QPushButton::clicked, this, &MainWindow::OpenJobDetails);
    connect(chanceCardsButton_, &QPushButton::clicked, this, &MainWindow::OpenChanceCards);
}

QAction* MainWindow::LanguageAction(std::uint16_t slot) const { return menus_->Language(slot); }

QAction* MainWindow::MenuAction(const QString& menu, const QString& item) const { return menus_->Find(menu, item); }

QAction* MainWindow::UndoAction() const { return menus_->Undo(); }

QAction* MainWindow::RedoAction() const { return menus_->Redo(); }

bool MainWindow::OffersOriginals() const {
    return filesLoaded_ && !session_.ReadOnly() && OffersKeptOriginals(session_.Context());
}

QWidget* MainWindow::FieldWidget(Field field) const { return textFields_->Widget(field); }

QString MainWindow::FieldText(Field field) const { return textFields_->Text(field); }

// --- Start and the loads -------------------------------------------------------------------

bool MainWindow::Start() {
    setWindowIcon(ApplicationIcon());
    AddAboutToSystemMenu(*this);
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
    careerList_->setFocus();
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
    {
        QuietScope quiet(quiet_);
        FillCareerList();
        careerList_->SelectRow(0);
    }
    OnCareerSelectionChanged();
    UpdateEditState();
}

void MainWindow::FillCareerList() {
    QuietScope quiet(quiet_);
    std::uint32_t index = 0;
    for (const Career& career : session_.Careers().careers) {
        careerList_->AppendRow({RowNumber(career.id), TextCodec::DecodeInternal(career.track.name)}, index);
        ++index;
    }
}

void MainWindow::EndAfterFailedLoad() {
    result_ = LoadFailed;
    ending_ = true;
    close();
}

void MainWindow::Reload() {
    if (!session_.ConfirmReload(port_)) return;
    {
        QuietScope quiet(quiet_);
        careerList_->RemoveAllRows();
    }
    if (session_.Reload([this](GameContext&) { return LoadGameFilesNow(); }) != LoadRequest::Loaded) {
        EndAfterFailedLoad();
        return;
    }
    ShowLoadedCareers();
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
        int row = careerList_->RowCount() - 1;
        while (row >= 0 && careerList_->RowData(row) != *place.career) --row;
        careerList_->SelectRow(row);
    }
    // Everything shown comes afresh from the model: the job list, the fields, the icon.
    OnCareerSelectionChanged();
    const Career* career = view_.SelectedCareer() ? session_.CareerAt(*view_.SelectedCareer()) : nullptr;
    if (place.level && career != nullptr && *place.level < career->LevelCount()) {
        {
            QuietScope quiet(quiet_);
            jobList_->SelectRow(static_cast<int>(*place.level));
        }
        OnJobSelectionChanged();
    }
}

void MainWindow::RefreshCareerRows() {
    QuietScope quiet(quiet_);
    for (int row = 0; row < careerList_->RowCount(); ++row)
        if (const Career* career = session_.CareerAt(careerList_->RowData(row)))
            careerList_->SetRowText(row, 1, TextCodec::DecodeInternal(career->track.name));
}

void MainWindow::UpdateEditState() {
    const bool readOnly = session_.ReadOnly();
    setWindowTitle(readOnly ? QStringLiteral("Trackwright 2.1[*] (read-only)") : QStringLiteral("Trackwright 2.1[*]"));
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
}

ReviewChangesDialog* MainWindow::ReviewWindow() const { return review_; }

void MainWindow::ReviewChanges() {
    if (!review_) {
        review_ = new ReviewChangesDialog(session_, this);
        review_->SetGoTo([this](const EditPlace& place) { ShowPlace(place); });
    }
    review_->Refresh();
    review_->show();
    review_->raise();
    review_->activateWindow();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const bool isField = textFields_->Holds(watched);
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

int MainWindow::ReloadAfterCommand(bool& reloaded) {
    {
        QuietScope quiet(quiet_);
        careerList_->RemoveAllRows();
    }
    const int result = session_.Reload([this](GameContext&) { return LoadGameFilesNow(); });
    reloaded = result == LoadRequest::Loaded;
    if (reloaded) ShowLoadedCareers();
    return result;
}

void MainWindow::Save() {
    bool reloaded = true;
    const SaveOutcome outcome = session_.Save(port_, [this, &reloaded] { return ReloadAfterCommand(reloaded); });
    if (outcome.saved && !reloaded) EndAfterFailedLoad();
    // The saved state is the history's clean point only now that the save has returned.
    UpdateEditState();
}

void MainWindow::RestoreOriginals() {
    bool reloaded = true;
    const RestoreOutcome outcome =
        session_.RestoreOriginals(port_, [this, &reloaded] { return ReloadAfterCommand(reloaded); });
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
    if (!closed_) {
        closed_ = true;
        emit WindowClosed();
    }
}

// --- Selections ----------------------------------------------------------------------------

std::optional<std::uint32_t> MainWindow::SelectedCareer() const {
    const int row = careerList_->SelectedRow();
    if (row < 0) return std::nullopt;
    const std::uint32_t career = careerList_->RowData(row);
    if (session_.CareerAt(career) == nullptr) return std::nullopt;
    return career;
}

std::optional<std::uint32_t> MainWindow::SelectedLevel() const {
    const int row = jobList_->SelectedRow();
    if (row < 0) return std::nullopt;
    return jobList_->RowData(row);
}

void MainWindow::OnCareerSelectionChanged() {
    view_.ChooseCareer(SelectedCareer(), jobList_->SelectedRow());
    {
        QuietScope quiet(quiet_);
        jobList_->RemoveAllRows();
    }
    textFields_->Show(view_);
    UpdateControls();
    if (const std::optional<std::uint32_t> career = view_.SelectedCareer()) {
        const CareerTrack& track = session_.CareerAt(*career)->track;
        QuietScope quiet(quiet_);
        for (std::uint32_t level = 0; level < track.levels.size(); ++level)
            jobList_->AppendRow({RowNumber(level), TextCodec::DecodeInternal(track.levels[level].texts[0])}, level);
        jobList_->SelectRow(view_.RememberedJobRow());
    }
    ShowPopupIcon();
    if (view_.SelectedCareer()) OnJobSelectionChanged();
}

void MainWindow::OnJobSelectionChanged() {
    if (!filesLoaded_ || !textFields_->Read(view_)) return;
    view_.ChooseLevel(SelectedLevel());
    textFields_->Show(view_);
    UpdateControls();
}

// --- Fields --------------------------------------------------------------------------------

void MainWindow::UpdateControls() {
    textFields_->Enable(view_);
    jobList_->setEnabled(view_.SelectedCareer().has_value());
    modifyIconsButton_->setEnabled(view_.CanModifyIcons());
    jobDetailsButton_->setEnabled(view_.CanOpenJobDetails());
    chanceCardsButton_->setEnabled(view_.CanOpenChanceCards());
}

void MainWindow::OnFieldChanged(Field field) {
    if (quiet_ > 0 || textFields_->Changing() || !filesLoaded_ || !textFields_->Read(view_)) return;
    const std::optional<std::uint32_t> career = view_.SelectedCareer();
    if (!career) return;
    if (field == InternalCareerName) {
        session_.SetInternalName(*career, view_.Bytes(field));
        careerList_->SetRowText(careerList_->SelectedRow(), 1, TextCodec::DecodeInternal(view_.Bytes(field)));
    } else if (const std::optional<CareerTexts::Text> text = EditorView::TextOf(field)) {
        session_.SetText(*career, *text, view_.SelectedLevel().value_or(0), view_.Language(), view_.Bytes(field));
    }
    UpdateEditState();
}

void MainWindow::SelectLanguage(std::uint16_t slot) {
    if (slot >= MainMenus::LanguageCount) return;
    view_.ChooseLanguage(slot);
    menus_->CheckLanguage(slot);
    RefreshTexts();
}

void MainWindow::RefreshTexts() {
    if (!filesLoaded_ || !textFields_->Read(view_) || !SelectedCareer()) return;
    view_.Refresh();
    textFields_->Show(view_);
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
    iconPreview_->setPixmap(QPixmap::fromImage(image.isNull() ? popupPlaceholder() : image));
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
    jobList_->SetRowText(jobList_->SelectedRow(), 1, TextCodec::DecodeInternal(edited->texts[0]));
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
    const ImportResult result = session_.Import(port_);
    switch (result.outcome) {
        case ImportResult::Outcome::CareerReplaced: {
            // The row at the career's position shows the career.
            const int row = static_cast<int>(result.careerIndex);
            if (const Career* career = session_.CareerAt(result.careerIndex))
                careerList_->SetRowText(row, 1, TextCodec::DecodeInternal(career->track.name));
            {
                QuietScope quiet(quiet_);
                careerList_->SelectRow(row);
            }
            OnCareerSelectionChanged();
            break;
        }
        case ImportResult::Outcome::AllRestored:
            {
                QuietScope quiet(quiet_);
                careerList_->RemoveAllRows();
                FillCareerList();
                careerList_->SelectRow(0);
            }
            OnCareerSelectionChanged();
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
