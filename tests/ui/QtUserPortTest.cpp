#include "ui/QtUserPort.h"

#include <QFile>
#include <QFileDialog>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "ModalDriver.h"
#include "ui/FileChoiceRules.h"
#include "ui/FullRowListView.h"
#include "ui/ReplaceCareerDialog.h"

namespace tw {
namespace {

using test::ModalDriver;

TEST(FileChoiceRulesTest, PlatformFiltersBecomeQtFiltersThatIgnoreCase) {
    const struct {
        const char* platform;
        const char* qt;
    } cases[] = {
        {"IFF files (*.IFF)|*.iff||", "IFF files (*.IFF *.iff)"},
        {"Bitmaps|*.bmp;*.dib||", "Bitmaps (*.bmp *.BMP *.dib *.DIB)"},
        {"IFF files (*.IFF)|*.iff|All files (*.*)|*.*||", "IFF files (*.IFF *.iff);;All files (*.*)"},
        {"IFF files (*.IFF)|*.iff|All files (*)|*||", "IFF files (*.IFF *.iff);;All files (*)"},
        {"Odd (old) (*.x)|*.x||", "Odd (old) (*.x *.X)"},
        {"No patterns||", "No patterns (*)"},
        {"|*.iff||", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(QtNameFilters(c.platform), QString::fromUtf8(c.qt)) << c.platform;
}

TEST(FileChoiceRulesTest, WildcardInitialNamesSelectNoFile) {
    EXPECT_EQ(InitialSelection("*.iff"), QString());
    EXPECT_EQ(InitialSelection("career?.iff"), QString());
    EXPECT_EQ(InitialSelection("backup.iff"), QStringLiteral("backup.iff"));
}

TEST(FileChoiceRulesTest, DefaultExtensionOnlyForNamesWithoutADot) {
    const struct {
        const char* path;
        const char* extension;
        const char* expected;
    } cases[] = {
        {"/home/me/career", "iff", "/home/me/career.iff"},
        {"/home/me/career.iff", "iff", "/home/me/career.iff"},
        {"/home/me/career.bak", "iff", "/home/me/career.bak"},
        {"/home/me.d/career", "iff", "/home/me.d/career.iff"},
        {"C:\\games\\career", "iff", "C:\\games\\career.iff"},
        {"/home/me/career", "", "/home/me/career"},
        {"/home/me/", "iff", "/home/me/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WithDefaultExtension(QString::fromUtf8(c.path), c.extension), QString::fromUtf8(c.expected)) << c.path;
}

TEST(FileChoiceRulesTest, ApplicationNameIsTheExecutableWithoutExtension) {
    EXPECT_EQ(ExecutableBaseName(QStringLiteral("C:/Programs/Trackwright.exe")), QStringLiteral("Trackwright"));
    EXPECT_EQ(ExecutableBaseName(QStringLiteral("C:\\Programs\\track.wright.exe")), QStringLiteral("track.wright"));
    EXPECT_EQ(ExecutableBaseName(QStringLiteral("/usr/bin/trackwright")), QStringLiteral("trackwright"));
    EXPECT_EQ(QString::fromStdString(QtUserPort().ApplicationName()), QStringLiteral("trackwright_ui_tests"));
}

TEST(QtUserPortTest, MessageBoxesCarryTitleIconButtonsAndPlainText) {
    const struct {
        MessageIcon icon;
        MessageButtons buttons;
        QMessageBox::Icon qtIcon;
        QMessageBox::StandardButtons qtButtons;
        QMessageBox::StandardButton defaultButton;
    } cases[] = {
        {MessageIcon::Information, MessageButtons::Ok, QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok},
        {MessageIcon::Warning, MessageButtons::OkCancel, QMessageBox::Warning, QMessageBox::Ok | QMessageBox::Cancel,
         QMessageBox::Ok},
        {MessageIcon::Error, MessageButtons::Ok, QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok},
        {MessageIcon::Stop, MessageButtons::Ok, QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok},
        {MessageIcon::Question, MessageButtons::YesNo, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
         QMessageBox::Yes},
        {MessageIcon::Question, MessageButtons::YesNoCancel, QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes},
    };
    for (const auto& c : cases) {
        const auto box = QtUserPort::BuildMessageBox({"<b>Save?</b>", "Exit", c.icon, c.buttons}, "app", nullptr);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Exit"));
        EXPECT_EQ(box->text(), QStringLiteral("<b>Save?</b>"));
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->icon(), c.qtIcon);
        EXPECT_EQ(box->standardButtons(), c.qtButtons);
        EXPECT_EQ(box->standardButton(box->defaultButton()), c.defaultButton);
    }
    const auto untitled = QtUserPort::BuildMessageBox({"Done", "", MessageIcon::None, MessageButtons::Ok}, "app", nullptr);
    EXPECT_EQ(untitled->windowTitle(), QStringLiteral("app"));
}

TEST(QtUserPortTest, BoxesClosedWithoutAButtonGiveTheSafeAnswer) {
    EXPECT_EQ(QtUserPort::AnswerFor(QMessageBox::Yes, MessageButtons::YesNo), Answer::Yes);
    EXPECT_EQ(QtUserPort::AnswerFor(QMessageBox::NoButton, MessageButtons::Ok), Answer::Ok);
    EXPECT_EQ(QtUserPort::AnswerFor(QMessageBox::NoButton, MessageButtons::YesNo), Answer::No);
    EXPECT_EQ(QtUserPort::AnswerFor(QMessageBox::NoButton, MessageButtons::YesNoCancel), Answer::Cancel);
    EXPECT_EQ(QtUserPort::AnswerFor(QMessageBox::NoButton, MessageButtons::OkCancel), Answer::Cancel);
}

TEST(QtUserPortTest, SaveAddsTheExtensionBeforeAskingToOverwrite) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile taken(folder.filePath(QStringLiteral("taken.iff")));
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.close();

    QtUserPort port;
    port.SetStartFolder(folder.path());
    QString offeredFilter;
    QString question;
    ModalDriver person;
    person
        .Then<QFileDialog>([&](QFileDialog* dialog) {
            offeredFilter = dialog->nameFilters().join(QStringLiteral(";;"));
            dialog->selectFile(QStringLiteral("taken"));
            static_cast<QDialog*>(dialog)->accept();  // reads the name as typed
        })
        .Then<QMessageBox>([&](QMessageBox* box) {
            question = box->windowTitle() + QStringLiteral(": ") + box->text();
            box->button(QMessageBox::No)->click();
        })
        .Then<QFileDialog>([](QFileDialog* dialog) {
            dialog->selectFile(QStringLiteral("fresh"));
            static_cast<QDialog*>(dialog)->accept();  // reads the name as typed
        });
    const auto chosen = port.ChooseSaveFile({"IFF files (*.IFF)|*.iff||", "*.iff", "iff", false, true, true, true});

    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(QString::fromStdU16String(chosen->u16string()), folder.filePath(QStringLiteral("fresh.iff")));
    EXPECT_EQ(offeredFilter, QStringLiteral("IFF files (*.IFF *.iff)"));
    EXPECT_EQ(question, QStringLiteral("Confirm Save As: taken.iff already exists.\nDo you want to replace it?"));
    EXPECT_TRUE(person.Finished());
}

TEST(QtUserPortTest, CancelledOpenGivesNoFile) {
    QtUserPort port;
    ModalDriver person;
    person.Then<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_FALSE(port.ChooseOpenFile({"IFF files (*.IFF)|*.iff||", "*.iff", "", true}).has_value());
}

TEST(QtUserPortTest, CareerChoiceOpensOnTheSelectedCareerAndReturnsTheChosenRowsIndex) {
    QtUserPort port;
    ModalDriver person;
    int offered = -1;
    person
        .Then<ReplaceCareerDialog>([](ReplaceCareerDialog* dialog) {
            dialog->CareerList()->SelectRow(2);
            dialog->OkButton()->click();
        })
        .Then<ReplaceCareerDialog>([&offered](ReplaceCareerDialog* dialog) {
            offered = dialog->CareerList()->SelectedRow();
            dialog->CancelButton()->click();
        });
    const std::vector<CareerRow> rows = {{1, "Business"}, {2, "Medicine"}, {7, "Slacker"}};
    EXPECT_EQ(port.ChooseCareerFromRows(rows), std::optional<std::uint32_t>(2));
    EXPECT_EQ(port.ChooseCareerFromRows(rows, 1), std::nullopt);
    EXPECT_EQ(offered, 1);
}

}  // namespace
}  // namespace tw
