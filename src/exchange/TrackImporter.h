#pragma once

#include "exchange/ExchangeFormat.h"
#include "icons/Bitmap.h"
#include "model/CareerTrack.h"
#include "model/StringTable.h"

#include <cstdint>
#include <vector>

namespace tw {

class CareerSet;
class IconStrips;
class IFFFile;
class UserPort;

// Imports career tracks from an exchange file all or nothing.
//
// Stage checks and decodes the six chunks of one track, in the import's order and with its
// messages, without touching the careers; only the icons go into the strips at once (that is
// the last check, whether the strip takes them), and are taken back when the import does not
// go through. Apply then replaces every staged career. So an import that fails at any step,
// or a restore of which one track fails, leaves every career as it was.
class TrackImporter {
public:
    TrackImporter(CareerSet& careers, IconStrips& icons, UserPort& port);
    // Takes back the icons of a staging that was not applied.
    ~TrackImporter();
    TrackImporter(const TrackImporter&) = delete;
    TrackImporter& operator=(const TrackImporter&) = delete;

    // Checks the track with chunk id `id` of `container` for career `target`. False after
    // telling the person why; every icon staged so far has then been taken back. A second
    // staging for the same career replaces the first.
    bool Stage(IFFFile& container, std::uint32_t target, std::uint16_t id);
    // Replaces every staged career: track, texts, chance cards with new text rows. Tells the
    // person once when some card texts found no free text row.
    void Apply();
    // Takes back the staged icons and forgets the staged tracks.
    void Abandon();

private:
    struct StagedTrack {
        std::uint32_t target = 0;
        CareerTrack track;
        StringTable texts;
        CardBlocks cards;
    };
    // An icon as it was before the first staged icon replaced it.
    struct SavedIcon {
        bool popup = false;
        std::uint32_t number = 0;
        Bitmap icon;
    };

    bool Fail(const char* message, const std::string& detail = {});
    bool StageIcon(IFFFile& container, std::uint16_t id, bool popup, std::uint32_t number);
    bool PutIcon(bool popup, std::uint32_t number, const Bitmap& icon);
    void ApplyTrack(StagedTrack& staged);

    CareerSet& careers_;
    IconStrips& icons_;
    UserPort& port_;
    std::vector<StagedTrack> staged_;
    std::vector<SavedIcon> savedIcons_;
    bool textsDropped_ = false;
};

}  // namespace tw
