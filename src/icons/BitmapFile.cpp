#include "icons/BitmapFile.h"

#include "util/BlockWriter.h"
#include "util/ByteReader.h"
#include "util/ByteWriter.h"
#include "util/FileError.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <new>
#include <optional>
#include <span>
#include <vector>

namespace tw {
namespace {

constexpr std::uint16_t BitmapSignature = 0x4D42;  // "BM"
constexpr std::uint32_t CompressionNone = 0;
constexpr std::uint32_t CompressionRle8 = 1;
constexpr std::uint32_t CompressionRle4 = 2;
constexpr std::uint32_t CompressionBitFields = 3;

// No bitmap we accept needs more than this after its file header: the largest pixel data
// (MaxPixels at 4 bytes, or 1-bit rows padded to 4 bytes), the largest header and colour table,
// and some slack for what writers leave after the pixels.
constexpr std::uint64_t MaxBodySize = Bitmap::MaxPixels * 4 + 1024 * 1024;
// What comes before the pixels of any bitmap we read a colour table of: the longest information
// header, the three masks and 256 colours.
constexpr std::size_t MaxHeadSize = 124 + 12 + 4 * 256;
// The pixel rows are read and decoded about this many bytes at a time.
constexpr std::size_t RowBlockSize = 256 * 1024;

// One colour of a bit-field pixel: where its bits lie and how many there are.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(std::uint32_t m) : mask(m) {
        if (mask == 0) return;
        shift = std::countr_zero(mask);
        bits = static_cast<int>(std::bit_width(mask >> shift));
    }

    // The channel's value scaled to 8 bits: wider channels keep their top bits, narrower ones
    // repeat their bits (so 5-bit 31 becomes 255 and 0 stays 0).
    std::uint32_t Value(std::uint32_t pixel) const {
        if (bits == 0) return 0;
        const std::uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8) return (v >> (bits - 8)) & 0xFF;
        std::uint32_t result = 0;
        int filled = 0;
        while (filled < 8) {
            result = (result << bits) | v;
            filled += bits;
        }
        return (result >> (filled - 8)) & 0xFF;
    }
};

// What the information header says, checked.
struct Layout {
    std::int32_t width = 0;
    std::int32_t height = 0;  // as stored; negative for rows stored top-down
    std::uint32_t rows = 0;   // |height|
    std::uint16_t bitsPerPixel = 0;
    std::uint32_t compression = 0;
    std::uint64_t colourCount = 0;
    std::uint64_t tableOffset = 0;  // from the start of the information header
    std::uint64_t pixelOffset = 0;
    std::uint64_t rowBytes = 0;
    std::uint64_t runLengthBytes = 0;  // the run-length data after pixelOffset, when compressed
    std::uint32_t masks[3] = {0, 0, 0};  // red, green, blue

    bool RunLength() const { return compression == CompressionRle8 || compression == CompressionRle4; }
};

Error Bad(std::string why) { return Failure(std::move(why), ErrorKind::Damaged); }

bool KnownInfoHeaderSize(std::uint32_t size) {
    // The 40-byte header and its later, longer forms, which begin with the same fields.
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

// Reads and checks the information header at the start of `head`, the first bytes of the file
// after its file header (`bodySize` bytes in all). Every value is checked before it is used to
// find or size anything.
Expected<Layout> ReadLayout(std::span<const std::uint8_t> head, std::uint64_t bodySize,
                                 std::int32_t requiredWidth, std::int32_t requiredHeight) {
    ByteReader reader(head);
    const std::uint32_t headerSize = reader.U32Le();
    Layout layout;
    layout.width = reader.I32Le();
    layout.height = reader.I32Le();
    reader.U16Le();  // planes
    layout.bitsPerPixel = reader.U16Le();
    layout.compression = reader.U32Le();
    // Image size: uncompressed rows are sized from width and depth instead; run-length data is
    // this long.
    const std::uint32_t imageSize = reader.U32Le();
    reader.Skip(8);  // resolutions
    const std::uint32_t coloursUsed = reader.U32Le();
    reader.U32Le();  // colours important
    if (!reader.Ok()) return Bad("the information header is cut off");

    // The stored values must match exactly, so a top-down file never passes a size check.
    if (requiredWidth != 0 && requiredHeight != 0 &&
        (layout.width != requiredWidth || layout.height != requiredHeight))
        return Failure("the bitmap is " + std::to_string(layout.width) + " x " + std::to_string(layout.height) +
                           " pixels, not " + std::to_string(requiredWidth) + " x " + std::to_string(requiredHeight),
                       ErrorKind::Refused);

    if (!KnownInfoHeaderSize(headerSize) || headerSize > bodySize)
        return Bad("an information header of " + std::to_string(headerSize) + " bytes is not one of a bitmap");
    if (layout.width <= 0 || layout.height == 0 || layout.height == std::numeric_limits<std::int32_t>::min())
        return Bad("a size of " + std::to_string(layout.width) + " x " + std::to_string(layout.height) + " pixels");
    layout.rows = layout.height < 0 ? static_cast<std::uint32_t>(-layout.height)
                                    : static_cast<std::uint32_t>(layout.height);
    if (static_cast<std::uint64_t>(layout.width) * layout.rows > Bitmap::MaxPixels)
        return Bad("a size of " + std::to_string(layout.width) + " x " + std::to_string(layout.rows) + " pixels is too large");

    const Error unsupported = Failure(std::to_string(layout.bitsPerPixel) + " bits per pixel with compression " +
                                          std::to_string(layout.compression) + " cannot be read",
                                      ErrorKind::Damaged);
    switch (layout.bitsPerPixel) {
        case 1:
        case 24:
            if (layout.compression != CompressionNone) return unsupported;
            break;
        case 4:
            if (layout.compression != CompressionNone && layout.compression != CompressionRle4) return unsupported;
            break;
        case 8:
            if (layout.compression != CompressionNone && layout.compression != CompressionRle8) return unsupported;
            break;
        case 16:
        case 32:
            if (layout.compression != CompressionNone && layout.compression != CompressionBitFields) return unsupported;
            break;
        default:
            return unsupported;
    }

    const bool indexed = layout.bitsPerPixel <= 8;
    layout.colourCount = coloursUsed != 0 ? coloursUsed : (std::uint64_t{1} << layout.bitsPerPixel);
    // An indexed bitmap's table can never usefully hold more than 256 colours.
    if (indexed && layout.colourCount > 256)
        return Bad("a colour table of " + std::to_string(layout.colourCount) + " colours");

    // The masks follow a 40-byte header and are part of the longer ones; either way they are at
    // offset 40.
    const bool bitFields = layout.compression == CompressionBitFields;
    if (bitFields) {
        ByteReader masks(head, 40);
        for (std::uint32_t& mask : layout.masks) mask = masks.U32Le();
        if (!masks.Ok()) return Bad("the colour masks are cut off");
    } else if (layout.bitsPerPixel == 16) {
        layout.masks[0] = 0x7C00;
        layout.masks[1] = 0x03E0;
        layout.masks[2] = 0x001F;
    } else if (layout.bitsPerPixel == 32) {
        layout.masks[0] = 0x00FF0000;
        layout.masks[1] = 0x0000FF00;
        layout.masks[2] = 0x000000FF;
    }

    layout.tableOffset = headerSize + (bitFields && headerSize == 40 ? 12u : 0u);
    const std::uint64_t tableEntries = indexed ? layout.colourCount : coloursUsed;
    layout.pixelOffset = layout.tableOffset + 4 * tableEntries;
    if (layout.pixelOffset > bodySize) return Bad("the colour table runs past the end of the file");

    if (layout.RunLength()) {
        // Windows compresses only bottom-up bitmaps and refuses a top-down one that claims to
        // be compressed; so do we.
        if (layout.height < 0) return Bad("compressed rows stored top-down");
        // The data is as long as the image size says, or, when a writer left that 0, the rest of
        // the file; whether it holds the whole picture shows only while it is decoded.
        const std::uint64_t remaining = bodySize - layout.pixelOffset;
        if (imageSize > remaining) return Bad("the compressed pixels run past the end of the file");
        layout.runLengthBytes = imageSize != 0 ? imageSize : remaining;
        return layout;
    }

    // Every row is padded to 4 bytes, except that the last row's padding may be missing.
    const std::uint64_t rowBits = static_cast<std::uint64_t>(layout.bitsPerPixel) * static_cast<std::uint64_t>(layout.width);
    layout.rowBytes = (rowBits + 31) / 32 * 4;
    const std::uint64_t pixelBytes = layout.rowBytes * (layout.rows - 1) + (rowBits + 7) / 8;
    if (pixelBytes > bodySize - layout.pixelOffset) return Bad("the pixels run past the end of the file");
    return layout;
}

// The colour table lies within `head` whenever it has 256 colours or fewer (MaxHeadSize).
Palette ReadPalette(std::span<const std::uint8_t> head, const Layout& layout) {
    Palette palette;
    if (layout.colourCount > 256) return palette;
    palette.colors.reserve(static_cast<std::size_t>(layout.colourCount));
    for (std::uint64_t i = 0; i < layout.colourCount; ++i) {
        // Blue, green, red, reserved.
        const std::uint8_t* entry = head.data() + layout.tableOffset + 4 * i;
        palette.colors.push_back(Palette::Color{entry[2], entry[1], entry[0]});
    }
    return palette;
}

std::uint32_t Rgb(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    return (red << 16) | (green << 8) | blue;
}

// Turns stored pixel rows into 0x00RRGGBB values, one row at a time.
class RowDecoder {
public:
    RowDecoder(const Layout& layout, const Palette& palette)
        : layout_(layout), red_(layout.masks[0]), green_(layout.masks[1]), blue_(layout.masks[2]) {
        colours_.reserve(palette.colors.size());
        for (const Palette::Color& c : palette.colors) colours_.push_back(Rgb(c.red, c.green, c.blue));
        plain32_ = layout.masks[0] == 0x00FF0000 && layout.masks[1] == 0x0000FF00 && layout.masks[2] == 0x000000FF;
    }

    void Decode(const std::uint8_t* row, std::uint32_t* out) const {
        const auto width = static_cast<std::size_t>(layout_.width);
        switch (layout_.bitsPerPixel) {
            case 1:
            case 4:
            case 8: {
                const unsigned bits = layout_.bitsPerPixel;
                for (std::size_t x = 0; x < width; ++x) {
                    const std::size_t bit = x * bits;
                    const auto shift = static_cast<unsigned>(8 - bits - bit % 8);
                    const std::uint32_t index = (std::uint32_t{row[bit / 8]} >> shift) & ((1u << bits) - 1);
                    // An index past a short colour table shows black.
                    out[x] = index < colours_.size() ? colours_[index] : 0;
                }
                break;
            }
            case 16:
                for (std::size_t x = 0; x < width; ++x) out[x] = Channels(LoadU16Le(row + 2 * x));
                break;
            case 24:
                // Four bytes at a time, the fourth being the next pixel's blue: all but the last
                // pixel, whose fourth byte may lie past the row.
                for (std::size_t x = 0; x + 1 < width; ++x) out[x] = LoadU32Le(row + 3 * x) & 0x00FFFFFF;
                out[width - 1] = Rgb(row[3 * width - 1], row[3 * width - 2], row[3 * width - 3]);
                break;
            case 32:
                if (plain32_) {
                    for (std::size_t x = 0; x < width; ++x) out[x] = LoadU32Le(row + 4 * x) & 0x00FFFFFF;
                } else {
                    for (std::size_t x = 0; x < width; ++x) out[x] = Channels(LoadU32Le(row + 4 * x));
                }
                break;
            default:
                break;
        }
    }

private:
    std::uint32_t Channels(std::uint32_t pixel) const {
        return Rgb(red_.Value(pixel), green_.Value(pixel), blue_.Value(pixel));
    }

    const Layout& layout_;
    std::vector<std::uint32_t> colours_;
    Channel red_;
    Channel green_;
    Channel blue_;
    bool plain32_ = false;
};

// Reads the pixel rows from `stream`, whose body (the file after its file header) starts at
// BitmapFileHeaderSize and holds `bodySize` bytes, a block of rows at a time. False when the
// stream gives fewer bytes than the layout was checked against.
bool DecodePixels(Stream& stream, std::uint64_t bodySize, const Layout& layout, const Palette& palette,
                  Bitmap& bitmap) {
    bitmap = Bitmap(layout.width, static_cast<std::int32_t>(layout.rows));
    bitmap.palette = palette;
    const RowDecoder decoder(layout, palette);
    const auto width = static_cast<std::size_t>(layout.width);
    const auto rowBytes = static_cast<std::size_t>(layout.rowBytes);
    const std::size_t rowsPerBlock = std::max<std::size_t>(1, RowBlockSize / rowBytes);
    std::vector<std::uint8_t> block(rowsPerBlock * rowBytes);
    stream.Seek(static_cast<std::int64_t>(BitmapFileHeaderSize + layout.pixelOffset));
    for (std::uint32_t first = 0; first < layout.rows;) {
        const auto count = static_cast<std::uint32_t>(std::min<std::size_t>(rowsPerBlock, layout.rows - first));
        // The last row's padding may be missing from the file.
        const std::uint64_t at = layout.pixelOffset + static_cast<std::uint64_t>(rowBytes) * first;
        const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(std::uint64_t{count} * rowBytes, bodySize - at));
        if (stream.Read(std::span<std::uint8_t>(block.data(), wanted)) != wanted) return false;
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint32_t stored = first + i;
            const std::uint32_t y = layout.height < 0 ? stored : layout.rows - 1 - stored;
            decoder.Decode(block.data() + static_cast<std::size_t>(i) * rowBytes,
                           bitmap.pixels.data() + static_cast<std::size_t>(y) * width);
        }
        first += count;
    }
    return true;
}

// Run-length data (8 or 4 bits per pixel), stored row by row from the bottom. Each record
// starts with two bytes:
//   u8 count > 0, u8 value     a run of `count` pixels: with 8 bits all of index `value`; with 4
//                              bits alternately its high and its low nibble, the high one first
//   0, 0                       end of line: on at the start of the next row
//   0, 1                       end of bitmap
//   0, 2, u8 right, u8 up      delta: on by `right` columns and `up` rows, the column kept
//   0, n (3 to 255)            absolute run: the next n pixels as stored (n bytes with 8 bits, n
//                              nibbles high first with 4), padded to an even number of bytes
// What the data never sets (skipped by a delta or an early end of line or of bitmap) keeps
// colour index 0, the first entry of the colour table, as Windows leaves it: it decodes into
// zeroed indices. The data must end with its end of bitmap, and no record may reach past its row
// or the picture: such data is damaged and fails the read rather than being cut to fit.
class RunLengthDecoder {
public:
    RunLengthDecoder(const Layout& layout, const Palette& palette, Bitmap& bitmap)
        : width_(static_cast<std::uint32_t>(layout.width)),
          rows_(layout.rows),
          nibbles_(layout.compression == CompressionRle4),
          bitmap_(bitmap) {
        for (const Palette::Color& c : palette.colors) colours_.push_back(Rgb(c.red, c.green, c.blue));
        std::fill(bitmap_.pixels.begin(), bitmap_.pixels.end(), Colour(0));
    }

    bool Decode(std::span<const std::uint8_t> data) {
        ByteReader in(data);
        while (true) {
            const std::uint8_t count = in.U8();
            const std::uint8_t value = in.U8();
            if (!in.Ok()) return false;  // no end of bitmap, or a record cut short
            if (count != 0) {
                if (!Fits(count)) return false;
                for (std::uint32_t i = 0; i < count; ++i) Put(nibbles_ ? Nibble(value, i) : value);
                continue;
            }
            switch (value) {
                case 0:  // end of line
                    if (row_ >= rows_) return false;
                    x_ = 0;
                    ++row_;
                    break;
                case 1:  // end of bitmap
                    return true;
                case 2: {  // delta
                    const std::uint8_t right = in.U8();
                    const std::uint8_t up = in.U8();
                    // It must land inside the picture: on a row that exists, at most at its end.
                    if (!in.Ok() || right > width_ - x_ || row_ >= rows_ || up >= rows_ - row_) return false;
                    x_ += right;
                    row_ += up;
                    break;
                }
                default: {  // absolute run of `value` pixels
                    const std::size_t bytes = nibbles_ ? (value + 1u) / 2 : value;
                    const std::span<const std::uint8_t> run = in.Bytes(bytes + bytes % 2);
                    if (!in.Ok() || !Fits(value)) return false;
                    for (std::uint32_t i = 0; i < value; ++i) Put(nibbles_ ? Nibble(run[i / 2], i) : run[i]);
                    break;
                }
            }
        }
    }

private:
    // Whether `count` more pixels fit on the current row, which must be one of the picture's.
    bool Fits(std::uint32_t count) const { return row_ < rows_ && count <= width_ - x_; }

    static std::uint8_t Nibble(std::uint8_t pair, std::uint32_t i) {
        return static_cast<std::uint8_t>(i % 2 == 0 ? pair >> 4 : pair & 0x0F);
    }

    // An index past a short colour table shows black, as in uncompressed rows.
    std::uint32_t Colour(std::uint8_t index) const { return index < colours_.size() ? colours_[index] : 0; }

    void Put(std::uint8_t index) {
        // Stored rows count from the bottom of the picture.
        const std::size_t y = rows_ - 1 - row_;
        bitmap_.pixels[y * width_ + x_] = Colour(index);
        ++x_;
    }

    std::uint32_t width_;
    std::uint32_t rows_;
    bool nibbles_;
    Bitmap& bitmap_;
    std::vector<std::uint32_t> colours_;
    std::uint32_t x_ = 0;
    std::uint32_t row_ = 0;  // from the bottom; rows_ once an end of line has left the last one
};

// Reads the run-length data from `stream` whole and decodes it. False for data that the stream
// does not hold or that is damaged.
bool DecodeRunLength(Stream& stream, const Layout& layout, const Palette& palette, Bitmap& bitmap) {
    std::vector<std::uint8_t> data(static_cast<std::size_t>(layout.runLengthBytes));
    stream.Seek(static_cast<std::int64_t>(BitmapFileHeaderSize + layout.pixelOffset));
    if (stream.Read(data) != data.size()) return false;
    bitmap = Bitmap(layout.width, static_cast<std::int32_t>(layout.rows));
    bitmap.palette = palette;
    return RunLengthDecoder(layout, palette, bitmap).Decode(data);
}

}  // namespace

Status LoadBitmapFile(Stream& stream, Bitmap& out, Palette& outPalette, std::int32_t requiredWidth,
                      std::int32_t requiredHeight, BitmapHeaders* headers) {
    BitmapHeaders read;
    Bitmap bitmap;
    try {
        stream.Seek(0);
        const bool whole = stream.Read(read.file) == read.file.size();
        if (LoadU16Le(read.file.data()) != BitmapSignature) return Bad("not a bitmap file (it does not begin with \"BM\")");
        if (!whole) return Bad("the file is cut off");
        const std::uint64_t length = stream.Length();
        if (length < BitmapFileHeaderSize) return Bad("the file is cut off");
        const std::uint64_t bodySize = length - BitmapFileHeaderSize;
        if (bodySize > MaxBodySize) return Bad("too large (" + std::to_string(length) + " bytes)");
        // The headers and the colour table first; the pixels are read as they are decoded.
        std::vector<std::uint8_t> head(static_cast<std::size_t>(std::min<std::uint64_t>(bodySize, MaxHeadSize)));
        stream.Seek(static_cast<std::int64_t>(BitmapFileHeaderSize));
        if (stream.Read(head) != head.size()) return Bad("the file is cut off");

        Expected<Layout> layout = ReadLayout(head, bodySize, requiredWidth, requiredHeight);
        if (!layout) return std::move(layout).Err();
        std::copy_n(head.begin(), BitmapInfoHeaderSize, read.info.begin());
        const Palette palette = ReadPalette(head, *layout);
        if (!(layout->RunLength() ? DecodeRunLength(stream, *layout, palette, bitmap)
                                  : DecodePixels(stream, bodySize, *layout, palette, bitmap)))
            return Bad(layout->RunLength() ? "the compressed pixels are damaged" : "the pixels are cut off");
    } catch (const FileError& e) {
        return Failure(e.what(), ErrorKind::System);
    } catch (const std::bad_alloc&) {
        return Failure("not enough memory", ErrorKind::System);
    }
    outPalette = bitmap.palette;
    out = std::move(bitmap);
    if (headers != nullptr) *headers = read;
    return {};
}

namespace {

// What a 24-bit bottom-up file of a bitmap holds besides its pixels: its headers and its row
// length. None for a bitmap that is not well formed, or too large for the file's 32-bit sizes.
struct Encoding {
    std::array<std::uint8_t, BitmapFileHeaderSize + BitmapInfoHeaderSize> headers{};
    std::size_t rowBytes = 0;
    std::uint64_t fileSize = 0;
};

std::optional<Encoding> EncodingOf(std::int32_t pictureWidth, std::int32_t pictureHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0 ||
        static_cast<std::uint64_t>(pictureWidth) * static_cast<std::uint64_t>(pictureHeight) > Bitmap::MaxPixels)
        return std::nullopt;
    const auto width = static_cast<std::uint32_t>(pictureWidth);
    const auto height = static_cast<std::uint32_t>(pictureHeight);
    // Rows of blue, green, red, padded to a multiple of 4 bytes.
    const std::uint64_t rowBytes = (24ull * width + 31) / 32 * 32 / 8;
    const std::uint64_t imageSize = rowBytes * height;
    const std::uint64_t fileSize = BitmapFileHeaderSize + BitmapInfoHeaderSize + imageSize;
    if (fileSize > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;

    Encoding encoding;
    encoding.rowBytes = static_cast<std::size_t>(rowBytes);
    encoding.fileSize = fileSize;
    ByteWriter out;
    // File header: "BM", file size, two reserved, pixel data offset.
    out.PutU16Le(BitmapSignature);
    out.PutU32Le(static_cast<std::uint32_t>(fileSize));
    out.PutU16Le(0);
    out.PutU16Le(0);
    out.PutU32Le(static_cast<std::uint32_t>(BitmapFileHeaderSize + BitmapInfoHeaderSize));
    // Information header: size, width, height (bottom-up), planes, bits per pixel, compression,
    // image size, two resolutions, colours used, colours important.
    out.PutU32Le(static_cast<std::uint32_t>(BitmapInfoHeaderSize));
    out.PutU32Le(width);
    out.PutU32Le(height);
    out.PutU16Le(1);
    out.PutU16Le(24);
    out.PutU32Le(CompressionNone);
    out.PutU32Le(static_cast<std::uint32_t>(imageSize));
    out.PutU32Le(0);
    out.PutU32Le(0);
    out.PutU32Le(0);
    out.PutU32Le(0);
    std::copy(out.Bytes().begin(), out.Bytes().end(), encoding.headers.begin());
    return encoding;
}

std::optional<Encoding> EncodingOf(const Bitmap& bitmap) {
    if (!bitmap.IsWellFormed()) return std::nullopt;
    return EncodingOf(bitmap.width, bitmap.height);
}

// Row `y` of the bitmap as the file stores it, padding included.
void EncodeRow(const Bitmap& bitmap, std::int32_t y, std::uint8_t* out, std::size_t rowBytes) {
    const std::uint32_t* pixels = bitmap.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(bitmap.width);
    const auto width = static_cast<std::size_t>(bitmap.width);
    // Four bytes at a time, the fourth overwritten by the next pixel: all but the last pixel.
    for (std::size_t x = 0; x + 1 < width; ++x) StoreU32Le(out + 3 * x, pixels[x]);
    const std::uint32_t last = pixels[width - 1];
    out[3 * width - 3] = static_cast<std::uint8_t>(last);
    out[3 * width - 2] = static_cast<std::uint8_t>(last >> 8);
    out[3 * width - 1] = static_cast<std::uint8_t>(last >> 16);
    std::fill(out + 3 * width, out + rowBytes, std::uint8_t{0});
}

}  // namespace

std::optional<std::vector<std::uint8_t>> EncodeBitmapFile(const Bitmap& bitmap) {
    const std::optional<Encoding> encoding = EncodingOf(bitmap);
    if (!encoding) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(static_cast<std::size_t>(encoding->fileSize));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    std::copy(encoding->headers.begin(), encoding->headers.end(), bytes.begin());
    std::uint8_t* row = bytes.data() + encoding->headers.size();
    for (std::int32_t y = bitmap.height - 1; y >= 0; --y, row += encoding->rowBytes)
        EncodeRow(bitmap, y, row, encoding->rowBytes);
    return bytes;
}

bool WriteBitmapFile(Stream& stream, const Bitmap& bitmap) {
    const std::optional<Encoding> encoding = EncodingOf(bitmap);
    if (!encoding) return false;
    BlockWriter out(stream, std::max(BlockWriter::DefaultBlockSize, 2 * encoding->rowBytes));
    out.Put(encoding->headers);
    for (std::int32_t y = bitmap.height - 1; y >= 0; --y)
        EncodeRow(bitmap, y, out.Room(encoding->rowBytes), encoding->rowBytes);
    out.Finish();
    return true;
}

bool SaveBitmapFile(Stream& stream, const Bitmap& bitmap) {
    if (!EncodingOf(bitmap)) return false;
    try {
        stream.Truncate(0);
        stream.Seek(0);
        return WriteBitmapFile(stream, bitmap);
    } catch (const FileError&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

std::optional<CanonicalBitmapFile> ReadCanonicalBitmapFile(Stream& stream) {
    std::array<std::uint8_t, BitmapFileHeaderSize + BitmapInfoHeaderSize> head{};
    stream.Seek(0);
    if (stream.Read(head) != head.size()) return std::nullopt;
    ByteReader sizes(head, BitmapFileHeaderSize + 4);
    const std::int32_t width = sizes.I32Le();
    const std::int32_t height = sizes.I32Le();
    const std::optional<Encoding> encoding = EncodingOf(width, height);
    if (!encoding || stream.Length() != encoding->fileSize || head != encoding->headers) return std::nullopt;

    CanonicalBitmapFile file;
    file.width = width;
    file.height = height;
    file.size = static_cast<std::size_t>(encoding->fileSize);
    std::shared_ptr<std::uint8_t[]> bytes = std::make_shared_for_overwrite<std::uint8_t[]>(file.size);
    std::copy(head.begin(), head.end(), bytes.get());
    const std::span<std::uint8_t> pixels(bytes.get() + head.size(), file.size - head.size());
    if (stream.Read(pixels) != pixels.size()) return std::nullopt;
    // Padding other than zeros would not be written again.
    const std::size_t used = 3 * static_cast<std::size_t>(width);
    for (std::size_t row = 0; row < pixels.size() && used < encoding->rowBytes; row += encoding->rowBytes)
        if (std::any_of(pixels.begin() + static_cast<std::ptrdiff_t>(row + used),
                        pixels.begin() + static_cast<std::ptrdiff_t>(row + encoding->rowBytes),
                        [](std::uint8_t b) { return b != 0; }))
            return std::nullopt;
    std::copy_n(head.begin(), BitmapFileHeaderSize, file.headers.file.begin());
    std::copy_n(head.begin() + BitmapFileHeaderSize, BitmapInfoHeaderSize, file.headers.info.begin());
    file.bytes = std::move(bytes);
    return file;
}

Bitmap DecodeCanonicalRows(const CanonicalBitmapFile& file, std::int32_t first, std::int32_t count) {
    const std::span<const std::uint8_t> body = file.Bytes().subspan(BitmapFileHeaderSize);
    const Expected<Layout> layout = ReadLayout(body, body.size(), 0, 0);
    Bitmap bitmap;
    if (!layout || first < 0 || count <= 0 || first + count > file.height) return bitmap;
    bitmap.width = layout->width;
    bitmap.height = count;
    bitmap.pixels.resize(static_cast<std::size_t>(layout->width) * static_cast<std::size_t>(count));
    const RowDecoder decoder(*layout, Palette{});
    for (std::int32_t y = 0; y < count; ++y) {
        // Bottom-up: the picture's top row is stored last.
        const auto stored = static_cast<std::uint64_t>(file.height - 1 - (first + y));
        decoder.Decode(body.data() + layout->pixelOffset + stored * layout->rowBytes,
                       bitmap.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(layout->width));
    }
    return bitmap;
}

}  // namespace tw
