#pragma once

#include "icons/Bitmap.h"
#include "icons/BitmapFile.h"
#include "util/Stream.h"

#include <cstdint>
#include <memory>
#include <mutex>

namespace tw {

// The two job-icon strips in memory. Each career has one icon in each strip, stacked from the
// top down and as wide as the strip; a career's resource id is its icon number in both.
//
// Copies share each strip's picture until one of them changes it. A strip whose file is already
// in the form a save writes (every strip after the first save) keeps the file's bytes and decodes
// only the rows asked for: a load and a save of an unchanged strip never decode it.
class IconStrips {
public:
    static constexpr std::int32_t ButtonIconHeight = 22;
    static constexpr std::int32_t PopupIconHeight = 63;

    // Read the whole strip file from its start (see LoadBitmapFile, without a size check) and
    // keep its two headers. Fails, saying why, for a file that cannot be read as a bitmap; the
    // strip is then left as it was.
    Status LoadButtonStrip(Stream& stream) { return LoadStrip(stream, button_); }
    Status LoadPopupStrip(Stream& stream) { return LoadStrip(stream, popup_); }

    // A copy of icon `number` (strip width × icon height). False, leaving `out` as it was, when
    // the strip holds no such icon.
    bool GetButtonIcon(std::uint32_t number, Bitmap& out) const { return CutIcon(button_, ButtonIconHeight, number, out); }
    bool GetPopupIcon(std::uint32_t number, Bitmap& out) const { return CutIcon(popup_, PopupIconHeight, number, out); }

    // Copies the top-left strip width × icon height of `icon` over icon `number` in memory. False,
    // with the strip unchanged, when the strip holds no such icon or `icon` is smaller than that.
    bool PutButtonIcon(std::uint32_t number, const Bitmap& icon) { return PutIcon(button_, ButtonIconHeight, number, icon); }
    bool PutPopupIcon(std::uint32_t number, const Bitmap& icon) { return PutIcon(popup_, PopupIconHeight, number, icon); }

    // Whole icons only: a partial icon at the bottom of a strip does not count.
    std::uint32_t ButtonIconCount() const { return IconCount(button_, ButtonIconHeight); }
    std::uint32_t PopupIconCount() const { return IconCount(popup_, PopupIconHeight); }

    // A strip's size in pixels (top-down, as decoded); zero before a strip is loaded.
    struct Size {
        std::int32_t width = 0;
        std::int32_t height = 0;
    };
    Size ButtonStripSize() const { return SizeOf(button_); }
    Size PopupStripSize() const { return SizeOf(popup_); }

    // The whole strip, decoded when it was not yet.
    const Bitmap& ButtonStrip() const { return Pixels(button_); }
    const Bitmap& PopupStrip() const { return Pixels(popup_); }
    // Whether both strips of this kind hold the same picture.
    bool SameButtonStrip(const IconStrips& other) const { return SamePicture(button_, other.button_); }
    bool SamePopupStrip(const IconStrips& other) const { return SamePicture(popup_, other.popup_); }

    // Writes the strip as a 24-bit bottom-up file at the stream's position (see WriteBitmapFile).
    // False, with nothing written, when there is no strip to write; a failing stream throws
    // FileError.
    bool WriteButtonStrip(Stream& stream) const { return WriteStrip(button_, stream); }
    bool WritePopupStrip(Stream& stream) const { return WriteStrip(popup_, stream); }
    const BitmapHeaders& ButtonHeaders() const { return button_.headers; }
    const BitmapHeaders& PopupHeaders() const { return popup_.headers; }

private:
    // A strip's picture: decoded, or the bytes of its file in the form a save writes, decoded
    // on first use.
    struct Picture {
        std::int32_t width = 0;
        std::int32_t height = 0;
        std::optional<CanonicalBitmapFile> file;  // none once changed, or for a file of another form
        mutable std::once_flag decoding;
        mutable Bitmap bitmap;  // with the file's palette when it had 256 colours or fewer
    };
    struct Strip {
        BitmapHeaders headers;
        std::shared_ptr<Picture> picture;  // none before a strip is loaded; shared by copies
    };

    static Status LoadStrip(Stream& stream, Strip& strip);
    static const Bitmap& Pixels(const Strip& strip);
    static Size SizeOf(const Strip& strip) { return strip.picture ? Size{strip.picture->width, strip.picture->height} : Size{}; }
    static bool SamePicture(const Strip& a, const Strip& b);
    static bool WriteStrip(const Strip& strip, Stream& stream);
    static std::uint32_t IconCount(const Strip& strip, std::int32_t iconHeight);
    static bool CutIcon(const Strip& strip, std::int32_t iconHeight, std::uint32_t number, Bitmap& out);
    static bool PutIcon(Strip& strip, std::int32_t iconHeight, std::uint32_t number, const Bitmap& icon);

    Strip button_;
    Strip popup_;
};

}  // namespace tw
