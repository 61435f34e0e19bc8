// Reads arbitrary bytes as a BMP file, with and without a size check, and writes what it read. A
// file taken as already in the written form must be exactly the encoding of what it decodes to.
//
// The same bytes are also read as the run-length data of a small picture behind headers of our
// own, so that most of the time goes to the records rather than to the headers: data that loads
// gives only colours of its table, and nothing after its end of bitmap counts.
#include "icons/BitmapFile.h"
#include "util/ByteReader.h"
#include "util/ByteWriter.h"
#include "util/MemoryStream.h"

#include <cstddef>
#include <cstdlib>
#include <cstdint>
#include <span>
#include <vector>

namespace {

constexpr std::uint32_t TableSize = 16;

// No colour of the table is black, the colour of an index past it.
std::uint32_t TableColour(std::uint32_t index) { return 0x0F0F0F * (index + 1); }

// A bottom-up file of `width` × `height` pixels whose data are `data`, 8 or 4 bits per pixel, with
// a table of TableSize colours. An image size of 0 makes the data run to the end of the file.
std::vector<std::uint8_t> RunLengthFile(std::int32_t width, std::int32_t height, bool nibbles,
                                        std::span<const std::uint8_t> data, std::uint32_t imageSize) {
    tw::ByteWriter out;
    out.PutU16Le(0x4D42);
    out.PutU32Le(0);  // file size, not read
    out.PutU32Le(0);  // reserved
    out.PutU32Le(54 + 4 * TableSize);
    out.PutU32Le(40);
    out.PutU32Le(static_cast<std::uint32_t>(width));
    out.PutU32Le(static_cast<std::uint32_t>(height));
    out.PutU16Le(1);
    out.PutU16Le(nibbles ? 4 : 8);
    out.PutU32Le(nibbles ? 2 : 1);
    out.PutU32Le(imageSize);
    out.PutZeros(8);  // resolutions
    out.PutU32Le(TableSize);
    out.PutU32Le(0);
    for (std::uint32_t i = 0; i < TableSize; ++i) out.PutU32Le(TableColour(i));
    out.PutBytes(data);
    return out.Take();
}

bool Load(const std::vector<std::uint8_t>& bytes, tw::Bitmap& bitmap) {
    tw::MemoryStream file(bytes);
    tw::Palette palette;
    return tw::LoadBitmapFile(file, bitmap, palette, 0, 0).Ok();
}

void CheckRunLength(const std::uint8_t* input, std::size_t size) {
    if (size < 2) return;
    const std::int32_t width = 1 + (input[0] & 0x3F);
    const std::int32_t height = 1 + (input[1] & 0x1F);
    const bool nibbles = (input[0] & 0x40) != 0;
    const std::vector<std::uint8_t> data(input + 2, input + size);

    tw::Bitmap bitmap;
    if (!Load(RunLengthFile(width, height, nibbles, data, 0), bitmap)) return;
    if (!bitmap.IsWellFormed() || bitmap.width != width || bitmap.height != height) __builtin_trap();
    for (std::uint32_t pixel : bitmap.pixels) {
        const bool inTable = pixel % 0x0F0F0F == 0 && pixel != 0 && pixel / 0x0F0F0F <= TableSize;
        // Only 8-bit indices reach past the table, and those show black.
        if (!inTable && (nibbles || pixel != 0)) __builtin_trap();
    }

    // The data read with its exact length given, and with bytes after it: the same picture.
    tw::Bitmap again;
    const auto exact = static_cast<std::uint32_t>(data.size());
    if (!Load(RunLengthFile(width, height, nibbles, data, exact), again) || again != bitmap) __builtin_trap();
    std::vector<std::uint8_t> longer = data;
    longer.insert(longer.end(), {0x05, 0x01, 0x00});
    if (!Load(RunLengthFile(width, height, nibbles, longer, 0), again) || again != bitmap) __builtin_trap();
    // One byte less: the end of bitmap is either still there, with the same picture, or gone.
    const std::span<const std::uint8_t> shorter(data.data(), data.size() - 1);
    if (Load(RunLengthFile(width, height, nibbles, shorter, 0), again) && again != bitmap) __builtin_trap();
}

// Run-length data declares a picture of up to Bitmap::MaxPixels in a few bytes. Decoding,
// writing and reading such a picture again takes seconds under the sanitizers (the memory stream
// that the writer fills grows in small steps) and reaches no code that a smaller picture does not,
// so whole files that declare one are left out; the records are fuzzed on small pictures below.
bool LargeRunLengthPicture(const std::uint8_t* data, std::size_t size) {
    if (size < 34) return false;
    const auto width = static_cast<std::int32_t>(tw::LoadU32Le(data + 18));
    const auto height = static_cast<std::int32_t>(tw::LoadU32Le(data + 22));
    const std::uint32_t compression = tw::LoadU32Le(data + 30);
    return (compression == 1 || compression == 2) &&
           std::abs(std::int64_t{width}) * std::abs(std::int64_t{height}) > (std::int64_t{1} << 16);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckRunLength(data, size);
    if (LargeRunLengthPicture(data, size)) return 0;

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
