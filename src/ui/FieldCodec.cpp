#include "ui/FieldCodec.h"

#include "ui/TextCodec.h"
#include "ui/LineBreaks.h"

namespace tw {

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
    const QString one = QString::fromUcs4(&c, 1);
    return (internalName ? TextCodec::EncodeInternal(one) : TextCodec::Encode(one, slot)).has_value();
}

}  // namespace tw
