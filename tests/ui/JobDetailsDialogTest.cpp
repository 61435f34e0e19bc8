#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolTip>
#include <QTest>

#include "support/ScriptedPort.h"
#include "ui/DialogUnits.h"
#include "ui/JobDetailsDialog.h"
#include "ui/SpinField.h"

namespace tw {
namespace {

using Field = JobDetailsDialog::Field;
using Requirements = std::array<std::int32_t, 7>;

constexpr Requirements Level0{};

// A level that passes every check against `previous`.
JobLevel ValidLevel(const Requirements& previous) {
    JobLevel level;
    for (std::size_t i = 0; i < previous.size(); ++i) level.values[i] = previous[i];
    level.values[7] = 123456;
    level.values[8] = -7;
    level.values[9] = 2147483647;
    level.values[10] = -3;
    level.values[17] = 250;
    level.values[18] = 9;
    level.values[19] = 17;
    level.values[20] = 2;
    level.texts = {"Clerk", "skin\x81m", "skinf", "tex", "acc"};
    return level;
}

std::size_t ValueIndex(Field field) {
    switch (field) {
        case JobDetailsDialog::Friends: return 0;
        case JobDetailsDialog::Cooking: return 1;
        case JobDetailsDialog::Body: return 4;
        case JobDetailsDialog::Hunger: return 10;
        case JobDetailsDialog::Social: return 16;
        case JobDetailsDialog::Salary: return 17;
        case JobDetailsDialog::Begintime: return 18;
        case JobDetailsDialog::Endtime: return 19;
        default: return 99;
    }
}

class JobDetailsDialogTest : public ::testing::Test {
protected:
    void Open(const JobLevel& level, const Requirements& previous) {
        dialog = std::make_unique<JobDetailsDialog>(level, previous, port);
        accepted = std::make_unique<QSignalSpy>(dialog.get(), &QDialog::accepted);
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }

    SpinField* Spin(Field field) const { return qobject_cast<SpinField*>(dialog->FieldWidget(field)); }
    QLineEdit* EditOf(QWidget* widget) const {
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit;
        return widget->findChild<QLineEdit*>();
    }
    QString TextOf(Field field) const { return EditOf(dialog->FieldWidget(field))->text(); }
    bool Focused(Field field) const {
        QWidget* focus = QApplication::focusWidget();
        QWidget* widget = dialog->FieldWidget(field);
        return focus != nullptr && (focus == widget || widget->isAncestorOf(focus));
    }
    void ClickOk() { dialog->findChild<QPushButton*>(QStringLiteral("ok"))->click(); }
    std::vector<std::string> Messages(std::initializer_list<const char*> texts) const {
        std::vector<std::string> shown;
        for (const char* text : texts) shown.push_back(port.applicationName + ": " + text);
        return shown;
    }
    void ExpectWarningsOnly() const {
        for (const auto& call : port.calls) EXPECT_EQ(call.message.icon, MessageIcon::Warning);
    }

    test::ScriptedPort port;
    std::unique_ptr<JobDetailsDialog> dialog;
    std::unique_ptr<QSignalSpy> accepted;
};

TEST_F(JobDetailsDialogTest, OkHoldsEachFieldAgainstItsRange) {
    const Requirements higher{4, 300, 0, 0, 0, 0, 0};
    const struct {
        Requirements previous;
        Field field;
        const char* text;
        const char* message;  // nullptr: accepted
        std::int32_t stored;
    } cases[] = {
        {Level0, JobDetailsDialog::Friends, "0", nullptr, 0},
        {Level0, JobDetailsDialog::Friends, "25", nullptr, 25},
        {Level0, JobDetailsDialog::Friends, "26", "Please enter an integer between 0 and 25.", 0},
        {higher, JobDetailsDialog::Friends, "3", "Please enter an integer between 4 and 25.", 0},
        {Level0, JobDetailsDialog::Cooking, "1000", nullptr, 1000},
        {Level0, JobDetailsDialog::Cooking, "1001", "Please enter an integer between 0 and 1000.", 0},
        {Level0, JobDetailsDialog::Cooking, "-1", "Please enter an integer between 0 and 1000.", 0},
        {higher, JobDetailsDialog::Cooking, "200", "Please enter an integer between 300 and 1000.", 0},
        {higher, JobDetailsDialog::Cooking, "300", nullptr, 300},
        // A salary beyond the signed 32-bit range would be stored as a negative one.
        {Level0, JobDetailsDialog::Salary, "4294967295", "Please enter an integer between 0 and 2147483647.", 0},
        {Level0, JobDetailsDialog::Salary, "2147483647", nullptr, 2147483647},
        {Level0, JobDetailsDialog::Salary, "40000", nullptr, 40000},
        {Level0, JobDetailsDialog::Salary, "-5", "Please enter a positive integer.", 0},
        {Level0, JobDetailsDialog::Begintime, "24", "Please enter an integer between 0 and 23.", 0},
        {Level0, JobDetailsDialog::Endtime, "23", nullptr, 23},
        {Level0, JobDetailsDialog::Hunger, "-", nullptr, 0},
        {Level0, JobDetailsDialog::Hunger, "-100", nullptr, -100},
        {Level0, JobDetailsDialog::Hunger, "101", "Please enter an integer between -100 and 100.", 0},
        {Level0, JobDetailsDialog::Social, " 50\t", nullptr, 50},
        {Level0, JobDetailsDialog::Body, "1e3", "Please enter an integer.", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(JobDetailsDialog::FieldObjectName(c.field)) + " = " + c.text);
        const JobLevel level = ValidLevel(c.previous);
        Open(level, c.previous);
        Spin(c.field)->SetText(QString::fromLatin1(c.text));
        port.calls.clear();
        ClickOk();
        if (c.message == nullptr) {
            EXPECT_TRUE(port.calls.empty());
            EXPECT_EQ(accepted->count(), 1);
            EXPECT_EQ(dialog->WorkingJob().values[ValueIndex(c.field)], c.stored);
        } else {
            EXPECT_EQ(port.Shown(), Messages({c.message}));
            ExpectWarningsOnly();
            EXPECT_EQ(accepted->count(), 0);
            EXPECT_TRUE(Focused(c.field));
            EXPECT_EQ(EditOf(dialog->FieldWidget(c.field))->selectedText(), QString::fromLatin1(c.text));
        }
        port.calls.clear();
    }
}

TEST_F(JobDetailsDialogTest, TypingChecksTheFormatOnly) {
    Open(ValidLevel(Level0), Level0);

    // A minus sign can be typed first into a mood field.
    Spin(JobDetailsDialog::Hunger)->selectAll();
    QTest::keyClick(Spin(JobDetailsDialog::Hunger), '-');
    EXPECT_TRUE(port.calls.empty());
    EXPECT_EQ(dialog->WorkingJob().values[10], 0);
    QTest::keyClicks(Spin(JobDetailsDialog::Hunger), "250");
    EXPECT_TRUE(port.calls.empty());
    EXPECT_EQ(dialog->WorkingJob().values[10], -250);

    Spin(JobDetailsDialog::Cooking)->selectAll();
    QTest::keyClick(Spin(JobDetailsDialog::Cooking), '-');
    EXPECT_EQ(port.Shown(), Messages({"Please enter an integer."}));
    EXPECT_TRUE(Focused(JobDetailsDialog::Cooking));
    EXPECT_EQ(EditOf(Spin(JobDetailsDialog::Cooking))->selectedText(), QStringLiteral("-"));
    EXPECT_EQ(dialog->WorkingJob().values[1], 0);

    // The selected "-" is replaced by the next key.
    port.calls.clear();
    QTest::keyClicks(Spin(JobDetailsDialog::Cooking), "5000");
    EXPECT_TRUE(port.calls.empty());
    EXPECT_EQ(dialog->WorkingJob().values[1], 5000);

    Spin(JobDetailsDialog::Salary)->selectAll();
    QTest::keyClick(Spin(JobDetailsDialog::Salary), '-');
    EXPECT_EQ(port.Shown(), Messages({"Please enter a positive integer."}));
    EXPECT_EQ(dialog->WorkingJob().values[17], 250);
}

TEST_F(JobDetailsDialogTest, SpinStepsAreBoundedAndWrittenAsPlainNumbers) {
    const Requirements previous{24, 300, 0, 0, 0, 0, 0};
    JobLevel level = ValidLevel(previous);
    level.values[2] = 0;
    level.values[17] = 32766;
    Open(level, previous);

    SpinField* mechanical = Spin(JobDetailsDialog::Mechanical);
    QTest::keyClick(mechanical, Qt::Key_Up);
    EXPECT_EQ(TextOf(JobDetailsDialog::Mechanical), QStringLiteral("100"));
    QTest::keyClick(mechanical, Qt::Key_Up);
    EXPECT_EQ(TextOf(JobDetailsDialog::Mechanical), QStringLiteral("200"));
    EXPECT_EQ(dialog->WorkingJob().values[2], 200);
    for (int i = 0; i < 3; ++i) QTest::keyClick(mechanical, Qt::Key_Down);
    EXPECT_EQ(TextOf(JobDetailsDialog::Mechanical), QStringLiteral("0"));

    SpinField* cooking = Spin(JobDetailsDialog::Cooking);
    QTest::keyClick(cooking, Qt::Key_Down);
    EXPECT_EQ(TextOf(JobDetailsDialog::Cooking), QStringLiteral("300"));
    cooking->SetText(QStringLiteral("950"));
    cooking->stepBy(1);
    EXPECT_EQ(TextOf(JobDetailsDialog::Cooking), QStringLiteral("1000"));
    cooking->stepBy(1);
    EXPECT_EQ(TextOf(JobDetailsDialog::Cooking), QStringLiteral("1000"));

    SpinField* friends = Spin(JobDetailsDialog::Friends);
    QTest::keyClick(friends, Qt::Key_Up);
    QTest::keyClick(friends, Qt::Key_Up);
    EXPECT_EQ(TextOf(JobDetailsDialog::Friends), QStringLiteral("25"));

    // The salary spin stops at 32767, also when a larger number was typed.
    SpinField* salary = Spin(JobDetailsDialog::Salary);
    QTest::keyClick(salary, Qt::Key_Up);
    QTest::keyClick(salary, Qt::Key_Up);
    EXPECT_EQ(TextOf(JobDetailsDialog::Salary), QStringLiteral("32767"));
    salary->SetText(QStringLiteral("40000"));
    QTest::keyClick(salary, Qt::Key_Down);
    EXPECT_EQ(TextOf(JobDetailsDialog::Salary), QStringLiteral("32766"));

    SpinField* hunger = Spin(JobDetailsDialog::Hunger);
    hunger->SetText(QStringLiteral("-100"));
    QTest::keyClick(hunger, Qt::Key_Down);
    EXPECT_EQ(TextOf(JobDetailsDialog::Hunger), QStringLiteral("-100"));
    EXPECT_TRUE(port.calls.empty());
}

TEST_F(JobDetailsDialogTest, OnlyTheFirstBadFieldInReadingOrderIsReported) {
    Open(ValidLevel(Level0), Level0);
    Spin(JobDetailsDialog::Charisma)->SetText(QStringLiteral("2000"));
    Spin(JobDetailsDialog::Body)->SetText(QStringLiteral("5000"));
    Spin(JobDetailsDialog::Begintime)->SetText(QStringLiteral("30"));
    EXPECT_TRUE(port.calls.empty());

    const struct {
        Field field;
        const char* message;
        const char* fix;
    } steps[] = {
        {JobDetailsDialog::Begintime, "Please enter an integer between 0 and 23.", "8"},
        {JobDetailsDialog::Body, "Please enter an integer between 0 and 1000.", "500"},
        {JobDetailsDialog::Charisma, "Please enter an integer between 0 and 1000.", "600"},
    };
    for (const auto& step : steps) {
        ClickOk();
        EXPECT_EQ(port.Shown(), Messages({step.message})) << JobDetailsDialog::FieldObjectName(step.field);
        EXPECT_TRUE(Focused(step.field));
        port.calls.clear();
        Spin(step.field)->SetText(QString::fromLatin1(step.fix));
    }
    ClickOk();
    EXPECT_EQ(accepted->count(), 1);
    EXPECT_EQ(dialog->WorkingJob().values[18], 8);
    EXPECT_EQ(dialog->WorkingJob().values[4], 500);
    EXPECT_EQ(dialog->WorkingJob().values[3], 600);
}

TEST_F(JobDetailsDialogTest, ChangeMadeWhileAnotherFieldIsBadIsNotLost) {
    Open(ValidLevel(Level0), Level0);
    Spin(JobDetailsDialog::Cooking)->SetText(QStringLiteral("x"));
    Spin(JobDetailsDialog::Body)->SetText(QStringLiteral("500"));
    EXPECT_EQ(port.Shown(), Messages({"Please enter an integer.", "Please enter an integer."}));
    EXPECT_EQ(dialog->WorkingJob().values[4], 0);

    Spin(JobDetailsDialog::Cooking)->SetText(QStringLiteral("300"));
    EXPECT_EQ(dialog->WorkingJob().values[1], 300);
    EXPECT_EQ(dialog->WorkingJob().values[4], 500);
}

TEST_F(JobDetailsDialogTest, LoadPreviousPutsTheLevelBelowIntoTheRequirements) {
    const Requirements previous{3, 100, 200, 300, 400, 500, 600};
    JobLevel level = ValidLevel(previous);
    for (std::size_t i = 1; i < 7; ++i) level.values[i] = 900;
    Open(level, previous);

    Spin(JobDetailsDialog::Hunger)->SetText(QStringLiteral("x"));
    port.calls.clear();
    dialog->findChild<QPushButton*>(QStringLiteral("loadPrevious"))->click();
    EXPECT_EQ(port.Shown(), Messages({"Please enter an integer."}));
    EXPECT_EQ(TextOf(JobDetailsDialog::Cooking), QStringLiteral("900"));

    Spin(JobDetailsDialog::Hunger)->SetText(QStringLiteral("4"));
    port.calls.clear();
    dialog->findChild<QPushButton*>(QStringLiteral("loadPrevious"))->click();
    EXPECT_TRUE(port.calls.empty());
    EXPECT_EQ(TextOf(JobDetailsDialog::Friends), QStringLiteral("3"));
    EXPECT_EQ(TextOf(JobDetailsDialog::Creativity), QStringLiteral("600"));
    ClickOk();
    EXPECT_EQ(accepted->count(), 1);
    for (std::size_t i = 0; i < 7; ++i) EXPECT_EQ(dialog->WorkingJob().values[i], previous[i]) << i;
    EXPECT_EQ(dialog->WorkingJob().values[10], 4);
}

TEST_F(JobDetailsDialogTest, WhatIsNotEditedComesBackUnchanged) {
    JobLevel level = ValidLevel(Level0);
    level.values[20] = 12;  // a car pool the list does not know: shown as its number, and kept
    level.values[0] = -1;   // shown as the unsigned number it is
    Open(level, Level0);
    EXPECT_EQ(static_cast<QComboBox*>(dialog->FieldWidget(JobDetailsDialog::CarPool))->currentText(), QStringLiteral("12"));
    EXPECT_EQ(TextOf(JobDetailsDialog::Friends), QStringLiteral("4294967295"));
    EXPECT_EQ(TextOf(JobDetailsDialog::MaleSkin), QStringLiteral("skin\u0081m"));

    auto* texture = EditOf(dialog->FieldWidget(JobDetailsDialog::Texture));
    texture->selectAll();
    QTest::keyClicks(texture, "Tissu ");
    texture->insert(QStringLiteral("\u00E9\u20AC"));
    Spin(JobDetailsDialog::Friends)->SetText(QStringLiteral("7"));
    ClickOk();
    ASSERT_EQ(accepted->count(), 1);

    JobLevel expected = level;
    expected.texts[3] = "Tissu \xE9\x80";
    expected.values[0] = 7;
    EXPECT_EQ(dialog->WorkingJob(), expected);
}

// Types one character as a key press would, whatever the keyboard.
void TypeCharacter(QWidget* widget, const QString& character) {
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, character, Qt::NoModifier);
}

TEST_F(JobDetailsDialogTest, TypingKeepsWhatTheInternalCodePageHoldsAndNamesTheRest) {
    Open(ValidLevel(Level0), Level0);
    auto* name = EditOf(dialog->FieldWidget(JobDetailsDialog::InternalName));
    name->setCursorPosition(5);
    const struct {
        const char* typed;  // one character is typed as a key, more are pasted
        const char* shown;
        int cursor;
        const char* leftOut;  // none: everything went in
    } steps[] = {
        {"\u0416", "Clerk", 5, "\u0416"},
        {"\U0001F600", "Clerk", 5, "\U0001F600"},
        {"a\u05D0b\u65E5\u05D0", "Clerkab", 7, "\u05D0\u65E5"},
        {"\u00E9", "Clerkab\u00E9", 8, nullptr},
        {"\u20AC\u0152", "Clerkab\u00E9\u20AC\u0152", 10, nullptr},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.typed);
        QToolTip::hideText();
        const QString typed = QString::fromUtf8(step.typed);
        if (typed.toUcs4().size() == 1)
            TypeCharacter(name, typed);
        else
            name->insert(typed);
        EXPECT_EQ(name->text(), QString::fromUtf8(step.shown));
        EXPECT_EQ(name->cursorPosition(), step.cursor);
        if (step.leftOut != nullptr) {
            EXPECT_EQ(QToolTip::text(), QStringLiteral("Left out \"%1\": job texts cannot hold these characters.")
                                            .arg(QString::fromUtf8(step.leftOut)));
        }
    }
    ClickOk();
    ASSERT_EQ(accepted->count(), 1);
    EXPECT_EQ(dialog->WorkingJob().texts[0], "Clerkab\xE9\x80\x8C");
    EXPECT_TRUE(port.calls.empty());
}

TEST_F(JobDetailsDialogTest, EveryWesternByteComesBackUnchanged) {
    std::string all;
    for (int b = 0x20; b < 256; ++b) all.push_back(static_cast<char>(b));
    JobLevel level = ValidLevel(Level0);
    level.texts[4] = all;
    Open(level, Level0);
    auto* accessory = EditOf(dialog->FieldWidget(JobDetailsDialog::Accessory));
    Spin(JobDetailsDialog::Friends)->SetText(QStringLiteral("1"));
    EXPECT_EQ(dialog->WorkingJob().texts[4], all);
    accessory->end(false);
    accessory->insert(QStringLiteral("!"));
    ClickOk();
    ASSERT_EQ(accepted->count(), 1);
    EXPECT_EQ(dialog->WorkingJob().texts[4], all + "!");
}

TEST_F(JobDetailsDialogTest, CarPoolListInItsOrder) {
    Open(ValidLevel(Level0), Level0);
    auto* carPool = static_cast<QComboBox*>(dialog->FieldWidget(JobDetailsDialog::CarPool));
    QStringList items;
    for (int i = 0; i < carPool->count(); ++i) items << carPool->itemText(i);
    EXPECT_EQ(items, (QStringList{"Default", "Military Jeep", "Squad Car", "Staff Sedan", "SUV", "Town Car", "Bentley",
                                  "Junky", "Limo"}));
    EXPECT_EQ(carPool->currentIndex(), 2);
    carPool->setCurrentIndex(8);
    EXPECT_EQ(dialog->WorkingJob().values[20], 8);
    EXPECT_EQ(carPool->count(), 9);  // no number of its own for a listed car pool
    dialog->findChild<QPushButton*>(QStringLiteral("cancel"))->click();
    EXPECT_EQ(accepted->count(), 0);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
}

TEST_F(JobDetailsDialogTest, LayoutAndTabOrderFollowTheDialogUnits) {
    Open(ValidLevel(Level0), Level0);
    const DialogUnits units(DialogUnits::DialogFont());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Job details..."));
    EXPECT_EQ(dialog->minimumSize(), units.Size(258, 284));
    EXPECT_EQ(dialog->maximumSize(), units.Size(258, 284));
    EXPECT_EQ(dialog->FieldWidget(JobDetailsDialog::InternalName)->geometry(), units.Rect(63, 7, 188, 12));
    EXPECT_EQ(dialog->FieldWidget(JobDetailsDialog::Charisma)->geometry(), units.Rect(63, 130, 40, 12));
    EXPECT_EQ(dialog->FieldWidget(JobDetailsDialog::Comfort)->geometry(), units.Rect(191, 102, 40, 12));
    EXPECT_EQ(dialog->FieldWidget(JobDetailsDialog::Endtime)->geometry(), units.Rect(63, 239, 40, 12));
    auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("ok"));
    EXPECT_EQ(ok->geometry(), units.Rect(168, 228, 50, 14));
    EXPECT_TRUE(ok->isDefault());

    dialog->FieldWidget(JobDetailsDialog::InternalName)->setFocus();
    for (int i = 1; i < JobDetailsDialog::FieldCount; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_TRUE(Focused(static_cast<Field>(i))) << JobDetailsDialog::FieldObjectName(static_cast<Field>(i));
    }
    for (const char* name : {"loadPrevious", "ok", "cancel"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), dialog->findChild<QPushButton*>(QString::fromLatin1(name))) << name;
    }
}

}  // namespace
}  // namespace tw
