#include "ui/ModifyIconsDialog.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "core/icons/BmpBytes.h"
#include "icons/BitmapFile.h"
#include "icons/IconStrips.h"
#include "support/ScriptedPort.h"
#include "ui/BitmapImage.h"
#include "ui/DialogUnits.h"
#include "ui/Screenshot.h"
#include "util/HostPath.h"
#include "util/MemoryStream.h"

namespace tw {
namespace {

const std::string PopupSizeMessage =
    "Error!: Couldn't load the bitmap!\n\nMake sure it's width is 84 pixels, it's height is 63 and it hasn't got "
    "compression.";
const std::string ButtonSizeMessage =
    "Error!: Couldn't load the bitmap!\n\nMake sure it's width is 112 pixels, it's height is 22 and it hasn't got "
    "compression.";
const std::string OpenMessage = "Error!: Couldn't open this file!";
const std::string CreateMessage = "Error!: Couldn't create this file!";

// A bitmap whose every pixel tells where it is and which picture it belongs to.
Bitmap Pattern(std::int32_t width, std::int32_t height, std::uint32_t seed) {
    Bitmap bitmap(width, height);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            bitmap.SetPixel(x, y, (static_cast<std::uint32_t>(x) << 16) | (static_cast<std::uint32_t>(y) << 8) | seed);
    return bitmap;
}

std::vector<std::uint8_t> Bmp24(const Bitmap& bitmap) {
    MemoryStream stream;
    EXPECT_TRUE(SaveBitmapFile(stream, bitmap));
    return stream.Copy();
}

// Rows of 24-bit pixels as stored, `width` pixels each, padded to four bytes.
std::vector<std::uint8_t> Rows24(std::int32_t width, std::int32_t rows, std::uint8_t value) {
    const auto stride = static_cast<std::size_t>((width * 3 + 3) / 4 * 4);
    return std::vector<std::uint8_t>(stride * static_cast<std::size_t>(rows), value);
}

// An 8-bit 112 x 22 file with a full colour table (colours used 0): pixel (x, y) of the picture
// has colour index x + y, and colour i is 0x00i0i0 + 0x000001 * (255 - i).
test::BmpLayout Palette8(std::uint32_t compression = 0) {
    test::BmpLayout layout;
    layout.width = 112;
    layout.height = 22;
    layout.bitsPerPixel = 8;
    layout.compression = compression;
    for (std::uint32_t i = 0; i < 256; ++i) layout.table.push_back((i << 16) | (i << 8) | (255 - i));
    for (std::int32_t row = 21; row >= 0; --row)
        for (std::int32_t x = 0; x < 112; ++x) layout.pixels.push_back(static_cast<std::uint8_t>(x + row));
    return layout;
}

Bitmap Palette8Picture() {
    Bitmap bitmap(112, 22);
    for (std::int32_t y = 0; y < 22; ++y)
        for (std::int32_t x = 0; x < 112; ++x) {
            const auto i = static_cast<std::uint32_t>(x + y);
            bitmap.SetPixel(x, y, (i << 16) | (i << 8) | (255 - i));
        }
    return bitmap;
}

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ModifyIconsDialogTest : public ::testing::Test {
protected:
    // Three careers' icons in each strip.
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        LoadStrips(Pattern(84, 3 * 63, 0x11), Pattern(112, 3 * 22, 0x22));
    }

    void LoadStrips(const Bitmap& popup, const Bitmap& button) {
        MemoryStream popupFile(Bmp24(popup));
        MemoryStream buttonFile(Bmp24(button));
        ASSERT_TRUE(strips.LoadPopupStrip(popupFile));
        ASSERT_TRUE(strips.LoadButtonStrip(buttonFile));
    }

    void Open(std::uint32_t iconNumber) {
        dialog = std::make_unique<ModifyIconsDialog>(iconNumber, strips, port);
        accepted = std::make_unique<QSignalSpy>(dialog.get(), &QDialog::accepted);
    }

    std::filesystem::path Path(const std::string& name) const {
        return std::filesystem::path(folder.path().toStdString()) / name;
    }
    QPushButton* Button(const char* name) const { return dialog->findChild<QPushButton*>(QString::fromLatin1(name)); }
    QLabel* Picture(const char* name) const { return dialog->findChild<QLabel*>(QString::fromLatin1(name)); }
    QImage Shown(const char* picture) const {
        return Picture(picture)->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    }
    Bitmap StripPopup(std::uint32_t number) const {
        Bitmap icon;
        EXPECT_TRUE(strips.GetPopupIcon(number, icon));
        return icon;
    }
    Bitmap StripButton(std::uint32_t number) const {
        Bitmap icon;
        EXPECT_TRUE(strips.GetButtonIcon(number, icon));
        return icon;
    }

    QTemporaryDir folder;
    IconStrips strips;
    test::ScriptedPort port;
    std::unique_ptr<ModifyIconsDialog> dialog;
    std::unique_ptr<QSignalSpy> accepted;
};

TEST_F(ModifyIconsDialogTest, OpeningShowsTheCareersIconsAtTheirRealSize) {
    Open(1);
    EXPECT_TRUE(dialog->Opened());
    EXPECT_EQ(dialog->IconNumber(), 1u);
    EXPECT_EQ(dialog->PopupIcon(), StripPopup(1));
    EXPECT_EQ(dialog->ButtonIcon(), StripButton(1));
    EXPECT_EQ(Shown("popupPicture"), ToQImage(StripPopup(1)));
    EXPECT_EQ(Shown("buttonPicture"), ToQImage(StripButton(1)));
    EXPECT_TRUE(port.calls.empty());
}

TEST_F(ModifyIconsDialogTest, AnIconPastTheStripEndsTheDialogAsCancelled) {
    const std::string contact = "\n\nPlease report it on the project's issue tracker.";
    const std::string popupMessage = "Error!: Can't load the Popup bitmap!\n\nContact the author of this program!" + contact;
    const std::string buttonMessage = "Error!: Can't load the Button bitmap!\n\nContact the author of this program!" + contact;
    // Icon 2 is the third icon; a partial icon at the bottom of a strip is no icon.
    const struct {
        std::int32_t popupRows;
        std::int32_t buttonRows;
        const std::string& message;
    } cases[] = {
        {2 * 63, 3 * 22, popupMessage},
        {3 * 63 - 1, 3 * 22, popupMessage},
        {3 * 63, 2 * 22, buttonMessage},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.popupRows) + " " + std::to_string(c.buttonRows));
        LoadStrips(Pattern(84, c.popupRows, 1), Pattern(112, c.buttonRows, 2));
        port.calls.clear();
        Open(2);
        EXPECT_EQ(port.Shown(), std::vector<std::string>{c.message});
        ASSERT_FALSE(port.calls.empty());
        EXPECT_EQ(port.calls[0].message.icon, MessageIcon::Error);
        EXPECT_FALSE(dialog->Opened());
        // Ends at once, without waiting for the person.
        EXPECT_EQ(dialog->exec(), QDialog::Rejected);
        EXPECT_FALSE(dialog->isVisible());
        QSignalSpy rejected(dialog.get(), &QDialog::rejected);
        dialog->open();
        EXPECT_EQ(rejected.count(), 1);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(accepted->count(), 0);
    }
}

TEST_F(ModifyIconsDialogTest, ImportTakesBitmapsOfTheIconsSizeRunLengthCompressedOrNot) {
    test::BmpLayout topDown;
    topDown.width = 84;
    topDown.height = -63;
    topDown.pixels = Rows24(84, 63, 0x40);
    test::BmpLayout wide;
    wide.width = 85;
    wide.height = 63;
    wide.pixels = Rows24(85, 63, 0x40);
    // The 8-bit picture as run-length data; with nothing but an end of bitmap, every pixel is
    // colour 0; with a run past the row end, damaged.
    test::IndexPicture indices{.width = 112, .height = 22};
    for (std::int32_t y = 0; y < 22; ++y)
        for (std::int32_t x = 0; x < 112; ++x) indices.indices.push_back(static_cast<std::uint8_t>(x + y));
    test::BmpLayout rle = Palette8(1);
    rle.pixels = test::RunLengthData(indices, 8, 7);
    test::BmpLayout rleEmpty = Palette8(1);
    rleEmpty.pixels = {0, 1};  // end of bitmap
    Bitmap colourZero(112, 22);
    colourZero.pixels.assign(colourZero.pixels.size(), 0x0000FF);
    test::BmpLayout rleDamaged = Palette8(1);
    rleDamaged.pixels = {113, 5, 0, 1};  // a run of 113 pixels, then end of bitmap

    const Bitmap popup = Pattern(84, 63, 0x77);
    const struct {
        const char* name;
        bool popupIcon;
        std::vector<std::uint8_t> file;  // none: the file is not there
        std::string message;             // empty: imported
        Bitmap imported;
        const char* found = "";          // what the message's detail says of the file
    } cases[] = {
        {"popup 24-bit 84x63", true, Bmp24(popup), "", popup},
        {"popup 85x63", true, test::BmpBytes(wide), PopupSizeMessage, {}, "the bitmap is 85 x 63 pixels, not 84 x 63"},
        {"popup 84x64", true, Bmp24(Pattern(84, 64, 0x77)), PopupSizeMessage, {},
         "the bitmap is 84 x 64 pixels, not 84 x 63"},
        {"popup top-down", true, test::BmpBytes(topDown), PopupSizeMessage, {},
         "the bitmap is 84 x -63 pixels, not 84 x 63"},
        {"popup missing file", true, {}, OpenMessage, {}},
        {"button 8-bit palette", false, test::BmpBytes(Palette8()), "", Palette8Picture()},
        {"button RLE8", false, test::BmpBytes(rle), "", Palette8Picture()},
        {"button RLE8 of an end of bitmap only", false, test::BmpBytes(rleEmpty), "", colourZero},
        {"button RLE8 damaged", false, test::BmpBytes(rleDamaged), ButtonSizeMessage, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::filesystem::path path = Path(std::string(c.name) + ".bmp");
        if (!c.file.empty()) WriteFile(path, c.file);
        Open(0);
        port.calls.clear();
        port.files.push_back(path);
        Button(c.popupIcon ? "importPopup" : "importButton")->click();

        ASSERT_FALSE(port.calls.empty());
        const FileChoice& choice = port.calls[0].choice;
        EXPECT_EQ(port.calls[0].kind, "open");
        EXPECT_EQ(choice.filter, "Bitmap files (*.BMP)|*.BMP||");
        EXPECT_EQ(choice.initialName, "*.BMP");
        EXPECT_EQ(choice.defaultExtension, "");
        EXPECT_TRUE(choice.mustExist);
        EXPECT_TRUE(choice.hideReadOnly);

        const Bitmap& changed = c.popupIcon ? dialog->PopupIcon() : dialog->ButtonIcon();
        const Bitmap& other = c.popupIcon ? dialog->ButtonIcon() : dialog->PopupIcon();
        EXPECT_EQ(other, c.popupIcon ? StripButton(0) : StripPopup(0));
        if (c.message.empty()) {
            EXPECT_TRUE(port.Shown().empty());
            EXPECT_EQ(changed.pixels, c.imported.pixels);
            EXPECT_EQ(Shown(c.popupIcon ? "popupPicture" : "buttonPicture"), ToQImage(c.imported));
        } else {
            EXPECT_EQ(port.Shown(), std::vector<std::string>{c.message});
            EXPECT_EQ(port.calls.back().message.icon, MessageIcon::Error);
            // Beside the words of what the icon must be, the reason: which file, and what it is.
            const std::string& detail = port.calls.back().message.detail;
            EXPECT_EQ(detail.rfind(PathText(path) + ": ", 0), 0u) << detail;
            if (*c.found != '\0') {
                EXPECT_EQ(detail, PathText(path) + ": " + c.found);
            }
            EXPECT_EQ(changed, c.popupIcon ? StripPopup(0) : StripButton(0));
        }
        EXPECT_TRUE(port.files.empty());
    }
}

TEST_F(ModifyIconsDialogTest, ImportThenCancelLeavesTheStripsUnchanged) {
    const Bitmap popupStrip = strips.PopupStrip();
    const Bitmap buttonStrip = strips.ButtonStrip();
    const Bitmap otherPopup = StripPopup(1);
    const Bitmap otherButton = StripButton(1);
    WriteFile(Path("popup.bmp"), Bmp24(Pattern(84, 63, 0x99)));
    WriteFile(Path("button.bmp"), test::BmpBytes(Palette8()));
    Open(2);
    port.files = {Path("popup.bmp"), Path("button.bmp")};
    Button("importPopup")->click();
    Button("importButton")->click();
    ASSERT_EQ(dialog->PopupIcon().pixels, Pattern(84, 63, 0x99).pixels);
    Button("cancel")->click();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(accepted->count(), 0);
    EXPECT_EQ(strips.PopupStrip(), popupStrip);
    EXPECT_EQ(strips.ButtonStrip(), buttonStrip);

    // With OK the caller puts the imported icons into the strips at the career's icon number.
    Open(2);
    port.files = {Path("popup.bmp"), Path("button.bmp")};
    Button("importPopup")->click();
    Button("importButton")->click();
    Button("ok")->click();
    ASSERT_EQ(accepted->count(), 1);
    EXPECT_TRUE(strips.PutPopupIcon(dialog->IconNumber(), dialog->PopupIcon()));
    EXPECT_TRUE(strips.PutButtonIcon(dialog->IconNumber(), dialog->ButtonIcon()));
    EXPECT_EQ(StripPopup(2).pixels, Pattern(84, 63, 0x99).pixels);
    EXPECT_EQ(StripButton(2).pixels, Palette8Picture().pixels);
    EXPECT_EQ(StripPopup(1), otherPopup);
    EXPECT_EQ(StripButton(1), otherButton);
    EXPECT_TRUE(port.Shown().empty());
}

TEST_F(ModifyIconsDialogTest, ExportWritesTheWorkingCopyAsA24BitFile) {
    Open(1);
    port.files.push_back(Path("popup.bmp"));
    Button("exportPopup")->click();
    ASSERT_EQ(port.calls.size(), 1u);
    const FileChoice& choice = port.calls[0].choice;
    EXPECT_EQ(port.calls[0].kind, "save");
    EXPECT_EQ(choice.filter, "Bitmap files (*.BMP)|*.BMP||");
    EXPECT_EQ(choice.initialName, "*.BMP");
    EXPECT_EQ(choice.defaultExtension, "BMP");
    EXPECT_TRUE(choice.promptOverwrite);
    EXPECT_TRUE(choice.existingFoldersOnly);

    // Straight after opening: the icon that the strip holds.
    MemoryStream popupFile(ReadFile(Path("popup.bmp")));
    Bitmap written;
    Palette palette;
    ASSERT_TRUE(LoadBitmapFile(popupFile, written, palette, 84, 63));
    EXPECT_EQ(written.pixels, StripPopup(1).pixels);
    EXPECT_EQ(popupFile.Length(), 54u + 252u * 63u);

    // An imported 8-bit icon, not yet accepted, goes out as 24 bits per pixel over a former file.
    WriteFile(Path("palette.bmp"), test::BmpBytes(Palette8()));
    WriteFile(Path("button.bmp"), std::vector<std::uint8_t>(100000, 0xEE));
    port.files = {Path("palette.bmp"), Path("button.bmp")};
    Button("importButton")->click();
    Button("exportButton")->click();
    const std::vector<std::uint8_t> bytes = ReadFile(Path("button.bmp"));
    ASSERT_EQ(bytes.size(), 54u + 336u * 22u);
    EXPECT_EQ(bytes[28], 24);  // bits per pixel
    EXPECT_EQ(bytes[10], 54);  // pixel data straight after the headers: no colour table
    MemoryStream buttonFile(bytes);
    ASSERT_TRUE(LoadBitmapFile(buttonFile, written, palette, 112, 22));
    EXPECT_EQ(written.pixels, Palette8Picture().pixels);
    EXPECT_TRUE(palette.Empty());
    EXPECT_TRUE(port.Shown().empty());
}

TEST_F(ModifyIconsDialogTest, ExportThatCannotBeWrittenLeavesTheFormerFileWhole) {
    // The file itself can be made, but not the temporary file beside it: its longer name passes
    // the file system's limit. As root, permissions could not stop the writing.
    const std::filesystem::path longName = Path(std::string(246, 'x') + ".BMP");
    const std::vector<std::uint8_t> former(5000, 0x5A);
    WriteFile(longName, former);
    Open(0);
    port.files = {longName, Path("missing folder") / "icon.bmp"};
    Button("exportPopup")->click();
    Button("exportButton")->click();
    EXPECT_EQ(port.Shown(), (std::vector<std::string>{CreateMessage, CreateMessage}));
    EXPECT_EQ(port.calls[1].message.icon, MessageIcon::Error);
    EXPECT_EQ(ReadFile(longName), former);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(Path(""))) ++files;
    EXPECT_EQ(files, 1u);  // no temporary file left behind
    EXPECT_FALSE(std::filesystem::exists(Path("missing folder")));
}

TEST_F(ModifyIconsDialogTest, LayoutFollowsTheDialogUnits) {
    Open(0);
    const DialogUnits units(DialogUnits::DialogFont());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Modify icons..."));
    EXPECT_EQ(dialog->minimumSize(), units.Size(183, 183));
    EXPECT_EQ(dialog->maximumSize(), units.Size(183, 183));

    const struct {
        const char* name;
        const char* text;
        QRect rect;
    } buttons[] = {
        {"importPopup", "Import...", units.Rect(106, 25, 50, 14)}, {"exportPopup", "Export...", units.Rect(106, 45, 50, 14)},
        {"importButton", "Import...", units.Rect(36, 127, 50, 14)}, {"exportButton", "Export...", units.Rect(96, 127, 50, 14)},
        {"ok", "OK", units.Rect(68, 162, 50, 14)},                  {"cancel", "Cancel", units.Rect(126, 162, 50, 14)},
    };
    for (const auto& b : buttons) {
        EXPECT_EQ(Button(b.name)->geometry(), b.rect) << b.name;
        EXPECT_EQ(Button(b.name)->text(), QString::fromLatin1(b.text)) << b.name;
    }
    EXPECT_TRUE(Button("ok")->isDefault());

    const auto groups = dialog->findChildren<QGroupBox*>();
    ASSERT_EQ(groups.size(), 2);
    EXPECT_EQ(groups[0]->title(), QStringLiteral("Popup icon"));
    EXPECT_EQ(groups[0]->geometry(), units.Rect(7, 7, 169, 68));
    EXPECT_EQ(groups[1]->title(), QStringLiteral("Button icons"));
    EXPECT_EQ(groups[1]->geometry(), units.Rect(7, 80, 168, 74));

    // Each picture stays centred where it was designed and holds its whole icon inside a border.
    const std::pair<const char*, QRect> pictures[] = {{"popupPicture", units.Rect(28, 23, 58, 41)},
                                                      {"buttonPicture", units.Rect(50, 100, 77, 16)}};
    for (const auto& [name, designed] : pictures) {
        const QLabel* picture = Picture(name);
        EXPECT_LE((picture->geometry().center() - designed.center()).manhattanLength(), 2) << name;
        EXPECT_TRUE(picture->geometry().contains(designed)) << name;
        EXPECT_GE(picture->contentsRect().width(), picture->pixmap().width()) << name;
        EXPECT_GE(picture->contentsRect().height(), picture->pixmap().height()) << name;
        EXPECT_GT(picture->frameWidth(), 0) << name;
    }

    dialog->show();
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    // The default button has the focus first, then the tab order runs from the popup icon's
    // buttons down to OK and Cancel.
    EXPECT_EQ(QApplication::focusWidget(), Button("ok"));
    for (const char* name : {"cancel", "importPopup", "exportPopup", "importButton", "exportButton", "ok"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), Button(name)) << name;
    }

    const QString path = SaveScreenshot(*dialog, QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots"),
                                        QStringLiteral("modify-icons"));
    ASSERT_FALSE(path.isEmpty());
    EXPECT_EQ(QImage(path).size(), dialog->size());
}

}  // namespace
}  // namespace tw
