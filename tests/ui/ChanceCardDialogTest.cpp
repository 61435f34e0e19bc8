#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QToolTip>
#include <QTest>
#include <QTimer>

#include "support/FakeCardTexts.h"
#include "support/ScriptedPort.h"
#include "ui/CardItemDialog.h"
#include "ui/ChanceCardDialog.h"

namespace tw {
namespace {

constexpr std::uint16_t French = 2;
const CardItem GoodSound{4, 2, 312};
const CardItem BadSound{4, 2, 311};
const CardItem Budget{1, 0, 1000};
const std::string SoundMessage = "Error: You must have exactly one sound item!";

class ChanceCardDialogTest : public ::testing::Test {
protected:
    void Open(std::uint16_t textRow, std::vector<CardItem> items, std::uint16_t slot = French) {
        card = ChanceCard{textRow, items};
        dialog = std::make_unique<ChanceCardDialog>(
            textRow, std::move(items), slot, texts.store,
            [this, slot](const std::vector<CardItem>& confirmed, const std::string& text) {
                return ConfirmCard(texts.store, card, confirmed, slot, text);
            },
            port);
        accepted = std::make_unique<QSignalSpy>(dialog.get(), &QDialog::accepted);
    }

    QListWidget* List() const { return dialog->findChild<QListWidget*>(QStringLiteral("items")); }
    QPlainTextEdit* Text() const { return dialog->findChild<QPlainTextEdit*>(QStringLiteral("text")); }
    QPushButton* Button(const char* name) const { return dialog->findChild<QPushButton*>(QString::fromLatin1(name)); }
    QStringList Rows() const {
        QStringList rows;
        for (int i = 0; i < List()->count(); ++i) rows << List()->item(i)->text();
        return rows;
    }
    int SelectedRow() const {
        const auto selected = List()->selectedItems();
        return selected.isEmpty() ? -1 : List()->row(selected.first());
    }
    void Type(const QString& text) {
        Text()->selectAll();
        Text()->insertPlainText(text);
    }

    test::FakeCardTexts texts;
    test::ScriptedPort port;
    ChanceCard card;
    std::unique_ptr<ChanceCardDialog> dialog;
    std::unique_ptr<QSignalSpy> accepted;
};

TEST_F(ChanceCardDialogTest, ShowsTheTextAndOneRowPerItem) {
    texts.SetText(3, French, "Promotion \xE0 l'essai");
    Open(3, {GoodSound, {3, 2, 57u * 65536 + 3}, {2, 0, 13u * 65536 + 5}});
    EXPECT_EQ(Text()->toPlainText(), QStringLiteral("Promotion \u00E0 l'essai"));
    EXPECT_EQ(Rows(), (QStringList{"Sound: Positive (Good)", "Job: Promotion Level set to 3", "Skill: unknown add 5"}));
    EXPECT_EQ(SelectedRow(), 0);
    EXPECT_TRUE(Button("edit")->isEnabled());
    EXPECT_TRUE(Button("delete")->isEnabled());
}

TEST_F(ChanceCardDialogTest, AddThenCancelKeepsTheNewBudgetItem) {
    Open(0, {GoodSound});
    bool sawItemDialog = false;
    QTimer::singleShot(0, [&] {
        auto* itemDialog = qobject_cast<CardItemDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(itemDialog, nullptr);
        sawItemDialog = true;
        itemDialog->findChild<QPushButton*>(QStringLiteral("cancel"))->click();
    });
    Button("add")->click();
    EXPECT_TRUE(sawItemDialog);
    EXPECT_EQ(Rows(), (QStringList{"Sound: Positive (Good)", "Budget: add 1000"}));
    EXPECT_EQ(SelectedRow(), 1);
}

TEST_F(ChanceCardDialogTest, EditAndDoubleClickWriteTheEditedItemBack) {
    Open(0, {GoodSound, Budget});
    std::vector<CardItem> seen;
    dialog->SetItemEditor([&](const CardItem& item) -> std::optional<CardItem> {
        seen.push_back(item);
        return CardItem{1, 1, 250};
    });
    List()->setCurrentRow(1);
    Button("edit")->click();
    EXPECT_EQ(Rows(), (QStringList{"Sound: Positive (Good)", "Budget: subtract 250"}));
    EXPECT_EQ(SelectedRow(), 1);

    dialog->SetItemEditor([&](const CardItem& item) -> std::optional<CardItem> {
        seen.push_back(item);
        return BadSound;
    });
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    // The first click selects the row, as the first half of a person's double click does.
    const QPoint row0 = List()->visualItemRect(List()->item(0)).center();
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, row0);
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, row0);
    EXPECT_EQ(Rows(), (QStringList{"Sound: Negative (Bad)", "Budget: subtract 250"}));
    EXPECT_EQ(seen, (std::vector<CardItem>{Budget, GoodSound}));
    EXPECT_EQ(dialog->Items(), (std::vector<CardItem>{BadSound, {1, 1, 250}}));
}

TEST_F(ChanceCardDialogTest, DeletingMovesTheSelectionToTheLastRowOrToNothing) {
    Open(0, {GoodSound, Budget});
    List()->setCurrentRow(1);
    Button("delete")->click();
    EXPECT_EQ(Rows(), QStringList{"Sound: Positive (Good)"});
    EXPECT_EQ(SelectedRow(), 0);
    Button("delete")->click();
    EXPECT_TRUE(Rows().isEmpty());
    EXPECT_EQ(SelectedRow(), -1);
    EXPECT_FALSE(Button("edit")->isEnabled());
    EXPECT_FALSE(Button("delete")->isEnabled());
    Button("delete")->click();
    Button("edit")->click();
    EXPECT_TRUE(dialog->Items().empty());
}

TEST_F(ChanceCardDialogTest, OkNeedsExactlyOneSoundWhenThereAreItems) {
    const std::vector<CardItem> wrong[] = {{GoodSound, BadSound}, {Budget}, {Budget, {2, 0, 10u * 65536 + 5}}};
    for (const auto& items : wrong) {
        texts.Free({1});
        Open(4, items);
        Type(QStringLiteral("changed"));
        port.calls.clear();
        Button("ok")->click();
        EXPECT_EQ(port.Shown(), std::vector<std::string>{SoundMessage});
        EXPECT_EQ(port.calls[0].message.icon, MessageIcon::Warning);
        EXPECT_EQ(accepted->count(), 0);
        EXPECT_EQ(texts.Text(4, French), "");
        EXPECT_TRUE(texts.IsFree(1));
    }
}

TEST_F(ChanceCardDialogTest, OkWithoutItemsFreesTheRowWithoutAskingForASound) {
    texts.SetText(6, French, "old");
    Open(6, {Budget});
    Button("delete")->click();
    Type(QStringLiteral("kept"));
    Button("ok")->click();
    EXPECT_TRUE(port.calls.empty());
    EXPECT_EQ(accepted->count(), 1);
    EXPECT_EQ(dialog->TextRow(), 6);
    EXPECT_TRUE(dialog->Items().empty());
    EXPECT_EQ(texts.Text(6, French), "kept");
    EXPECT_TRUE(texts.IsFree(6));

    Open(0, {});
    Button("ok")->click();
    EXPECT_TRUE(port.calls.empty());
    EXPECT_EQ(dialog->TextRow(), 0);
}

TEST_F(ChanceCardDialogTest, NewCardTakesTheLowestFreeRowInTheCurrentLanguageOnly) {
    texts.Free({12, 9});
    texts.SetText(9, 0, "English of a former card");
    Open(0, {GoodSound});
    EXPECT_TRUE(Text()->toPlainText().isEmpty());
    Type(QStringLiteral("Bonne\nnouvelle"));
    Button("ok")->click();
    EXPECT_TRUE(port.calls.empty());
    EXPECT_EQ(dialog->TextRow(), 9);
    EXPECT_FALSE(texts.IsFree(9));
    EXPECT_TRUE(texts.IsFree(12));
    EXPECT_EQ(texts.Text(9, French), "Bonne\r\nnouvelle");
    EXPECT_EQ(texts.Text(9, 0), "English of a former card");
}

TEST_F(ChanceCardDialogTest, NoFreeRowKeepsTheItemsAndSaysTheTextWasNotStored) {
    Open(0, {Budget, GoodSound});
    Type(QStringLiteral("nowhere to go"));
    Button("ok")->click();
    ASSERT_EQ(port.calls.size(), 1u);
    EXPECT_EQ(port.calls[0].message.title, "Warning");
    EXPECT_EQ(port.calls[0].message.icon, MessageIcon::Warning);
    EXPECT_NE(port.calls[0].message.text.find("could not be stored"), std::string::npos);
    EXPECT_EQ(accepted->count(), 1);
    EXPECT_EQ(dialog->TextRow(), 0);
    EXPECT_EQ(dialog->Items(), (std::vector<CardItem>{Budget, GoodSound}));
}

TEST_F(ChanceCardDialogTest, ReleasedRowIsNeverSharedWithAnotherCard) {
    // Card A is confirmed without items: its row 5 counts as free again.
    texts.Free({8});
    texts.SetText(5, French, "card A");
    Open(5, {GoodSound});
    Button("delete")->click();
    Button("ok")->click();
    ASSERT_TRUE(texts.IsFree(5));
    const std::uint16_t rowOfA = dialog->TextRow();

    // Card B, new, takes the lowest free row: A's row 5.
    Open(0, {GoodSound});
    Type(QStringLiteral("card B"));
    Button("ok")->click();
    ASSERT_EQ(dialog->TextRow(), 5);

    // A gets items again: B's text is not shown as A's, and A takes another row.
    Open(rowOfA, {});
    EXPECT_TRUE(Text()->toPlainText().isEmpty());
    dialog->SetItemEditor([](const CardItem&) { return std::optional<CardItem>(GoodSound); });
    Button("add")->click();
    Type(QStringLiteral("card A again"));
    Button("ok")->click();
    EXPECT_EQ(dialog->TextRow(), 8);
    EXPECT_EQ(texts.Text(8, French), "card A again");
    EXPECT_EQ(texts.Text(5, French), "card B");
    EXPECT_FALSE(texts.IsFree(5));
    EXPECT_FALSE(texts.IsFree(8));

    // Emptying a card whose row another card took leaves that row alone.
    Open(rowOfA, {});
    Type(QStringLiteral("empty"));
    Button("ok")->click();
    EXPECT_EQ(dialog->TextRow(), 0);
    EXPECT_EQ(texts.Text(5, French), "card B");
    EXPECT_FALSE(texts.IsFree(5));
}

TEST_F(ChanceCardDialogTest, ReleasedRowStillFreeIsTakenBack) {
    texts.Free({5, 2});
    texts.SetText(5, French, "mine");
    Open(5, {});
    EXPECT_EQ(Text()->toPlainText(), QStringLiteral("mine"));
    dialog->SetItemEditor([](const CardItem&) { return std::optional<CardItem>(BadSound); });
    Button("add")->click();
    Button("ok")->click();
    EXPECT_EQ(dialog->TextRow(), 5);
    EXPECT_FALSE(texts.IsFree(5));
    EXPECT_TRUE(texts.IsFree(2));
    EXPECT_EQ(texts.Text(5, French), "mine");
}

TEST_F(ChanceCardDialogTest, UntouchedTextKeepsItsBytesAndCancelChangesNothing) {
    // Mixed line breaks, and bytes that no code page of their slot decodes.
    const struct {
        std::uint16_t slot;
        std::string bytes;
    } untouched[] = {{0, "mixed\r\nline\nbreaks\r"}, {9, "\x81\n\xFF\xFCtail"}, {14, "\xC7"}};
    for (const auto& c : untouched) {
        texts.SetText(3, c.slot, c.bytes);
        Open(3, {GoodSound}, c.slot);
        Button("ok")->click();
        EXPECT_EQ(texts.Text(3, c.slot), c.bytes) << c.slot;
    }

    const std::string stored = "\x81odd\nbytes \x8D";
    texts.SetText(3, 0, stored);
    Open(3, {GoodSound}, 0);
    Button("ok")->click();
    EXPECT_EQ(texts.Text(3, 0), stored);

    Open(3, {GoodSound}, 0);
    Type(QStringLiteral("one\ntwo"));
    Button("cancel")->click();
    EXPECT_EQ(accepted->count(), 0);
    EXPECT_EQ(texts.Text(3, 0), stored);

    // Edited text keeps the bare line breaks it had.
    Open(3, {GoodSound}, 0);
    Type(QStringLiteral("one\ntwo"));
    Button("ok")->click();
    EXPECT_EQ(texts.Text(3, 0), "one\ntwo");
}

TEST_F(ChanceCardDialogTest, JapaneseTextIsStoredInItsCodePage) {
    texts.Free({1});
    Open(0, {GoodSound}, 9);
    Type(QStringLiteral("\u65E5\u672C"));
    Button("ok")->click();
    EXPECT_EQ(texts.Text(1, 9), "\x93\xFA\x96\x7B");
}

TEST_F(ChanceCardDialogTest, EachLanguageShowsAndStoresItsCodePage) {
    const struct {
        std::uint16_t slot;
        std::string bytes;
        const char* text;  // UTF-8
    } cases[] = {
        {0, "caf\xE9 \x80", "caf\u00E9 \u20AC"},
        {15, "\x9F", "\u0178"},
        {9, "\x93\xFA\x96\x7B", "\u65E5\u672C"},
        {10, "\xB3\xF3" "d\x9F", "\u0142\u00F3d\u017A"},
        {11, "\xA4\xA4", "\u4E2D"},
        {12, "\xD6\xD0", "\u4E2D"},
        {13, "\xA1", "\u0E01"},
        {14, "\xC7\xD1", "\uD55C"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.slot);
        texts.SetText(3, c.slot, c.bytes);
        Open(3, {GoodSound}, c.slot);
        EXPECT_EQ(Text()->toPlainText(), QString::fromUtf8(c.text));
        Type(QString::fromUtf8(c.text) + QStringLiteral("\n") + QString::fromUtf8(c.text));
        Button("ok")->click();
        EXPECT_EQ(texts.Text(3, c.slot), c.bytes + "\r\n" + c.bytes);
    }
}

TEST_F(ChanceCardDialogTest, PastingKeepsWhatTheCodePageHoldsAndNamesTheRest) {
    const struct {
        std::uint16_t slot;
        const char* pasted;  // UTF-8
        const char* kept;
        const char* leftOut;
        std::string bytes;  // of "ab" + kept
    } cases[] = {
        {French, "\u05D0", "", "\u05D0", "ab"},
        {French, "x\ny\u65E5\u0152", "x\ny\u0152", "\u65E5", "abx\r\ny\x8C"},
        {9, "\u0E01\u65E5", "\u65E5", "\u0E01", "ab\x93\xFA"},
        {10, "\u00E0\u0142", "\u0142", "\u00E0", "ab\xB3"},
        {13, "\U0001F600\u0E01", "\u0E01", "\U0001F600", "ab\xA1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pasted);
        texts.Free({1});
        Open(0, {GoodSound}, c.slot);
        Type(QStringLiteral("ab"));
        QToolTip::hideText();
        Text()->insertPlainText(QString::fromUtf8(c.pasted));
        const QString kept = QStringLiteral("ab") + QString::fromUtf8(c.kept);
        EXPECT_EQ(Text()->toPlainText(), kept);
        EXPECT_EQ(Text()->textCursor().position(), kept.size());
        EXPECT_TRUE(QToolTip::text().startsWith(QStringLiteral("Left out \"%1\": ").arg(QString::fromUtf8(c.leftOut))))
            << QToolTip::text().toStdString();
        Button("ok")->click();
        EXPECT_EQ(texts.Text(1, c.slot), c.bytes);
    }
}

TEST_F(ChanceCardDialogTest, UndoNeverBringsRefusedTextBack) {
    texts.Free({1});
    Open(0, {GoodSound});
    QTest::keyClicks(Text(), "ab");
    Text()->insertPlainText(QString::fromUtf8("\u05D0"));
    ASSERT_EQ(Text()->toPlainText(), QStringLiteral("ab"));
    Text()->undo();
    Text()->redo();
    EXPECT_EQ(Text()->toPlainText(), QStringLiteral("ab"));

    // Edits after the refusal undo as usual.
    QTest::keyClicks(Text(), "cd");
    ASSERT_EQ(Text()->toPlainText(), QStringLiteral("abcd"));
    Text()->undo();
    EXPECT_EQ(Text()->toPlainText(), QStringLiteral("ab"));
    Button("ok")->click();
    EXPECT_EQ(texts.Text(1, French), "ab");
}

// The item dialog.

class CardItemDialogTest : public ::testing::Test {
protected:
    void Open(const CardItem& item) {
        dialog = std::make_unique<CardItemDialog>(item, port);
        accepted = std::make_unique<QSignalSpy>(dialog.get(), &QDialog::accepted);
    }
    template <class T>
    T* Get(const char* name) const {
        return dialog->findChild<T*>(QString::fromLatin1(name));
    }
    QString Shown(const char* list) const { return Get<QComboBox>(list)->currentText(); }
    QString Amount(const char* field) const { return Get<QLineEdit>(field)->text(); }

    test::ScriptedPort port;
    std::unique_ptr<CardItemDialog> dialog;
    std::unique_ptr<QSignalSpy> accepted;
};

TEST_F(CardItemDialogTest, OpensWithTheItemsGroupChosen) {
    Open({2, 1, 17u * 65536 + 40});
    EXPECT_TRUE(Get<QRadioButton>("skillRadio")->isChecked());
    EXPECT_EQ(Shown("skill"), QStringLiteral("Body"));
    EXPECT_EQ(Shown("skillOperation"), QStringLiteral("Subtract"));
    EXPECT_EQ(Amount("skillAmount"), QStringLiteral("40"));
    EXPECT_EQ(Amount("budgetAmount"), QStringLiteral("0"));
    for (const char* name : {"skill", "skillOperation", "skillAmount"}) EXPECT_TRUE(Get<QWidget>(name)->isEnabled()) << name;
    for (const char* name : {"budgetOperation", "budgetAmount", "jobTarget", "jobValue", "sound"})
        EXPECT_FALSE(Get<QWidget>(name)->isEnabled()) << name;
    EXPECT_TRUE(port.calls.empty());

    // An unknown skill opens as "Cooking".
    Open({2, 0, 13u * 65536 + 5});
    EXPECT_EQ(Shown("skill"), QStringLiteral("Cooking"));
    EXPECT_EQ(Amount("skillAmount"), QStringLiteral("5"));
}

TEST_F(CardItemDialogTest, ChoosingAnotherGroupResetsEveryValue) {
    Open({1, 1, 500});
    EXPECT_EQ(Shown("budgetOperation"), QStringLiteral("Subtract"));
    EXPECT_EQ(Amount("budgetAmount"), QStringLiteral("500"));
    Get<QRadioButton>("skillRadio")->click();
    EXPECT_TRUE(Get<QRadioButton>("skillRadio")->isChecked());
    EXPECT_FALSE(Get<QRadioButton>("budgetRadio")->isChecked());
    EXPECT_EQ(Shown("skill"), QStringLiteral("Cooking"));
    EXPECT_EQ(Shown("skillOperation"), QStringLiteral("Add"));
    EXPECT_EQ(Amount("skillAmount"), QStringLiteral("0"));
    EXPECT_EQ(Amount("budgetAmount"), QStringLiteral("0"));
    EXPECT_EQ(Shown("budgetOperation"), QStringLiteral("Add"));
    EXPECT_FALSE(Get<QWidget>("budgetAmount")->isEnabled());
    EXPECT_TRUE(Get<QWidget>("skillAmount")->isEnabled());

    Get<QLineEdit>("skillAmount")->setText(QStringLiteral("12"));
    Get<QComboBox>("skill")->setCurrentIndex(2);
    Get<QPushButton>("ok")->click();
    EXPECT_EQ(accepted->count(), 1);
    EXPECT_EQ(dialog->Item(), (CardItem{2, 0, 11u * 65536 + 12}));
}

TEST_F(CardItemDialogTest, JobAndSoundItemsAreEncodedOnOk) {
    Open({4, 2, 312});
    Get<QRadioButton>("jobRadio")->click();
    Get<QComboBox>("jobTarget")->setCurrentIndex(1);
    Get<QLineEdit>("jobValue")->setText(QStringLiteral("3"));
    Get<QPushButton>("ok")->click();
    EXPECT_EQ(dialog->Item(), (CardItem{3, 2, 57u * 65536 + 3}));

    Open({1, 0, 1000});
    Get<QRadioButton>("soundRadio")->click();
    Get<QComboBox>("sound")->setCurrentIndex(1);
    Get<QPushButton>("ok")->click();
    EXPECT_EQ(dialog->Item(), BadSound);
}

TEST_F(CardItemDialogTest, AmountsAreCheckedOnOk) {
    const struct {
        CardItem item;
        const char* field;
        const char* text;
        const char* message;
    } cases[] = {
        {{1, 0, 0}, "budgetAmount", "65536", "Please enter an integer between 0 and 65535."},
        {{1, 0, 0}, "budgetAmount", "-5", "Please enter a positive integer."},
        {{2, 0, 10u * 65536}, "skillAmount", "1001", "Please enter an integer between 0 and 1000."},
        {{2, 0, 10u * 65536}, "skillAmount", "-1", "Please enter an integer between 0 and 1000."},
        {{3, 2, 57u * 65536}, "jobValue", "x", "Please enter an integer."},
        {{1, 0, 70000}, "budgetAmount", nullptr, "Please enter an integer between 0 and 65535."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        Open(c.item);
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        if (c.text != nullptr) Get<QLineEdit>(c.field)->setText(QString::fromLatin1(c.text));
        port.calls.clear();
        Get<QPushButton>("ok")->click();
        ASSERT_EQ(port.calls.size(), 1u);
        EXPECT_EQ(port.calls[0].message.text, c.message);
        EXPECT_EQ(port.calls[0].message.title, port.applicationName);
        EXPECT_EQ(port.calls[0].message.icon, MessageIcon::Warning);
        EXPECT_EQ(accepted->count(), 0);
        EXPECT_EQ(QApplication::focusWidget(), Get<QWidget>(c.field));
        EXPECT_EQ(dialog->Item(), c.item);
    }
}

TEST_F(CardItemDialogTest, UnknownKindChoosesNoGroupAndComesBackUnchanged) {
    const CardItem unknown{9, 5, 123};
    Open(unknown);
    for (const char* name : {"budgetRadio", "skillRadio", "jobRadio", "soundRadio"})
        EXPECT_FALSE(Get<QRadioButton>(name)->isChecked()) << name;
    for (const char* name : {"budgetOperation", "skill", "skillOperation", "jobTarget", "sound"}) {
        EXPECT_TRUE(Get<QWidget>(name)->isEnabled()) << name;
        EXPECT_EQ(Get<QComboBox>(name)->currentIndex(), -1) << name;
    }
    EXPECT_EQ(Amount("jobValue"), QStringLiteral("0"));
    Get<QPushButton>("ok")->click();
    EXPECT_EQ(accepted->count(), 1);
    EXPECT_EQ(dialog->Item(), unknown);
}

}  // namespace
}  // namespace tw
