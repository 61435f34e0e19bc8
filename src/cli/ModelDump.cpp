#include "cli/ModelDump.h"

#include "cli/JsonWriter.h"
#include "gamefiles/GameContext.h"
#include "icons/IconStrips.h"
#include "model/CareerSet.h"
#include "text/TextCodec.h"

namespace tw::cli {
namespace {

class Dumper {
public:
    explicit Dumper(const DumpInput& input) : in_(input) {}

    std::string Run() {
        const CareerSet& set = *in_.careers;
        out_.Raw("{\n  ");
        out_.Key("gameFolder");
        HostText(in_.gameFolder);
        out_.Raw(",\n  ");
        out_.Key("careersFile");
        out_.Utf8Text(in_.careersFile);
        out_.Raw(",\n  ");
        out_.Key("chanceCardsDisabled");
        out_.Bool(in_.chanceCardsDisabled);
        out_.Raw(",\n  ");
        out_.Key("careers");
        out_.Raw("[");
        for (std::uint32_t c = 0; c < set.Count(); ++c) {
            out_.Raw(c == 0 ? "\n    " : ",\n    ");
            Career(set.careers[c], c);
        }
        out_.Raw(set.Count() > 0 ? "\n  ],\n  " : "],\n  ");
        out_.Key("cardTexts");
        if (in_.chanceCardsDisabled)
            out_.Raw("{\"rows\": 0, \"entries\": []}");
        else
            Table(set.cardTexts.table);
        out_.Raw(",\n  ");
        out_.Key("freeCardTextRows");
        out_.Raw("[");
        bool first = true;
        if (!in_.chanceCardsDisabled) {
            for (std::uint16_t row = 1; row <= CardTexts::FlaggedRows; ++row) {
                if (!set.cardTexts.IsFree(row)) continue;
                if (!first) out_.Raw(", ");
                first = false;
                out_.Integer(static_cast<std::int64_t>(row));
            }
        }
        out_.Raw("],\n  ");
        out_.Key("icons");
        out_.Raw("{");
        out_.Key("button");
        Strip(in_.icons->ButtonStripSize(), IconStrips::ButtonIconHeight);
        out_.Raw(",\n            ");
        out_.Key("popup");
        Strip(in_.icons->PopupStripSize(), IconStrips::PopupIconHeight);
        out_.Raw("},\n  ");
        Problems();
        out_.Raw("\n}\n");
        return out_.Text();
    }

private:
    void HostText(const std::string& text) {
        // A host path is already UTF-8 where the system is; anything else is shown byte for byte.
        if (IsUtf8(text))
            out_.Utf8Text(text);
        else
            out_.ByteText(text);
    }

    static bool IsUtf8(const std::string& text) {
        std::size_t i = 0;
        while (i < text.size()) {
            const auto c = static_cast<unsigned char>(text[i]);
            const std::size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
            if (length == 0 || i + length > text.size()) return false;
            for (std::size_t k = 1; k < length; ++k)
                if ((static_cast<unsigned char>(text[i + k]) >> 6) != 2) return false;
            i += length;
        }
        return true;
    }

    // A text of a language slot, or an internal name (slot none: Windows-1252).
    void Text(const std::string& bytes, int slot) {
        if (!in_.utf8) {
            out_.ByteText(bytes);
            return;
        }
        const CodePage page = slot < 0 ? CodePage::Windows1252 : SlotCodePage(static_cast<std::uint16_t>(slot));
        out_.Utf8Text(DecodeToUtf8(bytes, page));
    }

    // Every part of a game file that the load could not read, one object per line.
    void Problems() {
        out_.Key("problems");
        out_.Raw("[");
        const std::size_t count = in_.problems != nullptr ? in_.problems->size() : 0;
        for (std::size_t i = 0; i < count; ++i) {
            const GameFileProblem& problem = (*in_.problems)[i];
            out_.Raw(i == 0 ? "\n    {" : ",\n    {");
            out_.Key("file");
            out_.Utf8Text(problem.file);
            out_.Raw(", ");
            out_.Key("type");
            Text(problem.chunk.type != 0 ? TypeName(problem.chunk.type) : std::string(), -1);
            out_.Raw(", ");
            out_.Key("id");
            out_.Integer(problem.chunk.id);
            out_.Raw(", ");
            out_.Key("label");
            Text(problem.chunk.label, -1);
            out_.Raw(", ");
            out_.Key("reason");
            out_.Utf8Text(problem.chunk.reason);
            out_.Raw("}");
        }
        out_.Raw(count > 0 ? "\n  ]" : "]");
    }

    void Career(const tw::Career& career, std::uint32_t c) {
        const CareerTrack& track = career.track;
        out_.Raw("{");
        out_.Key("index");
        out_.Integer(c);
        out_.Raw(", ");
        out_.Key("id");
        out_.Integer(career.id);
        out_.Raw(", ");
        out_.Key("name");
        Text(track.name, -1);
        out_.Raw(",\n     ");
        out_.Key("levels");
        out_.Raw("[");
        for (std::size_t l = 0; l < track.levels.size(); ++l) {
            out_.Raw(l == 0 ? "\n       {" : ",\n       {");
            out_.Key("values");
            out_.Raw("[");
            for (std::size_t v = 0; v < JobLevel::ValueCount; ++v) {
                if (v > 0) out_.Raw(", ");
                out_.Integer(track.levels[l].values[v]);
            }
            out_.Raw("], ");
            out_.Key("texts");
            out_.Raw("[");
            for (std::size_t t = 0; t < JobLevel::TextCount; ++t) {
                if (t > 0) out_.Raw(", ");
                Text(track.levels[l].texts[t], -1);
            }
            out_.Raw("]}");
        }
        out_.Raw("],\n     ");
        out_.Key("strings");
        Table(career.texts.table);
        out_.Raw(",\n     ");
        out_.Key("cards");
        out_.Raw("[");
        for (std::uint32_t level = 0; level < tw::Career::CardCount; ++level) {
            const bool present = !in_.chanceCardsDisabled;
            const ChanceCard& card = career.cards[level];
            out_.Raw(level == 0 ? "" : ", ");
            out_.Raw("{");
            out_.Key("level");
            out_.Integer(level);
            out_.Raw(", ");
            out_.Key("textRow");
            out_.Integer(present ? card.textRow : 0);
            out_.Raw(", ");
            out_.Key("items");
            out_.Raw("[");
            if (present) {
                const auto& items = card.items;
                for (std::size_t i = 0; i < items.size(); ++i) {
                    if (i > 0) out_.Raw(", ");
                    out_.Raw("[");
                    out_.Integer(items[i].kind);
                    out_.Raw(", ");
                    out_.Integer(items[i].parameter);
                    out_.Raw(", ");
                    out_.Integer(items[i].value);
                    out_.Raw("]");
                }
            }
            out_.Raw("]}");
        }
        out_.Raw("]}");
    }

    void Table(const StringTable& table) {
        out_.Raw("{");
        out_.Key("rows");
        out_.Integer(static_cast<std::int64_t>(table.RowCount()));
        out_.Raw(", ");
        out_.Key("entries");
        out_.Raw("[");
        bool first = true;
        for (std::size_t row = 0; row < table.RowCount(); ++row) {
            for (std::uint16_t slot = 0; slot < 16; ++slot) {
                std::string value, comment;
                table.GetText(static_cast<std::uint16_t>(row), slot, 0, value);
                table.GetText(static_cast<std::uint16_t>(row), slot, 1, comment);
                if (value.empty() && comment.empty()) continue;
                out_.Raw(first ? "" : ", ");
                first = false;
                out_.Raw("{");
                out_.Key("row");
                out_.Integer(static_cast<std::int64_t>(row));
                out_.Raw(", ");
                out_.Key("slot");
                out_.Integer(slot);
                out_.Raw(", ");
                out_.Key("value");
                Text(value, slot);
                out_.Raw(", ");
                out_.Key("comment");
                Text(comment, slot);
                out_.Raw("}");
            }
        }
        out_.Raw("]}");
    }

    void Strip(IconStrips::Size strip, int iconHeight) {
        out_.Raw("{");
        out_.Key("width");
        out_.Integer(strip.width);
        out_.Raw(", ");
        out_.Key("height");
        out_.Integer(strip.height);
        out_.Raw(", ");
        out_.Key("count");
        out_.Integer(strip.height > 0 ? strip.height / iconHeight : 0);
        out_.Raw("}");
    }

    const DumpInput& in_;
    JsonWriter out_;
};

}  // namespace

std::string DumpJson(const DumpInput& input) { return Dumper(input).Run(); }

}  // namespace tw::cli
