#include "icons/IconStrips.h"

#include "util/FileError.h"

#include <algorithm>
#include <cstddef>
#include <new>

namespace tw {

Status IconStrips::LoadStrip(Stream& stream, Strip& strip) {
    auto picture = std::make_shared<Picture>();
    Strip loaded;
    try {
        picture->file = ReadCanonicalBitmapFile(stream);
    } catch (const FileError& e) {
        return Failure(e.what(), ErrorKind::System);
    } catch (const std::bad_alloc&) {
        // Read as any other file below, which refuses what cannot be held.
    }
    if (picture->file) {
        picture->width = picture->file->width;
        picture->height = picture->file->height;
        loaded.headers = picture->file->headers;
    } else {
        Palette palette;
        if (Status read = LoadBitmapFile(stream, picture->bitmap, palette, 0, 0, &loaded.headers); !read) return read;
        picture->width = picture->bitmap.width;
        picture->height = picture->bitmap.height;
    }
    loaded.picture = std::move(picture);
    strip = std::move(loaded);
    return {};
}

const Bitmap& IconStrips::Pixels(const Strip& strip) {
    static const Bitmap none;
    if (!strip.picture) return none;
    const Picture& picture = *strip.picture;
    if (picture.file)
        std::call_once(picture.decoding, [&picture] { picture.bitmap = DecodeCanonicalRows(*picture.file, 0, picture.height); });
    return picture.bitmap;
}

bool IconStrips::SamePicture(const Strip& a, const Strip& b) {
    if (a.picture == b.picture) return true;
    if (a.picture && b.picture && a.picture->file && b.picture->file) {
        const std::span<const std::uint8_t> x = a.picture->file->Bytes();
        const std::span<const std::uint8_t> y = b.picture->file->Bytes();
        return std::equal(x.begin(), x.end(), y.begin(), y.end());
    }
    return Pixels(a).SamePixels(Pixels(b));
}

bool IconStrips::WriteStrip(const Strip& strip, Stream& stream) {
    if (!strip.picture) return false;
    if (strip.picture->file) {
        stream.Write(strip.picture->file->Bytes());
        return true;
    }
    return WriteBitmapFile(stream, strip.picture->bitmap);
}

std::uint32_t IconStrips::IconCount(const Strip& strip, std::int32_t iconHeight) {
    // The decoded height, which is positive also for a strip stored top-down.
    if (!strip.picture || strip.picture->width <= 0 || strip.picture->height <= 0) return 0;
    return static_cast<std::uint32_t>(strip.picture->height / iconHeight);
}

bool IconStrips::CutIcon(const Strip& strip, std::int32_t iconHeight, std::uint32_t number, Bitmap& out) {
    if (number >= IconCount(strip, iconHeight)) return false;
    const auto first = static_cast<std::int32_t>(number) * iconHeight;
    const Picture& picture = *strip.picture;
    if (picture.file) {
        // Only the icon's own rows.
        out = DecodeCanonicalRows(*picture.file, first, iconHeight);
        return true;
    }
    const auto width = static_cast<std::size_t>(picture.width);
    const std::size_t count = width * static_cast<std::size_t>(iconHeight);
    const auto from = picture.bitmap.pixels.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(first) * width);
    Bitmap icon;
    icon.width = picture.width;
    icon.height = iconHeight;
    icon.pixels.assign(from, from + static_cast<std::ptrdiff_t>(count));
    icon.palette = picture.bitmap.palette;
    out = std::move(icon);
    return true;
}

bool IconStrips::PutIcon(Strip& strip, std::int32_t iconHeight, std::uint32_t number, const Bitmap& icon) {
    if (number >= IconCount(strip, iconHeight)) return false;
    // A smaller icon would leave part of the old one behind, or be read past its end.
    if (!icon.IsWellFormed() || icon.width < strip.picture->width || icon.height < iconHeight) return false;
    // A decoded picture of its own, so that copies of the strips keep theirs.
    if (strip.picture.use_count() != 1 || strip.picture->file) {
        auto own = std::make_shared<Picture>();
        own->width = strip.picture->width;
        own->height = strip.picture->height;
        own->bitmap = Pixels(strip);
        strip.picture = std::move(own);
    }
    Picture& changed = *strip.picture;
    const auto width = static_cast<std::size_t>(changed.width);
    const auto iconWidth = static_cast<std::size_t>(icon.width);
    const std::size_t firstRow = static_cast<std::size_t>(number) * static_cast<std::size_t>(iconHeight);
    for (std::size_t y = 0; y < static_cast<std::size_t>(iconHeight); ++y) {
        const auto from = icon.pixels.begin() + static_cast<std::ptrdiff_t>(y * iconWidth);
        const auto to = changed.bitmap.pixels.begin() + static_cast<std::ptrdiff_t>((firstRow + y) * width);
        std::copy(from, from + static_cast<std::ptrdiff_t>(width), to);
    }
    return true;
}

}  // namespace tw
