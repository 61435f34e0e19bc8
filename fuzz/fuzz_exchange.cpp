// Imports arbitrary bytes as a career exchange file into a small game built in code: as an
// exported track over a career, and as a backup. A refused file must leave the game exactly as
// it was; an accepted track, exported again, must import again.
#include "exchange/CareerExport.h"
#include "exchange/CareerImport.h"
#include "exchange/ExchangeFormat.h"
#include "icons/BitmapFile.h"
#include "icons/IconStrips.h"
#include "iff/IFFFile.h"
#include "model/CareerSet.h"
#include "util/ByteReader.h"
#include "util/MemoryStream.h"
#include "util/UserPort.h"

#include <cstddef>
#include <cstdint>

namespace {

class SilentPort final : public tw::UserPort {
public:
    tw::Answer Ask(const tw::Message& message) override {
        return message.buttons == tw::MessageButtons::Ok ? tw::Answer::Ok : tw::Answer::Yes;
    }
    std::optional<std::filesystem::path> ChooseOpenFile(const tw::FileChoice&) override { return std::nullopt; }
    std::optional<std::filesystem::path> ChooseSaveFile(const tw::FileChoice&) override { return std::nullopt; }
    std::string ApplicationName() const override { return "fuzz"; }
    std::optional<std::uint32_t> ChooseCareerToReplace(const tw::CareerSet&, std::optional<std::uint32_t>) override {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> ChooseFolder(const std::string&) override { return std::nullopt; }
    void ShowStatus(const std::string&) override {}
};

struct Game {
    tw::CareerSet careers;
    tw::IconStrips icons;
};

tw::Bitmap Strip(std::int32_t width, std::int32_t height) {
    tw::Bitmap strip(width, height);
    for (std::size_t i = 0; i < strip.pixels.size(); ++i) strip.pixels[i] = static_cast<std::uint32_t>(i * 2654435761u) & 0xFFFFFF;
    return strip;
}

// Two careers with ids 1 and 3 (icons 0 to 3 in both strips), texts, and cards with text rows.
const Game& BaseGame() {
    static const Game game = [] {
        Game g;
        tw::CareerSet& set = g.careers;
        set.cardTexts.FreeAll();
        for (std::uint32_t c = 0; c < 2; ++c) {
            tw::Career& career = set.careers.emplace_back();
            career.id = c == 0 ? 1 : 3;
            career.track.name = c == 0 ? "Business" : "Science";
            career.track.levels.resize(10);
            for (std::uint16_t row = 0; row < 33; ++row)
                career.texts.table.SetText(row, 0, 0, career.track.name + std::to_string(row));
            for (std::uint32_t level = 0; level < 10; ++level) {
                tw::ChanceCard& card = career.cards[level];
                if (level % 4 == c) {
                    card.textRow = static_cast<std::uint16_t>(set.cardTexts.table.RowCount() + 1);
                    set.cardTexts.Set(card.textRow, 0, "card");
                    set.cardTexts.SetFree(card.textRow, false);
                    card.items = {{4, 2, 312}};
                }
            }
        }
        tw::MemoryStream popup;
        tw::MemoryStream button;
        tw::SaveBitmapFile(popup, Strip(84, 63 * 4));
        tw::SaveBitmapFile(button, Strip(112, 22 * 4));
        if (!g.icons.LoadPopupStrip(popup) || !g.icons.LoadButtonStrip(button)) __builtin_trap();
        return g;
    }();
    return game;
}

bool SameGame(const Game& a, const Game& b) {
    if (a.careers.Count() != b.careers.Count() ||
        a.careers.cardTexts.table.RowCount() != b.careers.cardTexts.table.RowCount())
        return false;
    for (std::uint16_t row = 0; row <= tw::CardTexts::FlaggedRows; ++row)
        if (a.careers.cardTexts.IsFree(row) != b.careers.cardTexts.IsFree(row)) return false;
    for (std::size_t c = 0; c < a.careers.Count(); ++c) {
        const tw::Career& x = a.careers.careers[c];
        const tw::Career& y = b.careers.careers[c];
        if (x.id != y.id || x.cards != y.cards || x.track.name != y.track.name || x.track.levels != y.track.levels ||
            x.texts.table.RowCount() != y.texts.table.RowCount())
            return false;
    }
    return a.icons.PopupStrip() == b.icons.PopupStrip() && a.icons.ButtonStrip() == b.icons.ButtonStrip();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SilentPort port;
    tw::ChunkStore store;
    tw::IFFFile container(store);
    tw::MemoryStream file(std::vector<std::uint8_t>(data, data + size));
    container.AttachFile(file);
    if (!container.OpenIFFFile(nullptr, true)) return 0;

    // As an exported track over career 0, 1 or 2 (there is no career 2).
    const auto target = static_cast<std::uint32_t>(size % 3);
    Game game = BaseGame();
    if (!tw::ImportCareerTrack(container, target, 0, game.careers, game.icons, port)) {
        if (!SameGame(game, BaseGame())) __builtin_trap();
    } else {
        // What we export from the result must import again. (A table may decode from entries
        // that its own format cannot hold again; such a track does not export.)
        tw::ChunkStore againStore;
        tw::IFFFile again(againStore);
        if (tw::ExportCareerTrack(again, target, 0, game.careers, game.icons, port)) {
            Game other = BaseGame();
            if (!tw::ImportCareerTrack(again, 1 - target, 0, other.careers, other.icons, port)) __builtin_trap();
        }
    }

    // As a backup, whatever its information header says.
    tw::MemoryStream info;
    if (container.WriteChunkData(tw::TypeINFO, 0, info)) {
        Game restored = BaseGame();
        if (!tw::RestoreCareers(container, info.Bytes(), restored.careers, restored.icons, port)) {
            if (!SameGame(restored, BaseGame())) __builtin_trap();
        } else {
        }
    }
    return 0;
}
