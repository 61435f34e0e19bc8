#include "exchange/TrackImporter.h"

#include "exchange/ExchangeMessages.h"
#include "icons/BitmapFile.h"
#include "icons/IconStrips.h"
#include "iff/IFFFile.h"
#include "iff/ResourceType.h"
#include "model/CareerSet.h"
#include "util/ByteReader.h"
#include "util/FileError.h"
#include "util/MemoryStream.h"
#include "util/UserPort.h"

#include <algorithm>
#include <new>

namespace tw {
namespace {

// Card texts of an import take rows from this range only.

// The data of chunk (type, id), or false when the container has no such chunk or cannot read it.
bool ChunkBytes(IFFFile& container, ResourceType type, std::uint16_t id, std::vector<std::uint8_t>& out) {
    MemoryStream stream;
    if (!container.WriteChunkData(type, id, stream)) return false;
    out = stream.Copy();
    return true;
}

}  // namespace

TrackImporter::TrackImporter(CareerSet& careers, IconStrips& icons, UserPort& port)
    : careers_(careers), icons_(icons), port_(port) {}

TrackImporter::~TrackImporter() { Abandon(); }

bool TrackImporter::Fail(const char* message, const std::string& detail) {
    Abandon();
    port_.Tell(message, ErrorTitle, MessageIcon::Error, detail);
    return false;
}

bool TrackImporter::Stage(IFFFile& container, std::uint32_t target, std::uint16_t id) {
    if (target >= careers_.Count()) return Fail("This career does not exist!");
    const Career& career = careers_.careers[target];
    try {
        std::vector<std::uint8_t> data;

        // Information header: u32 export type, which must be a single track.
        if (!ChunkBytes(container, TypeINFO, id, data)) return Fail("Can't load the Information header!");
        if (data.size() < 4) return Fail("Incorrect Information header!");
        if (LoadU32Le(data.data()) != ExportTypeTrack) return Fail("Unexpected Export Type!");

        // The track and texts are decoded into copies of the target's, so that everything a
        // decode does not set (the remembered chunk, format flags of an empty table) stays the
        // target's own.
        StagedTrack staged;
        staged.target = target;
        if (!ChunkBytes(container, TypeCARExport, id, data)) return Fail("Can't load the career resource!");
        staged.track = career.track;
        if (!staged.track.Decode(data)) return Fail("File damaged!");

        if (!ChunkBytes(container, TypeSTR, id, data)) return Fail("Can't load the strings resource!");
        staged.texts = career.texts.table;
        if (!staged.texts.Decode(data)) return Fail("File damaged!");

        if (!ChunkBytes(container, TypeCARD, id, data)) return Fail("Can't load the cards resource!");
        if (!DecodeCardBlocks(data, staged.cards)) return Fail("Incorrect cards resource!");

        const std::uint32_t iconNumber = career.id;
        if (!StageIcon(container, id, true, iconNumber)) return false;
        if (!StageIcon(container, id, false, iconNumber)) return false;

        auto same = std::find_if(staged_.begin(), staged_.end(),
                                 [target](const StagedTrack& s) { return s.target == target; });
        if (same != staged_.end())
            *same = std::move(staged);
        else
            staged_.push_back(std::move(staged));
    } catch (const std::bad_alloc&) {
        return Fail("Can't allocate memory!");
    }
    return true;
}

bool TrackImporter::StageIcon(IFFFile& container, std::uint16_t id, bool popup, std::uint32_t number) {
    std::vector<std::uint8_t> data;
    if (!ChunkBytes(container, popup ? TypeBMP1 : TypeBMP2, id, data))
        return Fail(popup ? "Can't load the popup resource!" : "Can't load the button resource!");
    MemoryStream stream(std::move(data));
    Bitmap icon;
    Palette palette;
    const Status loaded = popup ? LoadBitmapFile(stream, icon, palette, PopupIconWidth, IconStrips::PopupIconHeight)
                                : LoadBitmapFile(stream, icon, palette, ButtonIconWidth, IconStrips::ButtonIconHeight);
    if (!loaded) return Fail(popup ? "Couldn't load the popup bitmap!" : "Couldn't load the button bitmap!", loaded.Reason());
    if (!PutIcon(popup, number, icon))
        return Fail(popup ? "Couldn't set the popup bitmap!" : "Couldn't set the button bitmap!");
    return true;
}

bool TrackImporter::PutIcon(bool popup, std::uint32_t number, const Bitmap& icon) {
    Bitmap old;
    if (!(popup ? icons_.GetPopupIcon(number, old) : icons_.GetButtonIcon(number, old))) return false;
    if (!(popup ? icons_.PutPopupIcon(number, icon) : icons_.PutButtonIcon(number, icon))) return false;
    // Only the icon from before the first put is worth keeping: that is what a failure restores.
    const bool known = std::any_of(savedIcons_.begin(), savedIcons_.end(), [&](const SavedIcon& saved) {
        return saved.popup == popup && saved.number == number;
    });
    if (!known) savedIcons_.push_back(SavedIcon{popup, number, std::move(old)});
    return true;
}

void TrackImporter::Abandon() {
    // Each icon goes back to what it was before its first put; that put succeeded, so this one
    // does too.
    for (const SavedIcon& saved : savedIcons_) {
        if (saved.popup)
            icons_.PutPopupIcon(saved.number, saved.icon);
        else
            icons_.PutButtonIcon(saved.number, saved.icon);
    }
    savedIcons_.clear();
    staged_.clear();
}

void TrackImporter::Apply() {
    textsDropped_ = false;
    for (StagedTrack& staged : staged_) ApplyTrack(staged);
    staged_.clear();
    savedIcons_.clear();
    if (textsDropped_)
        port_.Tell("There is no free chance card text left, so some chance cards were imported without their text.",
                   WarningTitle, MessageIcon::Warning);
}

void TrackImporter::ApplyTrack(StagedTrack& staged) {
    Career& career = careers_.careers[staged.target];
    career.track = std::move(staged.track);
    career.texts.table = std::move(staged.texts);

    for (std::uint32_t level = 0; level < Career::CardCount; ++level) {
        ChanceCard& card = career.cards[level];
        CardBlock& block = staged.cards[level];

        // The card's old row is released; its texts stay until the row is reused.
        careers_.cardTexts.SetFree(card.textRow, true);
        card.textRow = 0;
        if (block.hasTexts) {
            card.textRow = careers_.cardTexts.TakeFreeRow();
            if (card.textRow == 0) textsDropped_ = true;
            // Slots that the block does not name keep what the row held; a slot number out of
            // range is refused and so skipped.
            for (const auto& [slot, text] : block.texts)
                if (card.textRow != 0) careers_.cardTexts.Set(card.textRow, slot, text);
        }
        card.items = std::move(block.items);
    }
}

}  // namespace tw
