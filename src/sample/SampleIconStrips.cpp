#include "sample/SampleIconStrips.h"

#include "util/ByteWriter.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>
#include <string>

namespace tw {
namespace {

constexpr std::int32_t ButtonWidth = 112;
constexpr std::int32_t ButtonHeight = 22;
constexpr std::int32_t PopupWidth = 84;
constexpr std::int32_t PopupHeight = 63;

// Colour table: 0 black, 1 white, 2 light grey, 3 grey; then three entries per career style:
// background, frame (darker), shape (lighter).
constexpr std::uint8_t Black = 0;
constexpr std::uint8_t White = 1;
constexpr std::uint8_t LightGrey = 2;
constexpr std::uint8_t Grey = 3;
constexpr std::uint32_t StyleCount = 10;
std::uint8_t Background(std::uint32_t style) { return static_cast<std::uint8_t>(4 + 3 * style); }
std::uint8_t Frame(std::uint32_t style) { return static_cast<std::uint8_t>(5 + 3 * style); }
std::uint8_t Shape(std::uint32_t style) { return static_cast<std::uint8_t>(6 + 3 * style); }

struct Rgb {
    std::uint8_t red, green, blue;
};

constexpr Rgb StyleColors[StyleCount] = {
    {230, 170, 30}, {40, 140, 150}, {200, 40, 40}, {170, 110, 60}, {120, 80, 170},
    {60, 160, 70},  {200, 60, 150}, {70, 150, 220}, {80, 90, 110},  {230, 110, 40},
};

std::array<Rgb, 256> MakePalette() {
    std::array<Rgb, 256> palette{};
    palette[White] = {255, 255, 255};
    palette[LightGrey] = {220, 220, 220};
    palette[Grey] = {128, 128, 128};
    auto darker = [](std::uint8_t c) { return static_cast<std::uint8_t>(c * 3 / 5); };
    auto lighter = [](std::uint8_t c) { return static_cast<std::uint8_t>(c + (255 - c) * 3 / 5); };
    for (std::uint32_t style = 0; style < StyleCount; ++style) {
        const Rgb c = StyleColors[style];
        palette[Background(style)] = c;
        palette[Frame(style)] = {darker(c.red), darker(c.green), darker(c.blue)};
        palette[Shape(style)] = {lighter(c.red), lighter(c.green), lighter(c.blue)};
    }
    return palette;
}

// 5 × 7 capital letters, one byte per row, the leftmost pixel in bit 4.
constexpr std::uint8_t Font[26][7] = {
    {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}, {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E},
    {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}, {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E},
    {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}, {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10},
    {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}, {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11},
    {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}, {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C},
    {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}, {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F},
    {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}, {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11},
    {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}, {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10},
    {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}, {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11},
    {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}, {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04},
    {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}, {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04},
    {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}, {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11},
    {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F},
};

// Colour indexes, top row first.
class IndexImage {
public:
    IndexImage(std::int32_t width, std::int32_t height)
        : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), LightGrey) {}

    void Set(std::int32_t x, std::int32_t y, std::uint8_t index) {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
        pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] = index;
    }
    void Fill(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, std::uint8_t index) {
        for (std::int32_t row = y; row < y + h; ++row)
            for (std::int32_t col = x; col < x + w; ++col) Set(col, row, index);
    }
    void Frame(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, std::int32_t thickness, std::uint8_t index) {
        Fill(x, y, w, thickness, index);
        Fill(x, y + h - thickness, w, thickness, index);
        Fill(x, y, thickness, h, index);
        Fill(x + w - thickness, y, thickness, h, index);
    }
    void Letter(std::int32_t x, std::int32_t y, char letter, std::int32_t scale, std::uint8_t index) {
        if (letter < 'A' || letter > 'Z') return;
        const auto& glyph = Font[letter - 'A'];
        for (std::int32_t row = 0; row < 7; ++row)
            for (std::int32_t col = 0; col < 5; ++col)
                if ((glyph[row] >> (4 - col)) & 1) Fill(x + col * scale, y + row * scale, scale, scale, index);
    }
    // One of ten simple shapes in a size × size box, worked out in whole numbers on doubled
    // coordinates around the box's centre so that every build draws the same pixels.
    void DrawShape(std::int32_t x, std::int32_t y, std::int32_t size, std::uint32_t shape, std::uint8_t index) {
        const std::int32_t r = size - 1;
        for (std::int32_t py = 0; py < size; ++py) {
            for (std::int32_t px = 0; px < size; ++px) {
                const std::int32_t dx = 2 * px - r;
                const std::int32_t dy = 2 * py - r;
                const std::int32_t ax = std::abs(dx);
                const std::int32_t ay = std::abs(dy);
                const std::int32_t d2 = dx * dx + dy * dy;
                const bool round = d2 <= r * r;
                bool inside = false;
                switch (shape) {
                    case 0: inside = round; break;                                              // disc
                    case 1: inside = ax + ay <= r; break;                                       // diamond
                    case 2: inside = 2 * ax <= dy + r; break;                                   // triangle
                    case 3: inside = std::max(ax, ay) <= r * 4 / 5; break;                      // square
                    case 4: inside = round && 4 * d2 >= r * r; break;                           // ring
                    case 5: inside = std::min(ax, ay) <= r * 3 / 10; break;                     // plus
                    case 6: inside = std::abs(ax - ay) <= r * 3 / 10; break;                    // cross
                    case 7: inside = round && (4 * dx - 2 * r) * (4 * dx - 2 * r) + 16 * dy * dy > 9 * r * r; break;  // moon
                    case 8: inside = round && ((dy + r) * 5 / (2 * r + 1)) % 2 == 0; break;     // stripes
                    default: inside = round && (std::min(ax, ay) <= r / 5 || std::abs(ax - ay) <= r / 5); break;  // star
                }
                if (inside) Set(x + px, y + py, index);
            }
        }
    }

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    std::uint8_t At(std::int32_t x, std::int32_t y) const {
        return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
    }

private:
    std::int32_t width_;
    std::int32_t height_;
    std::vector<std::uint8_t> pixels_;
};

// An 8-bit bottom-up BMP with a full colour table ("colours used" 0 means all 256).
std::vector<std::uint8_t> EncodeBmp8(const IndexImage& image) {
    const auto palette = MakePalette();
    const std::uint32_t stride = (static_cast<std::uint32_t>(image.Width()) + 3u) & ~3u;
    const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(image.Height());
    const std::uint32_t pixelOffset = 14 + 40 + 4 * 256;
    ByteWriter out;
    out.PutText("BM");
    out.PutU32Le(pixelOffset + imageSize);
    out.PutU16Le(0);
    out.PutU16Le(0);
    out.PutU32Le(pixelOffset);
    out.PutU32Le(40);
    out.PutU32Le(static_cast<std::uint32_t>(image.Width()));
    out.PutU32Le(static_cast<std::uint32_t>(image.Height()));
    out.PutU16Le(1);   // planes
    out.PutU16Le(8);   // bits per pixel
    out.PutU32Le(0);   // no compression
    out.PutU32Le(imageSize);
    out.PutU32Le(2835);  // 72 dots per inch
    out.PutU32Le(2835);
    out.PutU32Le(0);   // colours used: all 256
    out.PutU32Le(0);   // colours important: all
    for (const Rgb& c : palette) {
        out.PutU8(c.blue);
        out.PutU8(c.green);
        out.PutU8(c.red);
        out.PutU8(0);
    }
    for (std::int32_t y = image.Height() - 1; y >= 0; --y) {
        for (std::int32_t x = 0; x < image.Width(); ++x) out.PutU8(image.At(x, y));
        out.PutZeros(stride - static_cast<std::uint32_t>(image.Width()));
    }
    return out.Take();
}

std::int32_t IconRows(const SampleCareerData& careers) {
    std::uint16_t highest = 0;
    for (const Career& career : careers.careers.careers) highest = std::max(highest, career.id);
    return static_cast<std::int32_t>(highest) + 1;
}

void DrawButtonIcon(IndexImage& strip, std::int32_t top, std::uint32_t style, const std::string& letters) {
    strip.Fill(0, top, ButtonWidth, ButtonHeight, Background(style));
    strip.Frame(0, top, ButtonWidth, ButtonHeight, 1, Frame(style));
    strip.DrawShape(4, top + 3, 16, style, Shape(style));
    for (std::size_t i = 0; i < letters.size(); ++i)
        strip.Letter(26 + 12 * static_cast<std::int32_t>(i), top + 4, letters[i], 2, White);
}

void DrawPopupIcon(IndexImage& strip, std::int32_t top, std::uint32_t style, const std::string& letters) {
    strip.Fill(0, top, PopupWidth, PopupHeight, Background(style));
    strip.Frame(0, top, PopupWidth, PopupHeight, 2, Frame(style));
    strip.DrawShape(5, top + 11, 40, style, Shape(style));
    for (std::size_t i = 0; i < letters.size(); ++i)
        strip.Letter(48 + 17 * static_cast<std::int32_t>(i), top + 21, letters[i], 3, White);
}

template <typename Draw>
std::vector<std::uint8_t> MakeStrip(const SampleCareerData& careers, std::int32_t width, std::int32_t iconHeight, Draw draw) {
    IndexImage strip(width, iconHeight * IconRows(careers));
    // Rows that belong to no career: grey with a black frame.
    for (std::int32_t row = 0; row < IconRows(careers); ++row) {
        strip.Fill(0, row * iconHeight, width, iconHeight, Grey);
        strip.Frame(0, row * iconHeight, width, iconHeight, 1, Black);
    }
    for (std::size_t k = 0; k < careers.careers.Count(); ++k)
        draw(strip, static_cast<std::int32_t>(careers.careers.careers[k].id) * iconHeight, careers.iconStyles[k] % StyleCount,
             careers.iconLetters[k]);
    return EncodeBmp8(strip);
}

}  // namespace

std::vector<std::uint8_t> MakeSampleButtonStrip(const SampleCareerData& careers) {
    return MakeStrip(careers, ButtonWidth, ButtonHeight, DrawButtonIcon);
}

std::vector<std::uint8_t> MakeSamplePopupStrip(const SampleCareerData& careers) {
    return MakeStrip(careers, PopupWidth, PopupHeight, DrawPopupIcon);
}

}  // namespace tw
