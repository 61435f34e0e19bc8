#pragma once

#include "icons/Bitmap.h"
#include "icons/BitmapFile.h"
#include "util/Stream.h"

#include <cstdint>

namespace tw {

// The two job-icon strips in memory. Each career has one icon in each strip, stacked from the
// top down and as wide as the strip; a career's resource id is its icon number in both.
class IconStrips {
public:
    static constexpr std::int32_t ButtonIconHeight = 22;
    static constexpr std::int32_t PopupIconHeight = 63;

    // Read the whole strip file from its start (see LoadBitmapFile, without a size check) and
    // keep its two headers. False for a file that cannot be read as a bitmap; the strip is then
    // left as it was.
    bool LoadButtonStrip(Stream& stream) { return LoadStrip(stream, button_); }
    bool LoadPopupStrip(Stream& stream) { return LoadStrip(stream, popup_); }

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

    const Bitmap& ButtonStrip() const { return button_.bitmap; }
    const Bitmap& PopupStrip() const { return popup_.bitmap; }
    const BitmapHeaders& ButtonHeaders() const { return button_.headers; }
    const BitmapHeaders& PopupHeaders() const { return popup_.headers; }

private:
    struct Strip {
        BitmapHeaders headers;
        Bitmap bitmap;  // with the file's palette when it had 256 colours or fewer
    };

    static bool LoadStrip(Stream& stream, Strip& strip);
    static std::uint32_t IconCount(const Strip& strip, std::int32_t iconHeight);
    static bool CutIcon(const Strip& strip, std::int32_t iconHeight, std::uint32_t number, Bitmap& out);
    static bool PutIcon(Strip& strip, std::int32_t iconHeight, std::uint32_t number, const Bitmap& icon);

    Strip button_;
    Strip popup_;
};

}  // namespace tw
