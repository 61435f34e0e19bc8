#include "text/TextCodec.h"

#include <array>
#include <vector>

#include "text/CodePageTables.h"
#include "text/Utf8.h"

namespace tw {

namespace {

constexpr std::uint16_t NoBytes = 0xFFFF;  // no lead byte of these pages is 0xFF

// One code page's table, indexed for both directions.
class PageCodec {
public:
    explicit PageCodec(const CodePageTable& table) : single_(table.single), encoding_(0x10000, NoBytes) {
        for (const DoubleByteRow* row = table.rows; row->lead != 0 || row->characters != nullptr; ++row)
            rows_[row->lead] = row;
        // Every character is written as the first sequence that reads as it, unless Windows
        // chooses another.
        for (unsigned b = 0; b < 256; ++b)
            if (single_[b] < LeadByte && encoding_[single_[b]] == NoBytes) encoding_[single_[b]] = static_cast<std::uint16_t>(b);
        for (const DoubleByteRow* row : rows_) {
            if (row == nullptr) continue;
            for (unsigned k = 0; k < row->count; ++k) {
                const std::uint16_t c = row->characters[k];
                if (c != NoCharacter && encoding_[c] == NoBytes)
                    encoding_[c] = static_cast<std::uint16_t>(row->lead << 8 | (row->firstTrail + k));
            }
        }
        for (const EncodingChoice* choice = table.choices; choice->character != 0 || choice->bytes != 0; ++choice)
            encoding_[choice->character] = choice->bytes > 0xFFFF ? NoBytes : static_cast<std::uint16_t>(choice->bytes);
    }

    // The character that the bytes at `at` read as, and how many bytes it takes; none when the
    // byte at `at` starts none.
    std::optional<char16_t> Read(std::string_view bytes, std::size_t at, std::size_t& size) const {
        const auto b = static_cast<unsigned char>(bytes[at]);
        size = 1;
        const std::uint16_t c = single_[b];
        if (c < LeadByte) return static_cast<char16_t>(c);
        if (c == NoCharacter || at + 1 >= bytes.size() || rows_[b] == nullptr) return std::nullopt;
        const DoubleByteRow& row = *rows_[b];
        const auto trail = static_cast<unsigned char>(bytes[at + 1]);
        if (trail < row.firstTrail || trail - row.firstTrail >= row.count) return std::nullopt;
        const std::uint16_t pair = row.characters[trail - row.firstTrail];
        if (pair == NoCharacter) return std::nullopt;
        size = 2;
        return static_cast<char16_t>(pair);
    }

    // Appends the bytes of a character; false when the page has none.
    bool Write(char32_t c, std::string& out) const {
        if (c > 0xFFFF || encoding_[c] == NoBytes) return false;
        const std::uint16_t bytes = encoding_[c];
        if (bytes > 0xFF) out += static_cast<char>(bytes >> 8);
        out += static_cast<char>(bytes & 0xFF);
        return true;
    }

private:
    const std::uint16_t* single_;
    std::array<const DoubleByteRow*, 256> rows_{};
    std::vector<std::uint16_t> encoding_;  // character -> bytes, NoBytes when none
};

const PageCodec& Codec(CodePage page) {
    static const std::array<PageCodec, 7> codecs = [] {
        return std::array<PageCodec, 7>{PageCodec(CodePageTables[0]), PageCodec(CodePageTables[1]),
                                        PageCodec(CodePageTables[2]), PageCodec(CodePageTables[3]),
                                        PageCodec(CodePageTables[4]), PageCodec(CodePageTables[5]),
                                        PageCodec(CodePageTables[6])};
    }();
    for (std::size_t i = 0; i < codecs.size(); ++i)
        if (CodePageTables[i].number == static_cast<std::uint16_t>(page)) return codecs[i];
    return codecs[0];
}

bool IsRawByte(char32_t c) { return c >= RawByteBase && c <= RawByteBase + 0xFF; }

}  // namespace

std::string DecodeToUtf8(std::string_view bytes, CodePage page) {
    const PageCodec& codec = Codec(page);
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        std::size_t size = 1;
        if (const std::optional<char16_t> c = codec.Read(bytes, at, size))
            AppendUtf8(out, *c);
        else
            AppendUtf8(out, RawByteBase + static_cast<unsigned char>(bytes[at]));
        at += size;
    }
    return out;
}

std::optional<std::string> EncodeFromUtf8(std::string_view utf8, CodePage page) {
    const PageCodec& codec = Codec(page);
    std::string out;
    for (std::size_t at = 0; at < utf8.size();) {
        const Utf8Char next = NextUtf8(utf8, at);
        at += next.size;
        if (!next.codePoint || *next.codePoint == 0) return std::nullopt;
        const char32_t c = *next.codePoint;
        if (IsRawByte(c)) {
            out += static_cast<char>(c - RawByteBase);
            continue;
        }
        if (!codec.Write(c, out)) return std::nullopt;
    }
    // A kept byte must stay a byte of its own: one that the page reads as a character, or that
    // joins the next byte into one, would not come back as the text given.
    if (DecodeToUtf8(out, page) != utf8) return std::nullopt;
    return out;
}

std::optional<std::string> EncodeEdit(std::string_view utf8, const std::string& previous, CodePage page) {
    if (utf8 == DecodeToUtf8(previous, page)) return previous;
    return EncodeFromUtf8(utf8, page);
}

bool CanEncode(char32_t c, CodePage page) {
    if (c == 0 || IsRawByte(c)) return false;
    std::string bytes;
    return Codec(page).Write(c, bytes);
}

ConvertedText ConvertText(std::string_view bytes, CodePage from, CodePage to) {
    if (from == to) return {std::string(bytes), false};
    const PageCodec& source = Codec(from);
    const PageCodec& target = Codec(to);
    ConvertedText converted;
    for (std::size_t at = 0; at < bytes.size();) {
        std::size_t size = 1;
        const std::optional<char16_t> c = source.Read(bytes, at, size);
        at += size;
        if (!c || !target.Write(*c, converted.bytes)) {
            converted.bytes += '?';
            converted.lost = true;
        }
    }
    return converted;
}

}  // namespace tw
