#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include <gtest/gtest.h>

#include "ui/EditorImages.h"

namespace tw {
namespace {

// The sizes that Windows picks from for Explorer, the taskbar and the window's corner.
constexpr int IconSizes[] = {16, 20, 24, 32, 40, 48, 64, 256};

QImage Drawn(int size) { return ApplicationIconImage(size).convertToFormat(QImage::Format_ARGB32); }

// An icon file of PNG images, one per size.
QByteArray IconFile() {
    std::vector<QByteArray> images;
    for (const int size : IconSizes) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        Drawn(size).save(&buffer, "PNG");
        images.push_back(png);
    }
    QByteArray file;
    const auto put = [&file](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) file.append(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    put(0, 2);
    put(1, 2);  // an icon, not a cursor
    put(static_cast<std::uint32_t>(images.size()), 2);
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const auto size = static_cast<std::uint32_t>(IconSizes[i] % 256);  // 0 stands for 256
        put(size, 1);
        put(size, 1);
        put(0, 2);
        put(1, 2);   // planes
        put(32, 2);  // bits per pixel
        put(static_cast<std::uint32_t>(images[i].size()), 4);
        put(offset, 4);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const QByteArray& image : images) file.append(image);
    return file;
}

int LargestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    return largest;
}

// The Windows executable's icon is a file in the source tree; it must stay the icon that the
// program draws for its windows.
TEST(ApplicationIconFileTest, WindowsIconFileShowsTheDrawnIcon) {
    QImageReader reader(QStringLiteral(TW_ICON_FILE), "ico");
    std::vector<QImage> stored;
    for (int i = 0; i < reader.imageCount(); ++i) {
        if (!reader.jumpToImage(i)) break;
        stored.push_back(reader.read().convertToFormat(QImage::Format_ARGB32));
    }
    bool same = stored.size() == std::size(IconSizes);
    for (std::size_t i = 0; same && i < stored.size(); ++i) {
        const QImage drawn = Drawn(IconSizes[i]);
        // Rounding in the painter may differ between compilers by a step or two.
        same = stored[i].size() == drawn.size() && LargestDifference(stored[i], drawn) <= 3;
    }
    if (!same) {
        QFile fresh(QStringLiteral(TW_ICON_OUTPUT));
        const bool written = fresh.open(QIODevice::WriteOnly) && fresh.write(IconFile()) > 0;
        FAIL() << TW_ICON_FILE << " is not the icon the program draws (" << stored.size() << " images read)."
               << (written ? " The drawn icon is in " TW_ICON_OUTPUT ": copy it there." : "");
    }
}

// The Linux desktop's icons are PNG files in the source tree, trackwright-SIZE.png; each must stay
// the icon that the program draws at its size.
TEST(ApplicationIconFileTest, LinuxIconFilesShowTheDrawnIcon) {
    const QDir folder(QStringLiteral(TW_LINUX_ICON_DIR));
    const QStringList names = folder.entryList({QStringLiteral("trackwright-*.png")}, QDir::Files, QDir::Name);
    ASSERT_FALSE(names.isEmpty()) << "the icons are missing from " TW_LINUX_ICON_DIR;
    const QDir fresh(QStringLiteral(TW_LINUX_ICON_OUTPUT));
    QStringList stale;
    for (const QString& name : names) {
        const int size = name.section(QLatin1Char('-'), 1).section(QLatin1Char('.'), 0, 0).toInt();
        if (size <= 0 || size > 1024) {
            stale << name;
            continue;
        }
        const QImage stored = QImage(folder.filePath(name)).convertToFormat(QImage::Format_ARGB32);
        const QImage drawn = Drawn(size);
        // Rounding in the painter may differ between compilers by a step or two.
        if (stored.size() != drawn.size() || LargestDifference(stored, drawn) > 3) {
            stale << name;
            QDir().mkpath(fresh.path());
            drawn.save(fresh.filePath(name), "PNG");
        }
    }
    EXPECT_TRUE(stale.isEmpty()) << stale.join(QStringLiteral(", ")).toStdString()
                                 << " in " TW_LINUX_ICON_DIR " are not the icon the program draws; the drawn ones are in "
                                 << TW_LINUX_ICON_OUTPUT ": copy them there.";
}

}  // namespace
}  // namespace tw
