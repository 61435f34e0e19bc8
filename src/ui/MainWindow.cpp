#include "ui/MainWindow.h"

#include <algorithm>
#include <utility>

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTextCursor>

#include "edit/EditSession.h"
#include "edit/GameSave.h"
#include "edit/OriginalsRestore.h"
#include "exchange/CareerExport.h"
#include "exchange/CareerImport.h"
#include "gamefiles/GameContext.h"
#include "icons/Bitmap.h"
#include "model/Languages.h"
#include "model/StringTable.h"
#include "ui/AboutBox.h"
#include "ui/BitmapImage.h"
#include "ui/ChanceCardDialog.h"
#include "ui/DialogUnits.h"
#include "ui/EditorImages.h"
#include "ui/FieldCodec.h"
#include "ui/FullRowListView.h"
#include "ui/JobDetailsDialog.h"
#include "ui/ModifyIconsDialog.h"
#include "ui/ReviewChangesDialog.h"
#include "ui/TextCodec.h"
#include "util/UserPort.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

namespace tw {
namespace {

constexpr std::uint16_t LanguageCount = 15;

// Marks the window's own changes of its fields and lists, whose change notices then stay
// unanswered.
class Quiet {
public:
    explicit Quiet(int& depth) : depth_(depth) { ++depth_; }
    ~Quiet() { --depth_; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;

private:
    int& depth_;
};

QString RowNumber(std::uint32_t number) { return QStringLiteral("#%1").arg(number); }

// Where each language item has its mnemonic: distinct letters within the Language menu, which
// also holds "Set &All".
constexpr std::array<int, LanguageCount> LanguageMnemonics = {0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 11, 1, 2};

#ifdef _WIN32
// The system menu's About item; commands of our own there must be below 0xF000 and have the
// low four bits clear.
constexpr UINT AboutSystemCommand = 0x0010;
#endif

}  // namespace

const std::array<const char*, 15>& MainWindow::LanguageNames() { return tw::LanguageNames; }

MainWindow::MainWindow(EditSession& session, UserPort& port, LoadRunner runLoad, QWidget* parent)
    : QMainWindow(parent), session_(session), port_(port), runLoad_(std::move(runLoad)),
      dialogs_(DefaultDialogs(session, port)) {
    CreateWidgets();
    CreateMenus();
    ConnectWidgets();
    // No resizing: the window keeps the size of its client area and menu bar.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    layout()->activate();
}

MainWindow::~MainWindow() = default;

void MainWindow::SetDialogs(Dialogs dialogs) { dialogs_ = std::move(dialogs); }

MainWindow::Dialogs MainWindow::DefaultDialogs(EditSession& session, UserPort& port) {
    Dialogs dialogs;
    dialogs.jobDetails = [&port](QWidget* parent, const JobLevel& job, const Requirements& below) -> std::optional<JobLevel> {
        JobDetailsDialog dialog(job, below, port, parent);
        if (dialog.exec() == QDialog::Rejected) return std::nullopt;
        return dialog.WorkingJob();
    };
    dialogs.chanceCard = [&session, &port](QWidget* parent, std::uint16_t textRow, const std::vector<CardItem>& items,
                                           std::uint16_t slot, const CardConfirm& confirm) {
        ChanceCardDialog dialog(textRow, items, slot, session.Careers().cardTexts, confirm, port, parent);
        dialog.exec();
    };
    dialogs.about = [](QWidget* parent) {
        AboutBox box(parent);
        box.exec();
    };
    dialogs.modifyIcons = [&session, &port](QWidget* parent, std::uint16_t number) -> std::optional<Icons> {
        ModifyIconsDialog dialog(number, session.Context().iconStrips, port, parent);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return Icons{dialog.PopupIcon(), dialog.ButtonIcon()};
    };
    return dialogs;
}

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

    struct FieldPlace {
        const char* label;
        int x, y, width, height;
        bool multiLine;
    };
    static constexpr FieldPlace places[FieldCount] = {
        {"Internal career name:", 240, 26, 142, 12, false},
        {"Career name:", 240, 40, 142, 12, false},
        {"Male offer dialog text:", 240, 55, 142, 32, true},
        {"Female offer dialog text:", 240, 90, 142, 32, true},
        {"Male job name:", 241, 188, 142, 12, false},
        {"Female job name:", 241, 202, 142, 12, false},
        {"Job description:", 241, 216, 142, 46, true},
    };
    // Each label stands left of its field, inside the frame; the labels of the taller fields
    // may take two lines.
    for (int field = 0; field < FieldCount; ++field) {
        const FieldPlace& place = places[field];
        auto* label = new QLabel(QString::fromLatin1(place.label), client);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(place.multiLine);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setGeometry(units.Rect(156, place.y + 2, place.x - 156 - 3, place.multiLine ? 18 : 9));
        labels_[static_cast<std::size_t>(field)] = label;
    }

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

    const auto makeField = [&](Field field) -> QWidget* {
        const FieldPlace& place = places[field];
        QWidget* widget = nullptr;
        if (place.multiLine) {
            auto* edit = new QPlainTextEdit(client);
            edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            edit->setTabChangesFocus(true);
            // The window's history undoes typing; a second one inside the field would disagree.
            edit->setUndoRedoEnabled(false);
            widget = edit;
        } else {
            widget = new QLineEdit(client);
        }
        widget->setGeometry(units.Rect(place.x, place.y, place.width, place.height));
        labels_[field]->setBuddy(widget);
        fields_[field] = widget;
        return widget;
    };
    const auto makeButton = [&](const char* text, int x, int y) {
        auto* button = new QPushButton(QString::fromLatin1(text), client);
        button->setAutoDefault(false);
        button->setGeometry(units.Rect(x, y, 50, 14));
        return button;
    };

    makeField(InternalCareerName);
    makeField(CareerName);
    makeField(MaleOffer);
    makeField(FemaleOffer);
    modifyIconsButton_ = makeButton("Modify icons", 240, 133);
    makeField(MaleJobName);
    makeField(FemaleJobName);
    makeField(JobDescription);
    jobDetailsButton_ = makeButton("&Job details", 258, 271);
    chanceCardsButton_ = makeButton("&Chance Cards", 319, 271);

    // Until the load has given the window something to show, nothing can be used.
    SetFieldsEnabled(InternalCareerName, JobDescription, false);
    jobList_->setEnabled(false);
    modifyIconsButton_->setEnabled(false);
    jobDetailsButton_->setEnabled(false);
    chanceCardsButton_->setEnabled(false);
    iconPreview_->setPixmap(QPixmap::fromImage(popupPlaceholder()));
}

void MainWindow::CreateMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Reload"), this, &MainWindow::Reload);
    saveAction_ = file->addAction(QStringLiteral("&Save"), this, &MainWindow::Save);
    saveAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    restoreOriginalsAction_ =
        file->addAction(QStringLiteral("Restore &Original Files..."), this, &MainWindow::RestoreOriginals);
    // Offered only while there is something to give back; the store is looked at each time.
    connect(file, &QMenu::aboutToShow, this, [this] {
        restoreOriginalsAction_->setEnabled(filesLoaded_ && !session_.ReadOnly() &&
                                            OffersKeptOriginals(session_.Context()));
    });
    file->addAction(QStringLiteral("Review &Changes..."), this, &MainWindow::ReviewChanges);
    QAction* exit = file->addAction(QStringLiteral("E&xit"), this, &MainWindow::Exit);
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    undoAction_ = edit->addAction(QStringLiteral("&Undo"), this, &MainWindow::Undo);
    undoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redoAction_ = edit->addAction(QStringLiteral("&Redo"), this, &MainWindow::Redo);
    redoAction_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    undoAction_->setEnabled(false);
    redoAction_->setEnabled(false);

    QMenu* career = menuBar()->addMenu(QStringLiteral("&Career"));
    importAction_ = career->addAction(QStringLiteral("&Import"), this, &MainWindow::Import);
    career->addAction(QStringLiteral("&Export"), this, &MainWindow::Export);
    career->addAction(QStringLiteral("&Backup"), this, &MainWindow::Backup);

    QMenu* language = menuBar()->addMenu(QStringLiteral("&Language"));
    // The fifteen language items form one radio group; none is checked until the first
    // language is chosen after the load.
    languageGroup_ = new QActionGroup(this);
    languageGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (std::uint16_t slot = 0; slot < LanguageCount; ++slot) {
        QString text = QString::fromLatin1(LanguageNames()[slot]);
        text.insert(LanguageMnemonics[slot], QLatin1Char('&'));
        QAction* action = language->addAction(text);
        action->setCheckable(true);
        languageGroup_->addAction(action);
        connect(action, &QAction::triggered, this, [this, slot] { SelectLanguage(slot); });
        languageActions_[slot] = action;
    }
    language->addSeparator();
    language->addAction(QStringLiteral("Set &All"), this, &MainWindow::SetAllLanguages);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(QStringLiteral("&About"), this, &MainWindow::ShowAbout);
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
        fields_[field]->installEventFilter(this);
        if (auto* line = qobject_cast<QLineEdit*>(fields_[field]))
            connect(line, &QLineEdit::textChanged, this, [this, field] { OnFieldChanged(field); });
        else if (auto* text = qobject_cast<QPlainTextEdit*>(fields_[field]))
            connect(text, &QPlainTextEdit::textChanged, this, [this, field] { OnFieldChanged(field); });
    }
    connect(modifyIconsButton_, &QPushButton::clicked, this, &MainWindow::ModifyIcons);
    connect(jobDetailsButton_, &QPushButton::clicked, this, &MainWindow::OpenJobDetails);
    connect(chanceCardsButton_, &QPushButton::clicked, this, &MainWindow::OpenChanceCards);
}

QAction* MainWindow::LanguageAction(std::uint16_t slot) const {
    return slot < LanguageCount ? languageActions_[slot] : nullptr;
}

QAction* MainWindow::MenuAction(const QString& menu, const QString& item) const {
    for (QAction* top : menuBar()->actions()) {
        if (top->text() != menu || !top->menu()) continue;
        for (QAction* action : top->menu()->actions())
            if (action->text() == item) return action;
    }
    return nullptr;
}

QString MainWindow::FieldText(Field field) const {
    if (const auto* line = qobject_cast<const QLineEdit*>(fields_[field])) return line->text();
    if (const auto* text = qobject_cast<const QPlainTextEdit*>(fields_[field])) return text->toPlainText();
    return {};
}

// --- Start and the loads -------------------------------------------------------------------

bool MainWindow::Start() {
    setWindowIcon(ApplicationIcon());
    AddSystemMenuItem();
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
        Quiet quiet(quiet_);
        FillCareerList();
        careerList_->SelectRow(0);
    }
    OnCareerSelectionChanged();
    UpdateEditState();
}

void MainWindow::FillCareerList() {
    Quiet quiet(quiet_);
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
        Quiet quiet(quiet_);
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
    if (place.language && *place.language < LanguageCount) {
        currentLanguage_ = *place.language;
        languageActions_[currentLanguage_]->setChecked(true);
    }
    if (place.career) {
        Quiet quiet(quiet_);
        int row = careerList_->RowCount() - 1;
        while (row >= 0 && careerList_->RowData(row) != *place.career) --row;
        careerList_->SelectRow(row);
    }
    // Everything shown comes afresh from the model: the job list, the fields, the icon.
    OnCareerSelectionChanged();
    if (place.level && SelectedCareer() && *place.level < LevelCount(currentCareer_)) {
        {
            Quiet quiet(quiet_);
            jobList_->SelectRow(static_cast<int>(*place.level));
        }
        OnJobSelectionChanged();
    }
}

void MainWindow::RefreshCareerRows() {
    Quiet quiet(quiet_);
    for (int row = 0; row < careerList_->RowCount(); ++row)
        if (const Career* career = session_.CareerAt(careerList_->RowData(row)))
            careerList_->SetRowText(row, 1, TextCodec::DecodeInternal(career->track.name));
}

void MainWindow::UpdateEditState() {
    const bool readOnly = session_.ReadOnly();
    setWindowTitle(readOnly ? QStringLiteral("Trackwright 2.1[*] (read-only)") : QStringLiteral("Trackwright 2.1[*]"));
    setWindowModified(session_.HasUnsavedChanges());
    // What would change the game's files waits for a game that can be written.
    const QString why = readOnly ? QStringLiteral("The game is open read-only%1.")
                                       .arg(session_.ReadOnlyReason().empty()
                                                ? QString()
                                                : QStringLiteral(": ") + QString::fromStdString(session_.ReadOnlyReason()))
                                 : QString();
    for (QAction* action : {saveAction_, importAction_, restoreOriginalsAction_}) {
        action->setStatusTip(why);
        if (readOnly) action->setEnabled(false);
    }
    if (!readOnly) {
        saveAction_->setEnabled(true);
        importAction_->setEnabled(true);
    }
    const auto name = [](const char* command, const std::string& what) {
        return what.empty() ? QString::fromLatin1(command)
                            : QStringLiteral("%1 %2").arg(QString::fromLatin1(command), QString::fromStdString(what));
    };
    undoAction_->setText(name("&Undo", session_.UndoName()));
    undoAction_->setEnabled(filesLoaded_ && session_.CanUndo());
    redoAction_->setText(name("&Redo", session_.RedoName()));
    redoAction_->setEnabled(filesLoaded_ && session_.CanRedo());
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
    const bool isField = std::find(fields_.begin(), fields_.end(), watched) != fields_.end();
    if (isField && event->type() == QEvent::FocusOut) session_.EndTyping();
    if (isField && event->type() == QEvent::ShortcutOverride) {
        // A field claims these keys for an undo of its own; left unclaimed, they reach the
        // window's Undo and Redo wherever the focus is.
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        for (const QAction* action : {undoAction_, redoAction_})
            if (action->shortcuts().contains(pressed)) {
                event->ignore();
                return true;
            }
    }
    return QMainWindow::eventFilter(watched, event);
}

int MainWindow::ReloadAfterCommand(bool& reloaded) {
    {
        Quiet quiet(quiet_);
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

std::uint32_t MainWindow::LevelCount(std::uint32_t career) const {
    const Career* found = session_.CareerAt(career);
    return found != nullptr ? found->LevelCount() : 0;
}

std::optional<std::uint16_t> MainWindow::SelectedLevel() const {
    const int row = jobList_->SelectedRow();
    if (row < 0) return std::nullopt;
    const std::uint32_t level = jobList_->RowData(row);
    if (level >= LevelCount(currentCareer_) || level > 0xFFFFu) return std::nullopt;
    return static_cast<std::uint16_t>(level);
}

bool MainWindow::HasCardFor(std::uint32_t career, std::uint32_t level) const {
    const Career* found = session_.CareerAt(career);
    return found != nullptr && found->Card(level) != nullptr;
}

std::optional<CareerTexts::Text> MainWindow::TextOf(Field field) {
    switch (field) {
        case CareerName: return CareerTexts::Text::CareerName;
        case MaleOffer: return CareerTexts::Text::MaleOffer;
        case FemaleOffer: return CareerTexts::Text::FemaleOffer;
        case MaleJobName: return CareerTexts::Text::MaleJobName;
        case FemaleJobName: return CareerTexts::Text::FemaleJobName;
        case JobDescription: return CareerTexts::Text::JobDescription;
        default: return std::nullopt;
    }
}

void MainWindow::OnCareerSelectionChanged() {
    // The job row is remembered across career changes; while no career is selected it is kept
    // as -1 - row, so that the moment in between does not forget it.
    if (rememberedJobRow_ >= 0) {
        const int row = jobList_->SelectedRow();
        rememberedJobRow_ = row >= 0 ? row : 0;
    }
    {
        Quiet quiet(quiet_);
        jobList_->RemoveAllRows();
    }

    const std::optional<std::uint32_t> career = SelectedCareer();
    if (!career) {
        SetFieldsEnabled(InternalCareerName, JobDescription, false);
        jobList_->setEnabled(false);
        modifyIconsButton_->setEnabled(false);
        jobDetailsButton_->setEnabled(false);
        chanceCardsButton_->setEnabled(false);
        for (std::string& buffer : buffers_) buffer.clear();
        ShowBuffers();
        ShowPopupIcon();
        if (rememberedJobRow_ >= 0) rememberedJobRow_ = -1 - rememberedJobRow_;
        return;
    }

    currentCareer_ = *career;
    const CareerTrack& track = session_.CareerAt(currentCareer_)->track;
    buffers_[InternalCareerName] = track.name;
    for (const Field field : {CareerName, MaleOffer, FemaleOffer}) LoadText(field);
    ShowBuffers();

    SetFieldsEnabled(InternalCareerName, FemaleOffer, true);
    modifyIconsButton_->setEnabled(true);
    jobList_->setEnabled(true);

    {
        Quiet quiet(quiet_);
        for (std::uint32_t level = 0; level < track.levels.size(); ++level)
            jobList_->AppendRow({RowNumber(level), TextCodec::DecodeInternal(track.levels[level].texts[0])}, level);
        if (rememberedJobRow_ < 0) rememberedJobRow_ = -1 - rememberedJobRow_;
        jobList_->SelectRow(rememberedJobRow_);
    }
    ShowPopupIcon();
    OnJobSelectionChanged();
}

void MainWindow::OnJobSelectionChanged() {
    if (!filesLoaded_ || !ReadFields()) return;
    const std::optional<std::uint16_t> level = SelectedLevel();
    if (!level) {
        jobDetailsButton_->setEnabled(false);
        chanceCardsButton_->setEnabled(false);
        SetFieldsEnabled(MaleJobName, JobDescription, false);
        buffers_[MaleJobName].clear();
        buffers_[FemaleJobName].clear();
        buffers_[JobDescription].clear();
        ShowBuffers();
        return;
    }
    currentLevel_ = *level;
    for (const Field field : {MaleJobName, FemaleJobName, JobDescription}) LoadText(field);
    ShowBuffers();

    jobDetailsButton_->setEnabled(true);
    SetFieldsEnabled(MaleJobName, JobDescription, currentLevel_ < CareerTexts::LevelsWithTexts);
    chanceCardsButton_->setEnabled(!session_.ChanceCardsDisabled() && HasCardFor(currentCareer_, currentLevel_));
}

// --- Fields --------------------------------------------------------------------------------

bool MainWindow::IsMultiLine(Field field) const { return qobject_cast<QPlainTextEdit*>(fields_[field]) != nullptr; }

void MainWindow::SetFieldsEnabled(Field first, Field last, bool enabled) {
    for (int field = first; field <= last; ++field) fields_[static_cast<std::size_t>(field)]->setEnabled(enabled);
    UpdatePlaceholders();
}

void MainWindow::UpdatePlaceholders() {
    const QString hint = QStringLiteral("No %1 text").arg(QString::fromLatin1(LanguageNames()[shownLanguage_]));
    for (int index = 0; index < FieldCount; ++index) {
        const auto field = static_cast<Field>(index);
        if (!TextOf(field)) continue;
        // A field that cannot be used shows no hint: it has nothing to be empty of.
        const QString text = fields_[field]->isEnabled() ? hint : QString();
        if (auto* line = qobject_cast<QLineEdit*>(fields_[field]))
            line->setPlaceholderText(text);
        else if (auto* edit = qobject_cast<QPlainTextEdit*>(fields_[field]))
            edit->setPlaceholderText(text);
    }
}

void MainWindow::PutFieldText(Field field, const QString& text, int cursor) {
    Quiet quiet(quiet_);
    const int position = std::clamp(cursor, 0, static_cast<int>(text.size()));
    if (auto* line = qobject_cast<QLineEdit*>(fields_[field])) {
        line->setText(text);
        line->setCursorPosition(position);
    } else if (auto* edit = qobject_cast<QPlainTextEdit*>(fields_[field])) {
        edit->setPlainText(text);
        QTextCursor moved = edit->textCursor();
        moved.setPosition(position);
        edit->setTextCursor(moved);
    }
    shownTexts_[field] = FieldText(field);
}

void MainWindow::TellLeftOut(const FieldCodec& codec, const QString& characters) {
    statusBar()->showMessage(FieldCodec::LeftOutNotice(characters, codec.TextsName()), LeftOutNoticeTime);
}

void MainWindow::ShowBuffers() {
    Quiet quiet(quiet_);
    shownLanguage_ = currentLanguage_;
    for (int index = 0; index < FieldCount; ++index) {
        const auto field = static_cast<Field>(index);
        const FieldCodec codec{currentLanguage_, field == InternalCareerName, IsMultiLine(field)};
        const QString text = codec.Show(buffers_[field]);
        if (auto* line = qobject_cast<QLineEdit*>(fields_[field])) {
            if (line->text() != text) line->setText(text);
        } else if (auto* edit = qobject_cast<QPlainTextEdit*>(fields_[field])) {
            if (edit->toPlainText() != text) edit->setPlainText(text);
        }
        // What the control made of the text, which is what reading it back will find.
        shownTexts_[field] = FieldText(field);
    }
    UpdatePlaceholders();
}

bool MainWindow::ReadFields() {
    for (int index = 0; index < FieldCount; ++index) {
        const auto field = static_cast<Field>(index);
        const QString text = FieldText(field);
        // A field the person has not touched keeps its bytes as they are.
        if (text == shownTexts_[field]) continue;
        // The fields hold what was shown in the language of that moment.
        const FieldCodec codec{shownLanguage_, field == InternalCareerName, IsMultiLine(field)};
        // What was typed or pasted goes in as far as the code page holds it; the status line
        // names what was left out.
        if (const std::optional<FieldCodec::Fitted> fitted = codec.Fit(shownTexts_[field], text, buffers_[field])) {
            if (!fitted->leftOut.isEmpty()) {
                PutFieldText(field, fitted->text, fitted->cursor);
                TellLeftOut(codec, fitted->leftOut);
            }
            buffers_[field] = fitted->bytes;
            shownTexts_[field] = FieldText(field);
            continue;
        }
        // A text that its code page cannot hold at all is refused: the field gets its stored
        // text back.
        const int cursor = [this, field] {
            if (const auto* line = qobject_cast<const QLineEdit*>(fields_[field])) return line->cursorPosition();
            return qobject_cast<const QPlainTextEdit*>(fields_[field])->textCursor().position();
        }();
        PutFieldText(field, codec.Show(buffers_[field]), cursor - 1);
        return false;
    }
    return true;
}

void MainWindow::LoadText(Field field) {
    // A row that the table lacks, or a level without texts, shows as empty.
    const Career* career = session_.CareerAt(currentCareer_);
    const std::optional<CareerTexts::Text> text = TextOf(field);
    buffers_[field] = career != nullptr && text ? career->texts.Get(*text, currentLevel_, currentLanguage_) : std::string();
}

void MainWindow::OnFieldChanged(Field field) {
    if (quiet_ > 0 || !filesLoaded_ || !ReadFields()) return;
    if (field == InternalCareerName) {
        const std::optional<std::uint32_t> career = SelectedCareer();
        if (!career) return;
        session_.SetInternalName(*career, buffers_[field]);
        careerList_->SetRowText(careerList_->SelectedRow(), 1, TextCodec::DecodeInternal(buffers_[field]));
    } else if (const std::optional<CareerTexts::Text> text = TextOf(field)) {
        session_.SetText(currentCareer_, *text, currentLevel_, currentLanguage_, buffers_[field]);
    }
    UpdateEditState();
}

void MainWindow::SelectLanguage(std::uint16_t slot) {
    if (slot >= LanguageCount) return;
    currentLanguage_ = slot;
    languageActions_[slot]->setChecked(true);
    RefreshTexts();
}

void MainWindow::RefreshTexts() {
    if (!filesLoaded_ || !ReadFields() || !SelectedCareer()) return;
    for (const Field field : {CareerName, MaleOffer, FemaleOffer}) LoadText(field);
    if (SelectedLevel())
        for (const Field field : {MaleJobName, FemaleJobName, JobDescription}) LoadText(field);
    ShowBuffers();
}

void MainWindow::SetAllLanguages() {
    session_.SetAllLanguages(port_, currentCareer_, currentLanguage_);
    UpdateEditState();
}

// --- Icons ---------------------------------------------------------------------------------

void MainWindow::ShowPopupIcon() {
    QImage image;
    if (const std::optional<std::uint32_t> career = SelectedCareer()) {
        currentCareer_ = *career;
        Bitmap icon;
        if (session_.Context().iconStrips.GetPopupIcon(session_.CareerAt(*career)->id, icon)) image = ToQImage(icon);
    }
    iconPreview_->setPixmap(QPixmap::fromImage(image.isNull() ? popupPlaceholder() : image));
}

void MainWindow::ModifyIcons() {
    const std::optional<std::uint32_t> career = SelectedCareer();
    if (!career) return;
    currentCareer_ = *career;
    if (!dialogs_.modifyIcons) return;
    const std::optional<Icons> icons = dialogs_.modifyIcons(this, session_.CareerAt(currentCareer_)->id);
    if (!icons) return;
    session_.SetIcons(currentCareer_, icons->popup, icons->button);
    ShowPopupIcon();
    UpdateEditState();
}

// --- Dialogs -------------------------------------------------------------------------------

void MainWindow::OpenJobDetails() {
    const std::optional<std::uint16_t> level = SelectedLevel();
    if (!level || !dialogs_.jobDetails) return;
    const JobLevel& job = session_.CareerAt(currentCareer_)->track.levels[*level];
    const std::optional<JobLevel> edited =
        dialogs_.jobDetails(this, job, session_.RequirementsBelowLevel(currentCareer_, *level));
    if (!edited) return;
    session_.SetJobLevel(currentCareer_, *level, *edited);
    jobList_->SetRowText(jobList_->SelectedRow(), 1, TextCodec::DecodeInternal(edited->texts[0]));
    UpdateEditState();
}

void MainWindow::OpenChanceCards() {
    const std::optional<std::uint16_t> level = SelectedLevel();
    if (!level || session_.ChanceCardsDisabled() || !HasCardFor(currentCareer_, *level) || !dialogs_.chanceCard)
        return;
    const ChanceCard& card = *session_.CareerAt(currentCareer_)->Card(*level);
    const std::uint32_t career = currentCareer_;
    const std::uint16_t slot = currentLanguage_;
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
    const std::optional<std::uint32_t> career = SelectedCareer();
    if (!career) return;
    currentCareer_ = *career;
    session_.Export(port_, career);
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
                Quiet quiet(quiet_);
                careerList_->SelectRow(row);
            }
            OnCareerSelectionChanged();
            break;
        }
        case ImportResult::Outcome::AllRestored:
            {
                Quiet quiet(quiet_);
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

// --- System menu ---------------------------------------------------------------------------

#ifdef _WIN32
void MainWindow::AddSystemMenuItem() {
    HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(winId()), FALSE);
    if (menu == nullptr) return;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, AboutSystemCommand, L"&About Trackwright 2.1...");
}

bool MainWindow::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    if (eventType == "windows_generic_MSG") {
        const MSG* msg = static_cast<const MSG*>(message);
        if (msg->message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == AboutSystemCommand) {
            ShowAbout();
            *result = 0;
            return true;
        }
    }
    return QMainWindow::nativeEvent(eventType, message, result);
}
#else
// Other platforms give a window no system menu of the program's own; Help > About serves.
void MainWindow::AddSystemMenuItem() {}
#endif

}  // namespace tw
