#include "ui/FieldCodec.h"

#include "ui/TextCodec.h"

namespace tw {
namespace {

// True when the stored text breaks its lines with a bare "\n" and never with "\r\n".
bool UsesBareLineBreaks(const std::string& bytes) {
    bool bare = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n') continue;
        if (i > 0 && bytes[i - 1] == '\r') return false;
        bare = true;
    }
    return bare;
}

}  // namespace

QString FieldCodec::Show(const std::string& bytes) const {
    QString text = internalName ? TextCodec::DecodeInternal(bytes) : TextCodec::Decode(bytes, slot);
    if (multiLine) text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

std::optional<std::string> FieldCodec::Bytes(const QString& text, const std::string& previous) const {
    if (text == Show(previous)) return previous;
    QString stored = text;
    if (multiLine && !UsesBareLineBreaks(previous)) {
        // A field hands back "\n" only; the game's own texts break lines with "\r\n".
        stored.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        stored.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    }
    return internalName ? TextCodec::EncodeInternal(stored) : TextCodec::Encode(stored, slot);
}

}  // namespace tw
