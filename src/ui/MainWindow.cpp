#include "ui/MainWindow.h"

#include <algorithm>
#include <utility>

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

#include "exchange/CareerExport.h"
#include "exchange/CareerImport.h"
#include "gamefiles/GameContext.h"
#include "gamefiles/GameSave.h"
#include "gamefiles/OriginalsRestore.h"
#include "icons/Bitmap.h"
#include "icons/qt/BitmapImage.h"
#include "icons/qt/ModifyIconsDialog.h"
#include "model/StringTable.h"
#include "ui/AboutBox.h"
#include "ui/CareerRows.h"
#include "ui/ChanceCardDialog.h"
#include "ui/DialogUnits.h"
#include "ui/EditorImages.h"
#include "ui/FieldCodec.h"
#include "ui/FullRowListView.h"
#include "ui/JobDetailsDialog.h"
#include "ui/TableCardTextStore.h"
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

// Text rows of a career's string table.
constexpr std::uint16_t CareerNameRow = 0;
constexpr std::uint16_t MaleOfferRow = 1;
constexpr std::uint16_t FemaleOfferRow = 2;
// Rows 3 to 32 hold the texts of ten job levels; a level from ten up has none, since its rows
// would be those of other levels.
constexpr std::uint32_t LevelsWithTexts = 10;

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

#ifdef _WIN32
// The system menu's About item; commands of our own there must be below 0xF000 and have the
// low four bits clear.
constexpr UINT AboutSystemCommand = 0x0010;
#endif

}  // namespace

const std::array<const char*, 15>& MainWindow::LanguageNames() {
    static const std::array<const char*, 15> names = {
        "USEnglish", "UKEnglish", "French",   "German",  "Italian",
        "Spanish",   "Dutch",     "Swedish",  "Portuguese", "Japanese",
        "Polish",    "Traditional Chinese", "Simplified Chinese", "Thai", "Korean"};
    return names;
}

MainWindow::MainWindow(GameContext& context, UserPort& port, LoadRunner runLoad, QWidget* parent)
    : QMainWindow(parent), context_(context), port_(port), runLoad_(std::move(runLoad)),
      dialogs_(DefaultDialogs(context, port)) {
    CreateWidgets();
    CreateMenus();
    ConnectWidgets();
    // No resizing: the window keeps the size of its client area and menu bar.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    layout()->activate();
}

MainWindow::~MainWindow() = default;

void MainWindow::SetDialogs(Dialogs dialogs) { dialogs_ = std::move(dialogs); }

MainWindow::Dialogs MainWindow::DefaultDialogs(GameContext& context, UserPort& port) {
    Dialogs dialogs;
    dialogs.jobDetails = [&port](QWidget* parent, const JobLevel& job,
                                 const std::array<std::int32_t, 7>& previous) -> std::optional<JobLevel> {
        JobDetailsDialog dialog(job, previous, port, parent);
        if (dialog.exec() == QDialog::Rejected) return std::nullopt;
        return dialog.WorkingJob();
    };
    dialogs.chanceCard = [&context, &port](QWidget* parent, std::uint16_t textRow, const std::vector<CardItem>& items,
                                           std::uint16_t slot) -> std::optional<CardEdit> {
        TableCardTextStore<StringTable> store(context.careerSet.cardTexts, context.careerSet.freeCardTextRows);
        ChanceCardDialog dialog(textRow, items, slot, store, port, parent);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return CardEdit{dialog.TextRow(), dialog.Items()};
    };
    dialogs.about = [](QWidget* parent) {
        AboutBox box(parent);
        box.exec();
    };
    dialogs.modifyIcons = [&context, &port](QWidget* parent, std::uint32_t career) {
        if (career >= context.careerSet.ids.size()) return false;
        const std::uint16_t number = context.careerSet.ids[career];
        ModifyIconsDialog dialog(number, context.iconStrips, port, parent);
        if (dialog.exec() != QDialog::Accepted) return false;
        // The dialog's icons have the strips' own sizes, so both go back whole.
        const bool button = context.iconStrips.PutButtonIcon(number, dialog.ButtonIcon());
        const bool popup = context.iconStrips.PutPopupIcon(number, dialog.PopupIcon());
        return button || popup;
    };
    return dialogs;
}

// --- Widgets -------------------------------------------------------------------------------

void MainWindow::CreateWidgets() {
    setWindowTitle(QStringLiteral("Trackwright 2.1"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

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
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    file->addAction(QStringLiteral("&Reload"), this, &MainWindow::Reload);
    file->addAction(QStringLiteral("&Save"), this, &MainWindow::Save);
    restoreOriginalsAction_ =
        file->addAction(QStringLiteral("Restore Original Files..."), this, &MainWindow::RestoreOriginals);
    // Offered only while there is something to give back; the store is looked at each time.
    connect(file, &QMenu::aboutToShow, this,
            [this] { restoreOriginalsAction_->setEnabled(filesLoaded_ && OffersKeptOriginals(context_)); });
    file->addAction(QStringLiteral("E&xit"), this, &MainWindow::Exit);

    QMenu* career = menuBar()->addMenu(QStringLiteral("Career"));
    career->addAction(QStringLiteral("Import"), this, &MainWindow::Import);
    career->addAction(QStringLiteral("Export"), this, &MainWindow::Export);
    career->addAction(QStringLiteral("Backup"), this, &MainWindow::Backup);

    QMenu* language = menuBar()->addMenu(QStringLiteral("Language"));
    // The fifteen language items form one radio group; none is checked until the first
    // language is chosen after the load.
    languageGroup_ = new QActionGroup(this);
    languageGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (std::uint16_t slot = 0; slot < LanguageCount; ++slot) {
        QAction* action = language->addAction(QString::fromLatin1(LanguageNames()[slot]));
        action->setCheckable(true);
        languageGroup_->addAction(action);
        connect(action, &QAction::triggered, this, [this, slot] { SelectLanguage(slot); });
        languageActions_[slot] = action;
    }
    language->addSeparator();
    language->addAction(QStringLiteral("Set All"), this, &MainWindow::SetAllLanguages);

    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    help->addAction(QStringLiteral("About"), this, &MainWindow::ShowAbout);
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
    careerList_->setFocus();
    return true;
}

int MainWindow::LoadGameFilesNow() {
    // The worker alone touches the model while the load runs; nothing here may read it until
    // the load has finished.
    filesLoaded_ = false;
    return runLoad_ ? runLoad_(context_) : LoadRequest::Failed;
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
    careersUnchanged_ = true;
}

void MainWindow::FillCareerList() {
    Quiet quiet(quiet_);
    std::uint32_t index = 0;
    for (const CareerRow& row : CareerRowsOf(context_.careerSet)) {
        careerList_->AppendRow({RowNumber(row.id), TextCodec::DecodeInternal(row.name)}, index);
        ++index;
    }
}

void MainWindow::EndAfterFailedLoad() {
    result_ = LoadFailed;
    ending_ = true;
    close();
}

void MainWindow::Reload() {
    {
        Quiet quiet(quiet_);
        careerList_->RemoveAllRows();
    }
    if (ReloadGameFiles(context_, [this](GameContext&) { return LoadGameFilesNow(); }) != LoadRequest::Loaded) {
        EndAfterFailedLoad();
        return;
    }
    ShowLoadedCareers();
}

int MainWindow::ReloadAfterCommand(bool& reloaded) {
    {
        Quiet quiet(quiet_);
        careerList_->RemoveAllRows();
    }
    const int result = ReloadGameFiles(context_, [this](GameContext&) { return LoadGameFilesNow(); });
    reloaded = result == LoadRequest::Loaded;
    if (reloaded) ShowLoadedCareers();
    return result;
}

void MainWindow::Save() {
    bool reloaded = true;
    const SaveOutcome outcome = SaveAndReload(context_, port_, [this, &reloaded] { return ReloadAfterCommand(reloaded); });
    if (!outcome.saved) return;
    careersUnchanged_ = true;
    if (!reloaded) EndAfterFailedLoad();
}

void MainWindow::RestoreOriginals() {
    bool reloaded = true;
    const RestoreOutcome outcome = RestoreOriginalFiles(context_, port_, RestoreAsking::Person, false,
                                                        [this, &reloaded] { return ReloadAfterCommand(reloaded); });
    if (outcome != RestoreOutcome::Restored) return;
    careersUnchanged_ = true;
    if (!reloaded) EndAfterFailedLoad();
}

void MainWindow::Exit() { close(); }

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!closed_ && !ending_ && DecideExit(context_, port_, careersUnchanged_) == ExitDecision::Stay) {
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
    const CareerSet& set = context_.careerSet;
    if (career >= set.careerCount || career >= set.tracks.size() || career >= set.texts.size() ||
        career >= set.ids.size())
        return std::nullopt;
    return career;
}

std::uint32_t MainWindow::LevelCount(std::uint32_t career) const {
    if (career >= context_.careerSet.tracks.size()) return 0;
    return static_cast<std::uint32_t>(context_.careerSet.tracks[career].levels.size());
}

std::optional<std::uint16_t> MainWindow::SelectedLevel() const {
    const int row = jobList_->SelectedRow();
    if (row < 0) return std::nullopt;
    const std::uint32_t level = jobList_->RowData(row);
    if (level >= LevelCount(currentCareer_) || level > 0xFFFFu) return std::nullopt;
    return static_cast<std::uint16_t>(level);
}

bool MainWindow::HasCardFor(std::uint32_t career, std::uint32_t level) const {
    if (level >= CareerSet::CardsPerCareer) return false;
    return std::size_t{career} * CareerSet::CardsPerCareer + level < context_.careerSet.cards.size();
}

std::optional<std::uint16_t> MainWindow::JobFieldRow(Field field, std::uint32_t level) {
    if (level >= LevelsWithTexts) return std::nullopt;
    switch (field) {
        case MaleJobName:
            return static_cast<std::uint16_t>(3 + 2 * level);
        case JobDescription:
            return static_cast<std::uint16_t>(4 + 2 * level);
        case FemaleJobName:
            return static_cast<std::uint16_t>(23 + level);
        default:
            return std::nullopt;
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
    const CareerTrack& track = context_.careerSet.tracks[currentCareer_];
    buffers_[InternalCareerName] = track.name;
    LoadRow(CareerName, CareerNameRow);
    LoadRow(MaleOffer, MaleOfferRow);
    LoadRow(FemaleOffer, FemaleOfferRow);
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
    for (const Field field : {MaleJobName, FemaleJobName, JobDescription}) {
        if (const auto row = JobFieldRow(field, currentLevel_))
            LoadRow(field, *row);
        else
            buffers_[field].clear();
    }
    ShowBuffers();

    jobDetailsButton_->setEnabled(true);
    SetFieldsEnabled(MaleJobName, JobDescription, currentLevel_ < LevelsWithTexts);
    chanceCardsButton_->setEnabled(context_.chanceCardsDisabled == 0 && HasCardFor(currentCareer_, currentLevel_));
}

// --- Fields --------------------------------------------------------------------------------

bool MainWindow::IsMultiLine(Field field) const { return qobject_cast<QPlainTextEdit*>(fields_[field]) != nullptr; }

void MainWindow::SetFieldsEnabled(Field first, Field last, bool enabled) {
    for (int field = first; field <= last; ++field) fields_[static_cast<std::size_t>(field)]->setEnabled(enabled);
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
}

bool MainWindow::ReadFields() {
    for (int index = 0; index < FieldCount; ++index) {
        const auto field = static_cast<Field>(index);
        const QString text = FieldText(field);
        // A field the person has not touched keeps its bytes as they are.
        if (text == shownTexts_[field]) continue;
        // The fields hold what was shown in the language of that moment.
        const FieldCodec codec{shownLanguage_, field == InternalCareerName, IsMultiLine(field)};
        const std::optional<std::string> bytes = codec.Bytes(text, buffers_[field]);
        if (bytes) {
            buffers_[field] = *bytes;
            shownTexts_[field] = text;
            continue;
        }
        // A text that its code page cannot hold is refused: the field gets its stored text back.
        Quiet quiet(quiet_);
        const QString stored = codec.Show(buffers_[field]);
        if (auto* line = qobject_cast<QLineEdit*>(fields_[field])) {
            const int cursor = line->cursorPosition();
            line->setText(stored);
            line->setCursorPosition(std::clamp(cursor - 1, 0, static_cast<int>(stored.size())));
        } else if (auto* edit = qobject_cast<QPlainTextEdit*>(fields_[field])) {
            const int cursor = edit->textCursor().position();
            edit->setPlainText(stored);
            QTextCursor moved = edit->textCursor();
            moved.setPosition(std::clamp(cursor - 1, 0, static_cast<int>(stored.size())));
            edit->setTextCursor(moved);
        }
        shownTexts_[field] = FieldText(field);
        return false;
    }
    return true;
}

void MainWindow::LoadRow(Field field, std::uint16_t row) {
    std::string& buffer = buffers_[field];
    // A row that the table lacks shows as empty rather than as whatever the field held before.
    buffer.clear();
    if (currentCareer_ < context_.careerSet.texts.size())
        context_.careerSet.texts[currentCareer_].GetText(row, currentLanguage_, StringTable::Value, buffer);
}

void MainWindow::StoreRow(std::uint16_t row, const std::string& bytes) {
    if (currentCareer_ >= context_.careerSet.texts.size()) return;
    StringTable& table = context_.careerSet.texts[currentCareer_];
    // A table too short for the row gets the missing rows empty, so that the typed text is kept
    // rather than silently dropped.
    while (table.RowCount() < row)
        if (!table.SetText(static_cast<std::uint16_t>(table.RowCount()), currentLanguage_, StringTable::Value, {}))
            return;
    table.SetText(row, currentLanguage_, StringTable::Value, bytes);
}

void MainWindow::OnFieldChanged(Field field) {
    if (quiet_ > 0 || !filesLoaded_ || !ReadFields()) return;
    switch (field) {
        case InternalCareerName: {
            const std::optional<std::uint32_t> career = SelectedCareer();
            if (!career) return;
            context_.careerSet.tracks[*career].name = buffers_[field];
            careerList_->SetRowText(careerList_->SelectedRow(), 1, TextCodec::DecodeInternal(buffers_[field]));
            break;
        }
        case CareerName:
            StoreRow(CareerNameRow, buffers_[field]);
            break;
        case MaleOffer:
            StoreRow(MaleOfferRow, buffers_[field]);
            break;
        case FemaleOffer:
            StoreRow(FemaleOfferRow, buffers_[field]);
            break;
        case MaleJobName:
        case FemaleJobName:
        case JobDescription: {
            const std::optional<std::uint16_t> row = JobFieldRow(field, currentLevel_);
            if (!row) return;
            StoreRow(*row, buffers_[field]);
            break;
        }
        case FieldCount:
            return;
    }
    careersUnchanged_ = false;
}

void MainWindow::SelectLanguage(std::uint16_t slot) {
    if (slot >= LanguageCount) return;
    currentLanguage_ = slot;
    languageActions_[slot]->setChecked(true);
    RefreshTexts();
}

void MainWindow::RefreshTexts() {
    if (!filesLoaded_ || !ReadFields() || !SelectedCareer()) return;
    LoadRow(CareerName, CareerNameRow);
    LoadRow(MaleOffer, MaleOfferRow);
    LoadRow(FemaleOffer, FemaleOfferRow);
    if (SelectedLevel()) {
        for (const Field field : {MaleJobName, FemaleJobName, JobDescription}) {
            if (const auto row = JobFieldRow(field, currentLevel_))
                LoadRow(field, *row);
            else
                buffers_[field].clear();
        }
    }
    ShowBuffers();
}

void MainWindow::SetAllLanguages() {
    const Answer first =
        port_.Ask(Message{"Do you really want to set the texts of all other languages to the current language?",
                          "Warning", MessageIcon::Question, MessageButtons::YesNo});
    if (first != Answer::Yes) return;
    context_.careerSet.CopyTextsToAllLanguages(currentCareer_, currentLanguage_);
    const Answer cards = port_.Ask(Message{"Do you want to set the texts of the Chance Cards as well?",
                                           port_.ApplicationName(), MessageIcon::Question, MessageButtons::YesNo});
    if (cards == Answer::Yes) context_.careerSet.CopyCardTextsToAllLanguages(currentCareer_, currentLanguage_);
    careersUnchanged_ = false;
}

// --- Icons ---------------------------------------------------------------------------------

void MainWindow::ShowPopupIcon() {
    QImage image;
    if (const std::optional<std::uint32_t> career = SelectedCareer()) {
        currentCareer_ = *career;
        Bitmap icon;
        if (context_.iconStrips.GetPopupIcon(context_.careerSet.ids[*career], icon)) image = ToQImage(icon);
    }
    iconPreview_->setPixmap(QPixmap::fromImage(image.isNull() ? popupPlaceholder() : image));
}

void MainWindow::ModifyIcons() {
    const std::optional<std::uint32_t> career = SelectedCareer();
    if (!career) return;
    currentCareer_ = *career;
    if (!dialogs_.modifyIcons || !dialogs_.modifyIcons(this, currentCareer_)) return;
    ShowPopupIcon();
    careersUnchanged_ = false;
}

// --- Dialogs -------------------------------------------------------------------------------

void MainWindow::OpenJobDetails() {
    const std::optional<std::uint16_t> level = SelectedLevel();
    if (!level || !dialogs_.jobDetails) return;
    std::vector<JobLevel>& levels = context_.careerSet.tracks[currentCareer_].levels;
    // The dialog offers the requirements of the level below: friends and the six skills.
    std::array<std::int32_t, 7> previous{};
    if (*level > 0)
        for (std::size_t i = 0; i < previous.size(); ++i) previous[i] = levels[*level - 1u].values[i];
    const std::optional<JobLevel> edited = dialogs_.jobDetails(this, levels[*level], previous);
    if (!edited) return;
    levels[*level] = *edited;
    careersUnchanged_ = false;
    jobList_->SetRowText(jobList_->SelectedRow(), 1, TextCodec::DecodeInternal(edited->texts[0]));
}

void MainWindow::OpenChanceCards() {
    const std::optional<std::uint16_t> level = SelectedLevel();
    if (!level || context_.chanceCardsDisabled != 0 || !HasCardFor(currentCareer_, *level) || !dialogs_.chanceCard)
        return;
    ChanceCard& card = context_.careerSet.cards[std::size_t{currentCareer_} * CareerSet::CardsPerCareer + *level];
    const std::optional<CardEdit> edit = dialogs_.chanceCard(this, card.textRow, card.items, currentLanguage_);
    if (!edit) return;
    card.textRow = edit->textRow;
    card.items = edit->items;
    card.itemCount = static_cast<std::uint32_t>(card.items.size());
    careersUnchanged_ = false;
}

void MainWindow::ShowAbout() {
    if (dialogs_.about) dialogs_.about(this);
}

// --- Career exchange -----------------------------------------------------------------------

void MainWindow::Export() {
    const std::optional<std::uint32_t> career = SelectedCareer();
    if (!career) return;
    currentCareer_ = *career;
    CareerExportCommand(career, context_.careerSet, context_.iconStrips, port_);
}

void MainWindow::Backup() { CareerBackupCommand(context_.careerSet, context_.iconStrips, port_); }

void MainWindow::Import() {
    const ImportResult result = CareerImportCommand(context_.careerSet, context_.iconStrips, port_);
    switch (result.outcome) {
        case ImportResult::Outcome::CareerReplaced: {
            // The row at the career's position shows the career.
            const int row = static_cast<int>(result.careerIndex);
            if (result.careerIndex < context_.careerSet.tracks.size())
                careerList_->SetRowText(row, 1, TextCodec::DecodeInternal(context_.careerSet.tracks[result.careerIndex].name));
            {
                Quiet quiet(quiet_);
                careerList_->SelectRow(row);
            }
            OnCareerSelectionChanged();
            careersUnchanged_ = false;
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
            careersUnchanged_ = false;
            break;
        default:
            break;
    }
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
