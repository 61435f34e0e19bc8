#pragma once

#include "icons/Bitmap.h"
#include "icons/Palette.h"
#include "util/Error.h"
#include "util/Stream.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace tw {

// Windows bitmap (BMP) files.
//
// Layout (little-endian): a 14-byte file header ("BM", u32 file size, two u16 reserved, u32
// pixel data offset), an information header of at least 40 bytes (u32 size, i32 width, i32
// height (negative: rows stored top-down), u16 planes, u16 bits per pixel, u32 compression,
// u32 image size, two i32 resolutions, u32 colours used, u32 colours important), the three
// colour masks when the compression is 3 (bit fields), a colour table of 4-byte entries (blue,
// green, red, 0), then the pixel rows, each padded to a multiple of 4 bytes, or, when the
// compression is 1 or 2, run-length data of `image size` bytes (see LoadBitmapFile).

constexpr std::size_t BitmapFileHeaderSize = 14;
constexpr std::size_t BitmapInfoHeaderSize = 40;

// The two headers of a bitmap file as read: the file header and the first 40 bytes of the
// information header.
struct BitmapHeaders {
    std::array<std::uint8_t, BitmapFileHeaderSize> file{};
    std::array<std::uint8_t, BitmapInfoHeaderSize> info{};
    bool operator==(const BitmapHeaders&) const = default;
};

// Reads the whole bitmap file from the start of `stream` into `out` and its palette (empty when
// the file has more than 256 colours) into `outPalette`. When both `requiredWidth` and
// `requiredHeight` are non-zero the stored width and height must equal them exactly, so a file
// stored top-down (negative height) fails the check. Without a check a top-down file loads with
// its rows in the right order.
//
// Uncompressed files of 1, 4, 8, 16, 24 and 32 bits per pixel are read, the last two also with
// bit fields, and run-length compressed ones of 8 bits (compression 1) and 4 bits (compression 2)
// stored bottom-up; pixels that the run-length data skips show colour 0 of the table. Other
// encodings are refused. Fails, saying what was found, for anything that is not such a file, for
// absurd sizes, for colour tables or pixels running past the end, for damaged run-length data
// (a run past its row, a delta past the picture, no end of bitmap) and for a size other than the
// required one; then `out`, `outPalette` and `headers` are left as they were. `headers`, when
// given, receives the two headers as read.
Status LoadBitmapFile(Stream& stream, Bitmap& out, Palette& outPalette, std::int32_t requiredWidth,
                      std::int32_t requiredHeight, BitmapHeaders* headers = nullptr);

// Writes `bitmap` over the whole of `stream` as an uncompressed 24-bit bottom-up file with no
// colour table. False, with the stream left as it was, for a bitmap that is not well formed;
// false also when the stream cannot be written.
bool SaveBitmapFile(Stream& stream, const Bitmap& bitmap);
// The bytes SaveBitmapFile writes; none for a bitmap that is not well formed or too large.
std::optional<std::vector<std::uint8_t>> EncodeBitmapFile(const Bitmap& bitmap);
// Writes those bytes at the stream's position, encoding them a block at a time. False, with
// nothing written, for a bitmap that is not well formed or too large; a failing stream throws
// FileError.
bool WriteBitmapFile(Stream& stream, const Bitmap& bitmap);

// A bitmap file held whole in memory that is exactly what WriteBitmapFile writes for the picture
// it holds: its bytes can be written again as they are, and its rows decoded only when needed.
struct CanonicalBitmapFile {
    BitmapHeaders headers;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::shared_ptr<const std::uint8_t[]> bytes;
    std::size_t size = 0;

    std::span<const std::uint8_t> Bytes() const { return {bytes.get(), size}; }
};
// Reads the whole of `stream` when it is such a file. nullopt for any other file, which
// LoadBitmapFile then reads as it reads every file; a failing stream throws FileError.
std::optional<CanonicalBitmapFile> ReadCanonicalBitmapFile(Stream& stream);
// Rows `first` to `first + count - 1` (counted from the top) of such a file, decoded as
// LoadBitmapFile decodes them; the rows must lie within the picture.
Bitmap DecodeCanonicalRows(const CanonicalBitmapFile& file, std::int32_t first, std::int32_t count);

}  // namespace tw
