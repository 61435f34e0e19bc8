#include "ui/TextCodec.h"

#include "text/TextCodec.h"

namespace tw {

namespace {

QString Decoded(const std::string& bytes, CodePage page) { return QString::fromStdString(DecodeToUtf8(bytes, page)); }

std::optional<std::string> Encoded(const QString& text, CodePage page) { return EncodeFromUtf8(text.toStdString(), page); }

}  // namespace

QString TextCodec::Decode(const std::string& bytes, std::uint16_t slot) { return Decoded(bytes, SlotCodePage(slot)); }

std::optional<std::string> TextCodec::Encode(const QString& text, std::uint16_t slot) {
    return Encoded(text, SlotCodePage(slot));
}

std::optional<std::string> TextCodec::EncodeEdit(const QString& text, const std::string& previous, std::uint16_t slot) {
    return tw::EncodeEdit(text.toStdString(), previous, SlotCodePage(slot));
}

bool TextCodec::CanHold(char32_t c, std::uint16_t slot) { return CanEncode(c, SlotCodePage(slot)); }

QString TextCodec::DecodeInternal(const std::string& bytes) { return Decoded(bytes, CodePage::Windows1252); }

std::optional<std::string> TextCodec::EncodeInternal(const QString& text) { return Encoded(text, CodePage::Windows1252); }

bool TextCodec::InternalCanHold(char32_t c) { return CanEncode(c, CodePage::Windows1252); }

}  // namespace tw
