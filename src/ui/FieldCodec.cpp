#include "ui/FieldCodec.h"

#include <QList>

#include "model/Languages.h"
#include "ui/LineBreaks.h"
#include "ui/TextCodec.h"
#include "util/TypedText.h"

namespace tw {
namespace {

std::u32string CodePoints(const QString& text) {
    const QList<uint> ucs4 = text.toUcs4();
    return std::u32string(ucs4.begin(), ucs4.end());
}

QString FromCodePoints(std::u32string_view text) {
    return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QString FieldCodec::Show(const std::string& bytes) const {
    const QString text = internalName ? TextCodec::DecodeInternal(bytes) : TextCodec::Decode(bytes, slot);
    return multiLine ? ToFieldLineBreaks(text) : text;
}

std::optional<std::string> FieldCodec::Bytes(const QString& text, const std::string& previous) const {
    if (text == Show(previous)) return previous;
    const QString stored = multiLine ? ToStoredLineBreaks(text, previous) : text;
    return internalName ? TextCodec::EncodeInternal(stored) : TextCodec::Encode(stored, slot);
}

bool FieldCodec::CanHold(char32_t c) const {
    return internalName ? TextCodec::InternalCanHold(c) : TextCodec::CanHold(c, slot);
}

std::optional<FieldCodec::Fitted> FieldCodec::Fit(const QString& before, const QString& after,
                                                  const std::string& previous) const {
    if (std::optional<std::string> bytes = Bytes(after, previous))
        return Fitted{after, static_cast<int>(after.size()), {}, std::move(*bytes)};
    const TypedText typed =
        KeepWhatFits(CodePoints(before), CodePoints(after), [this](char32_t c) { return CanHold(c); });
    if (typed.leftOut.empty()) return std::nullopt;
    Fitted fitted;
    fitted.text = FromCodePoints(typed.text);
    std::optional<std::string> bytes = Bytes(fitted.text, previous);
    if (!bytes) return std::nullopt;
    fitted.bytes = std::move(*bytes);
    fitted.cursor = static_cast<int>(FromCodePoints(std::u32string_view(typed.text).substr(0, typed.cursor)).size());
    fitted.leftOut = FromCodePoints(typed.leftOut);
    return fitted;
}

QString FieldCodec::LeftOutNotice(const QString& characters, const QString& where) {
    return QStringLiteral("Left out \"%1\": %2 cannot hold these characters.").arg(characters, where);
}

QString FieldCodec::TextsName() const {
    if (internalName) return QStringLiteral("internal names");
    if (slot >= LanguageNames.size()) return QStringLiteral("these texts");
    return QStringLiteral("%1 texts").arg(QString::fromLatin1(LanguageNames[slot]));
}

}  // namespace tw
