#include "ui/TranslationsDialog.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "edit/EditSession.h"
#include "edit/TranslationTable.h"
#include "model/Languages.h"
#include "ui/FieldCodec.h"
#include "ui/TextCodec.h"
#include "ui/TranslationsModel.h"
#include "ui/SideWindows.h"
#include "util/UserPort.h"

namespace tw {
namespace {

// Texts written in lines get a multi-line editor, taller than its row, in which Enter starts a
// new line; Tab or a click elsewhere stores the cell and Escape drops the edit, as in any cell.
class CellDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        if (!index.data(TranslationsModel::MultiLineRole).toBool())
            return QStyledItemDelegate::createEditor(parent, option, index);
        auto* editor = new QPlainTextEdit(parent);
        editor->setTabChangesFocus(true);
        return editor;
    }

    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override {
        QStyledItemDelegate::updateEditorGeometry(editor, option, index);
        if (qobject_cast<QPlainTextEdit*>(editor) != nullptr)
            editor->resize(editor->width(), std::max(editor->height(), editor->fontMetrics().lineSpacing() * 5));
    }
};

}  // namespace

TranslationsDialog::TranslationsDialog(EditSession& session, std::uint32_t career, UserPort& port, QWidget* parent)
    : QDialog(parent), session_(session), career_(career), port_(port) {
    if (const Career* found = session_.CareerAt(career_)) careerId_ = found->id;
    CreateWidgets();
    ConnectWidgets();
    ShareWindowKeys(parent, *this);
    Refresh();
}

void TranslationsDialog::CreateWidgets() {
    setModal(false);
    setSizeGripEnabled(true);

    filter_ = new QComboBox(this);
    filter_->addItem(QStringLiteral("All texts"));
    for (const char* language : LanguageNames) filter_->addItem(QStringLiteral("Missing in %1").arg(QLatin1String(language)));
    auto* filterLabel = new QLabel(QStringLiteral("&Show:"), this);
    filterLabel->setBuddy(filter_);

    model_ = new TranslationsModel(
        [this](std::size_t row, std::uint16_t slot, const QString& text) { return EditCell(row, slot, text); }, this);
    table_ = new QTableView(this);
    table_->setModel(model_);
    table_->setItemDelegate(new CellDelegate(table_));
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    table_->setWordWrap(false);
    table_->horizontalHeader()->setDefaultSectionSize(160);

    auto* buttons = new QDialogButtonBox(this);
    copyButton_ = buttons->addButton(QStringLiteral("C&opy to All Languages"), QDialogButtonBox::ActionRole);
    closeButton_ = buttons->addButton(QDialogButtonBox::Close);
    // Return belongs to the table (it stores a cell); as a dialog's default it would copy a text
    // over every language.
    for (QPushButton* button : {copyButton_, closeButton_}) button->setAutoDefault(false);

    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(filter_);
    filterRow->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filterRow);
    layout->addWidget(table_, 1);
    layout->addWidget(buttons);
    resize(960, 540);
}

void TranslationsDialog::ConnectWidgets() {
    connect(filter_, &QComboBox::currentIndexChanged, this, &TranslationsDialog::Refresh);
    connect(copyButton_, &QPushButton::clicked, this, &TranslationsDialog::CopyCurrentToAllLanguages);
    connect(closeButton_, &QPushButton::clicked, this, &TranslationsDialog::close);
    connect(table_->selectionModel(), &QItemSelectionModel::currentChanged, this, &TranslationsDialog::UpdateButtons);
}

void TranslationsDialog::Refresh() {
    const Career* career = session_.CareerAt(career_);
    if (career == nullptr || career->id != careerId_) {
        close();
        return;
    }
    setWindowTitle(QStringLiteral("Translations - %1").arg(TextCodec::DecodeInternal(career->track.name)));

    // The current cell stays on its text where the text is still shown.
    const QModelIndex current = table_->currentIndex();
    std::optional<TranslatableText> currentText;
    if (const std::optional<std::size_t> row = model_->TableRow(current.row())) currentText = model_->Table().Text(*row);

    TranslationTable table = TranslationTable::Of(session_.Careers(), career_, !session_.ChanceCardsDisabled());
    std::vector<std::size_t> rows = table.Rows(FilterSlot());
    model_->Show(std::move(table), std::move(rows));

    if (currentText && !table_->currentIndex().isValid()) {
        for (int row = 0; row < model_->rowCount(); ++row) {
            if (model_->Table().Text(*model_->TableRow(row)) == *currentText) {
                table_->setCurrentIndex(model_->index(row, current.column()));
                break;
            }
        }
    }
    UpdateButtons();
}

void TranslationsDialog::CopyCurrentToAllLanguages() {
    const QModelIndex current = table_->currentIndex();
    const std::optional<std::size_t> row = model_->TableRow(current.row());
    if (!row || current.column() < 0) return;
    // A copy: the refresh replaces the table the model holds.
    const TranslatableText text = model_->Table().Text(*row);
    if (!session_.CopyToAllLanguages(port_, text, static_cast<std::uint16_t>(current.column()))) return;
    Refresh();
    emit Edited();
}

bool TranslationsDialog::EditCell(std::size_t row, std::uint16_t slot, const QString& text) {
    const TranslationTable::CellReading reading = model_->Table().Read(row, slot, text.toStdString());
    if (!reading.bytes) {
        // As in the main window's fields, a text refused without a character to name is only
        // taken back.
        if (reading.leftOut.empty()) return false;
        const FieldCodec codec{slot, false, true};
        const std::string notice =
            FieldCodec::LeftOutNotice(QString::fromStdString(reading.leftOut), codec.TextsName()).toStdString();
        // Told once the view has closed the cell's editor, not from inside its commit.
        QTimer::singleShot(0, this, [this, notice] { port_.Tell(notice, port_.ApplicationName(), MessageIcon::Warning); });
        return false;
    }
    const TranslatableText edited = model_->Table().Text(row);
    if (!session_.SetTranslation(edited, slot, *reading.bytes)) return true;
    Refresh();
    emit Edited();
    return true;
}

std::optional<std::uint16_t> TranslationsDialog::FilterSlot() const {
    const int chosen = filter_->currentIndex();
    if (chosen <= 0) return std::nullopt;
    return static_cast<std::uint16_t>(chosen - 1);
}

void TranslationsDialog::UpdateButtons() { copyButton_->setEnabled(table_->currentIndex().isValid()); }

}  // namespace tw
