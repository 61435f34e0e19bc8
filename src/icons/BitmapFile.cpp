#include "icons/BitmapFile.h"

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
constexpr std::uint32_t CompressionBitFields = 3;

// No bitmap we accept needs more than this after its file header: the largest pixel data
// (MaxPixels at 4 bytes, or 1-bit rows padded to 4 bytes), the largest header and colour table,
// and some slack for what writers leave after the pixels.
constexpr std::uint64_t MaxBodySize = Bitmap::MaxPixels * 4 + 1024 * 1024;

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
    std::uint32_t masks[3] = {0, 0, 0};  // red, green, blue
};

bool KnownInfoHeaderSize(std::uint32_t size) {
    // The 40-byte header and its later, longer forms, which begin with the same fields.
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

// Reads and checks the information header at the start of `body` (the file after its file
// header). Every value is checked before it is used to find or size anything.
std::optional<Layout> ReadLayout(std::span<const std::uint8_t> body, std::int32_t requiredWidth,
                                 std::int32_t requiredHeight) {
    ByteReader reader(body);
    const std::uint32_t headerSize = reader.U32Le();
    Layout layout;
    layout.width = reader.I32Le();
    layout.height = reader.I32Le();
    reader.U16Le();  // planes
    layout.bitsPerPixel = reader.U16Le();
    layout.compression = reader.U32Le();
    reader.U32Le();  // image size: the rows are sized from width and depth instead
    reader.Skip(8);  // resolutions
    const std::uint32_t coloursUsed = reader.U32Le();
    reader.U32Le();  // colours important
    if (!reader.Ok()) return std::nullopt;

    // The stored values must match exactly, so a top-down file never passes a size check.
    if (requiredWidth != 0 && requiredHeight != 0 &&
        (layout.width != requiredWidth || layout.height != requiredHeight))
        return std::nullopt;

    if (!KnownInfoHeaderSize(headerSize) || headerSize > body.size()) return std::nullopt;
    if (layout.width <= 0 || layout.height == 0 || layout.height == std::numeric_limits<std::int32_t>::min())
        return std::nullopt;
    layout.rows = layout.height < 0 ? static_cast<std::uint32_t>(-layout.height)
                                    : static_cast<std::uint32_t>(layout.height);
    if (static_cast<std::uint64_t>(layout.width) * layout.rows > Bitmap::MaxPixels) return std::nullopt;

    switch (layout.bitsPerPixel) {
        case 1:
        case 4:
        case 8:
        case 24:
            if (layout.compression != CompressionNone) return std::nullopt;
            break;
        case 16:
        case 32:
            if (layout.compression != CompressionNone && layout.compression != CompressionBitFields)
                return std::nullopt;
            break;
        default:
            return std::nullopt;
    }

    const bool indexed = layout.bitsPerPixel <= 8;
    layout.colourCount = coloursUsed != 0 ? coloursUsed : (std::uint64_t{1} << layout.bitsPerPixel);
    // An indexed bitmap's table can never usefully hold more than 256 colours.
    if (indexed && layout.colourCount > 256) return std::nullopt;

    // The masks follow a 40-byte header and are part of the longer ones; either way they are at
    // offset 40.
    const bool bitFields = layout.compression == CompressionBitFields;
    if (bitFields) {
        ByteReader masks(body, 40);
        for (std::uint32_t& mask : layout.masks) mask = masks.U32Le();
        if (!masks.Ok()) return std::nullopt;
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
    if (layout.pixelOffset > body.size()) return std::nullopt;

    // Every row is padded to 4 bytes, except that the last row's padding may be missing.
    const std::uint64_t rowBits = static_cast<std::uint64_t>(layout.bitsPerPixel) * static_cast<std::uint64_t>(layout.width);
    layout.rowBytes = (rowBits + 31) / 32 * 4;
    const std::uint64_t pixelBytes = layout.rowBytes * (layout.rows - 1) + (rowBits + 7) / 8;
    if (pixelBytes > body.size() - layout.pixelOffset) return std::nullopt;
    return layout;
}

Palette ReadPalette(std::span<const std::uint8_t> body, const Layout& layout) {
    Palette palette;
    if (layout.colourCount > 256) return palette;
    palette.colors.reserve(static_cast<std::size_t>(layout.colourCount));
    for (std::uint64_t i = 0; i < layout.colourCount; ++i) {
        // Blue, green, red, reserved.
        const std::uint8_t* entry = body.data() + layout.tableOffset + 4 * i;
        palette.colors.push_back(Palette::Color{entry[2], entry[1], entry[0]});
    }
    return palette;
}

std::uint32_t Rgb(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    return (red << 16) | (green << 8) | blue;
}

Bitmap DecodePixels(std::span<const std::uint8_t> body, const Layout& layout, const Palette& palette) {
    Bitmap bitmap(layout.width, static_cast<std::int32_t>(layout.rows));
    std::vector<std::uint32_t> colours;
    colours.reserve(palette.colors.size());
    for (const Palette::Color& c : palette.colors) colours.push_back(Rgb(c.red, c.green, c.blue));
    const Channel red(layout.masks[0]);
    const Channel green(layout.masks[1]);
    const Channel blue(layout.masks[2]);

    const auto width = static_cast<std::size_t>(layout.width);
    for (std::uint32_t y = 0; y < layout.rows; ++y) {
        const std::uint32_t stored = layout.height < 0 ? y : layout.rows - 1 - y;
        const std::uint8_t* row = body.data() + layout.pixelOffset + layout.rowBytes * stored;
        std::uint32_t* out = bitmap.pixels.data() + static_cast<std::size_t>(y) * width;
        for (std::size_t x = 0; x < width; ++x) {
            std::uint32_t value = 0;
            switch (layout.bitsPerPixel) {
                case 1:
                case 4:
                case 8: {
                    const std::size_t bit = x * layout.bitsPerPixel;
                    const std::uint32_t byte = row[bit / 8];
                    const auto shift = static_cast<unsigned>(8 - layout.bitsPerPixel - bit % 8);
                    const std::uint32_t index = (byte >> shift) & ((1u << layout.bitsPerPixel) - 1);
                    // An index past a short colour table shows black.
                    value = index < colours.size() ? colours[index] : 0;
                    break;
                }
                case 16: {
                    const std::uint32_t pixel = LoadU16Le(row + 2 * x);
                    value = Rgb(red.Value(pixel), green.Value(pixel), blue.Value(pixel));
                    break;
                }
                case 24:
                    value = Rgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
                    break;
                case 32: {
                    const std::uint32_t pixel = LoadU32Le(row + 4 * x);
                    value = Rgb(red.Value(pixel), green.Value(pixel), blue.Value(pixel));
                    break;
                }
                default:
                    break;
            }
            out[x] = value;
        }
    }
    bitmap.palette = palette;
    return bitmap;
}

}  // namespace

bool LoadBitmapFile(Stream& stream, Bitmap& out, Palette& outPalette, std::int32_t requiredWidth,
                    std::int32_t requiredHeight, BitmapHeaders* headers) {
    BitmapHeaders read;
    std::vector<std::uint8_t> body;
    try {
        stream.Seek(0);
        if (stream.Read(read.file) != read.file.size()) return false;
        if (LoadU16Le(read.file.data()) != BitmapSignature) return false;
        // The rest of the file in one read.
        const std::uint64_t length = stream.Length();
        if (length < BitmapFileHeaderSize) return false;
        const std::uint64_t bodySize = length - BitmapFileHeaderSize;
        if (bodySize > MaxBodySize) return false;
        body.resize(static_cast<std::size_t>(bodySize));
        stream.Seek(static_cast<std::int64_t>(BitmapFileHeaderSize));
        if (stream.Read(body) != body.size()) return false;
    } catch (const FileError&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }

    const std::optional<Layout> layout = ReadLayout(body, requiredWidth, requiredHeight);
    if (!layout) return false;
    std::copy_n(body.begin(), BitmapInfoHeaderSize, read.info.begin());
    Bitmap bitmap;
    try {
        Palette palette = ReadPalette(body, *layout);
        bitmap = DecodePixels(body, *layout, palette);
    } catch (const std::bad_alloc&) {
        return false;
    }
    outPalette = bitmap.palette;
    out = std::move(bitmap);
    if (headers != nullptr) *headers = read;
    return true;
}

std::optional<std::vector<std::uint8_t>> EncodeBitmapFile(const Bitmap& bitmap) {
    if (!bitmap.IsWellFormed()) return std::nullopt;
    const auto width = static_cast<std::uint32_t>(bitmap.width);
    const auto height = static_cast<std::uint32_t>(bitmap.height);
    // Rows of blue, green, red, padded to a multiple of 4 bytes.
    const std::uint64_t rowBytes = (24ull * width + 31) / 32 * 32 / 8;
    const std::uint64_t imageSize = rowBytes * height;
    const std::uint64_t fileSize = BitmapFileHeaderSize + BitmapInfoHeaderSize + imageSize;
    if (fileSize > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;

    std::vector<std::uint8_t> bytes;
    try {
        ByteWriter out;
        // File header: "BM", file size, two reserved, pixel data offset.
        out.PutU16Le(BitmapSignature);
        out.PutU32Le(static_cast<std::uint32_t>(fileSize));
        out.PutU16Le(0);
        out.PutU16Le(0);
        out.PutU32Le(static_cast<std::uint32_t>(BitmapFileHeaderSize + BitmapInfoHeaderSize));
        // Information header: size, width, height (bottom-up), planes, bits per pixel,
        // compression, image size, two resolutions, colours used, colours important.
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
        bytes = out.Take();
        bytes.reserve(static_cast<std::size_t>(fileSize));
        const std::size_t padding = static_cast<std::size_t>(rowBytes) - 3 * static_cast<std::size_t>(width);
        for (std::int32_t y = bitmap.height - 1; y >= 0; --y) {
            for (std::int32_t x = 0; x < bitmap.width; ++x) {
                const std::uint32_t rgb = bitmap.Pixel(x, y);
                bytes.push_back(static_cast<std::uint8_t>(rgb));
                bytes.push_back(static_cast<std::uint8_t>(rgb >> 8));
                bytes.push_back(static_cast<std::uint8_t>(rgb >> 16));
            }
            bytes.insert(bytes.end(), padding, 0);
        }
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    return bytes;
}

bool SaveBitmapFile(Stream& stream, const Bitmap& bitmap) {
    const std::optional<std::vector<std::uint8_t>> bytes = EncodeBitmapFile(bitmap);
    if (!bytes) return false;
    try {
        stream.Truncate(0);
        stream.Seek(0);
        stream.Write(*bytes);
    } catch (const FileError&) {
        return false;
    }
    return true;
}

}  // namespace tw
