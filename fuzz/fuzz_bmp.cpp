// Reads arbitrary bytes as a BMP file, with and without a size check, and writes what it read. A
// file taken as already in the written form must be exactly the encoding of what it decodes to.
#include "icons/BitmapFile.h"
#include "util/ByteReader.h"
#include "util/MemoryStream.h"

#include <cstddef>
#include <cstdlib>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    tw::MemoryStream file(bytes);
    tw::Bitmap bitmap;
    tw::Palette palette;
    if (tw::LoadBitmapFile(file, bitmap, palette, 0, 0)) {
        if (!bitmap.IsWellFormed() || palette != bitmap.palette) __builtin_trap();
        // Written as 24 bits, it must read back as the same pixels.
        tw::MemoryStream out;
        if (!tw::SaveBitmapFile(out, bitmap)) __builtin_trap();
        tw::Bitmap again;
        tw::Palette againPalette;
        if (!tw::LoadBitmapFile(out, again, againPalette, bitmap.width, bitmap.height)) __builtin_trap();
        if (again.pixels != bitmap.pixels) __builtin_trap();
    }
    if (const auto canonical = tw::ReadCanonicalBitmapFile(file)) {
        const std::vector<std::uint8_t> held(canonical->Bytes().begin(), canonical->Bytes().end());
        if (held != bytes || !tw::LoadBitmapFile(file, bitmap, palette, 0, 0)) __builtin_trap();
        if (tw::DecodeCanonicalRows(*canonical, 0, canonical->height) != bitmap) __builtin_trap();
        if (tw::EncodeBitmapFile(bitmap) != held) __builtin_trap();
    }

    // The file's own stored size as the required one, so that the check passes where it can.
    if (size >= 26) {
        const auto width = static_cast<std::int32_t>(tw::LoadU32Le(data + 18));
        const auto height = static_cast<std::int32_t>(tw::LoadU32Le(data + 22));
        tw::Bitmap checked;
        tw::Palette checkedPalette;
        if (tw::LoadBitmapFile(file, checked, checkedPalette, width, height) &&
            (checked.width != width || static_cast<std::int64_t>(checked.height) != std::abs(std::int64_t{height})))
            __builtin_trap();
    }
    tw::Bitmap icon;
    tw::Palette iconPalette;
    (void)tw::LoadBitmapFile(file, icon, iconPalette, 84, 63);
    return 0;
}
