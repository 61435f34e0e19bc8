#include "check/SaveDifferences.h"

#include "icons/BitmapFile.h"
#include "model/CareerTrack.h"
#include "model/StringTable.h"
#include "util/FileError.h"
#include "util/HostPath.h"
#include "util/MemoryStream.h"

#include <algorithm>
#include <map>
#include <new>
#include <span>

namespace tw {
namespace {

constexpr const char* CardsFile = "GameData/Objects/CarPortal.iff";
// The language codes that have no slot, whose texts a table keeps as read.
constexpr std::uint8_t UnslottedCodes[] = {8, 10, 11, 12, 13};

std::string TextAt(const StringTable& table, std::uint16_t row, std::uint16_t slot, int which) {
    std::string text;
    table.GetText(row, slot, which, text);
    return text;
}

// Whether two tables hold the same texts; rows missing from one count as empty.
bool SameTexts(const StringTable& a, const StringTable& b) {
    const std::size_t rows = std::max(a.RowCount(), b.RowCount());
    for (std::size_t row = 0; row < rows; ++row)
        for (std::uint16_t slot = 0; slot < StringTable::SlotCount; ++slot)
            for (int which : {StringTable::Value, StringTable::Comment}) {
                const auto r = static_cast<std::uint16_t>(row);
                if (TextAt(a, r, slot, which) != TextAt(b, r, slot, which)) return false;
            }
    for (std::uint8_t code : UnslottedCodes) {
        const std::size_t count = std::max(a.UnslottedRowCount(code), b.UnslottedRowCount(code));
        for (std::size_t row = 0; row < count; ++row)
            for (int which : {StringTable::Value, StringTable::Comment}) {
                std::string x;
                std::string y;
                a.GetUnslottedText(code, static_cast<std::uint16_t>(row), which, x);
                b.GetUnslottedText(code, static_cast<std::uint16_t>(row), which, y);
                if (x != y) return false;
            }
    }
    return true;
}

std::string FormatName(const StringTable& table) {
    if (table.lengthPrefixed) return "length-prefixed";
    if (table.hasLanguage) return "0xFFFD (with languages)";
    if (table.hasComment) return "0xFFFE (values and comments)";
    return "0xFFFF (values only)";
}

// A container read again, in memory, from the bytes of the file the load used.
struct Scratch {
    ChunkStore store;
    IFFFile container{store};
};

Status OpenScratch(Scratch& scratch, const std::vector<std::uint8_t>& bytes) {
    scratch.container.AttachFile(MemoryStream(bytes));
    if (!scratch.container.OpenIFFFile()) return Failure(scratch.container.OpenProblem(), ErrorKind::Damaged);
    scratch.container.LoadAllChunks();
    return {};
}

using ChunkKey = std::pair<ResourceType, std::uint16_t>;
// Every chunk by key, in list order among equal keys.
std::map<ChunkKey, std::vector<const ChunkRecord*>> IndexChunks(const IFFFile& container) {
    std::map<ChunkKey, std::vector<const ChunkRecord*>> index;
    for (ChunkHandle handle : container.Chunks()) {
        const ChunkRecord* record = container.Store().Resolve(handle);
        if (record != nullptr) index[{record->type, record->id}].push_back(record);
    }
    return index;
}

bool SameBytes(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

Finding ChunkFinding(const std::string& file, ResourceType type, std::uint16_t id, const std::string& label,
                     Finding::Kind kind, std::string message) {
    Finding finding;
    finding.kind = kind;
    // Forms are listed but count against nothing.
    finding.severity = kind == Finding::Kind::Form ? Finding::Severity::Note : Finding::Severity::Problem;
    finding.file = file;
    finding.type = TypeName(type);
    finding.id = id;
    finding.label = label;
    finding.message = std::move(message);
    return finding;
}

// Names a changed string table: a table whose texts stay is a form. So is the game's second
// table of job names (id above 1000), which every save keeps in step with the careers' own texts:
// what it held comes from the texts that stay.
Finding TableChange(const std::string& file, const ChunkRecord& old, std::span<const std::uint8_t> now) {
    StringTable before;
    StringTable after;
    const bool read = before.Decode(old.Data());
    if (old.id > CareerSet::JobNamesIdOffset && read && after.Decode(now))
        return ChunkFinding(file, old.type, old.id, old.label, Finding::Kind::Form,
                            "the job names of this table follow the career's own texts, as every save makes them");
    if (!after.Decode(now) || !read || !SameTexts(before, after))
        return ChunkFinding(file, old.type, old.id, old.label, Finding::Kind::Loss,
                            "a save would change the texts of this table");
    std::string message = "the same texts written another way";
    if (FormatName(before) != FormatName(after))
        message = "the table is written in the format " + FormatName(after) + " instead of " + FormatName(before) +
                  "; its texts stay";
    return ChunkFinding(file, old.type, old.id, old.label, Finding::Kind::Form, message);
}

Finding TrackChange(const std::string& file, const ChunkRecord& old, std::span<const std::uint8_t> now) {
    CareerTrack before;
    CareerTrack after;
    const bool read = before.Decode(old.Data());
    if (read && after.Decode(now) && before.name == after.name && before.levels == after.levels)
        return ChunkFinding(file, old.type, old.id, old.label, Finding::Kind::Form,
                            "the same job levels written another way (padding or bytes the game ignores)");
    return ChunkFinding(file, old.type, old.id, old.label, Finding::Kind::Loss,
                        "a save would change the job levels of this career");
}

// Compares the container as read with the container after the store, chunk by chunk; `cardsLost`
// says whether the card code's changes are covered by losses of cards (else they are forms).
void CompareContainers(const std::string& file, const IFFFile& before, IFFFile& after,
                       const std::vector<std::uint8_t>& fileBytes, bool cardsLost, std::vector<Finding>& found) {
    bool anyChunk = false;  // whether any chunk differs, listed or covered by the cards' losses
    const auto old = IndexChunks(before);
    const auto now = IndexChunks(after);
    for (const auto& [key, records] : now) {
        const auto was = old.find(key);
        for (std::size_t k = 0; k < records.size(); ++k) {
            const ChunkRecord& record = *records[k];
            if (was == old.end() || k >= was->second.size()) {
                anyChunk = true;
                found.push_back(ChunkFinding(file, key.first, key.second, record.label, Finding::Kind::Form,
                                             key.first == TypeSTR
                                                 ? "a save adds this table, made from the careers' texts"
                                                 : "a save adds this resource"));
                continue;
            }
            const ChunkRecord& previous = *was->second[k];
            if (SameBytes(previous.Data(), record.Data())) continue;
            anyChunk = true;
            if (key.first == TypeSTR)
                found.push_back(TableChange(file, previous, record.Data()));
            else if (key.first == TypeCARR)
                found.push_back(TrackChange(file, previous, record.Data()));
            else if (key.first == TypeBHAV) {
                if (!cardsLost)
                    found.push_back(ChunkFinding(file, key.first, key.second, previous.label, Finding::Kind::Form,
                                                 "the chance-card code is generated anew; every card stays as it is"));
            } else {
                found.push_back(ChunkFinding(file, key.first, key.second, previous.label, Finding::Kind::Loss,
                                             "a save would change this resource"));
            }
        }
    }
    for (const auto& [key, records] : old) {
        const auto kept = now.find(key);
        const std::size_t keptCount = kept == now.end() ? 0 : kept->second.size();
        for (std::size_t k = keptCount; k < records.size(); ++k) {
            anyChunk = true;
            if (key.first == TypeBHAV && cardsLost) continue;
            const bool form = key.first == TypeBHAV;
            found.push_back(ChunkFinding(file, key.first, key.second, records[k]->label,
                                         form ? Finding::Kind::Form : Finding::Kind::Loss,
                                         form ? "the chance-card code is generated anew without this behaviour; every "
                                                "card stays as it is"
                                              : "a save would drop this resource"));
        }
    }
    if (anyChunk) return;
    // Every chunk the same: the container may still be laid out anew.
    MemoryStream written;
    if (!after.SaveIFFFile(&written)) return;
    if (!SameBytes(written.Bytes(), fileBytes)) {
        Finding finding;
        finding.kind = Finding::Kind::Form;
        finding.severity = Finding::Severity::Note;
        finding.file = file;
        finding.message = "the same resources laid out anew (header, resource map or the place of the chunks)";
        found.push_back(std::move(finding));
    }
}

Finding FileLoss(const std::string& file, const std::string& why) {
    Finding finding;
    finding.kind = Finding::Kind::Loss;
    finding.file = file;
    finding.message = why;
    return finding;
}

std::vector<std::uint8_t> FileBytes(const IFFFile& container) {
    const Stream* file = container.AttachedFile();
    if (file == nullptr) return {};
    return file->Duplicate()->ReadAll();
}

void CareersDifferences(GameContext& context, std::vector<Finding>& found) {
    const std::string& file = context.careersFile;
    if (context.careerSet.careers.empty() || !context.CareersKeptWholeBySave()) return;
    const std::vector<std::uint8_t> bytes = FileBytes(context.careersIFF);
    Scratch before;
    Scratch after;
    if (Status opened = OpenScratch(before, bytes); !opened) return found.push_back(FileLoss(file, opened.Reason()));
    if (Status opened = OpenScratch(after, bytes); !opened) return found.push_back(FileLoss(file, opened.Reason()));
    // The copy's resources are bound to the copy of the container, as the load bound the originals.
    CareerSet copy = context.careerSet;
    for (Career& career : copy.careers) {
        after.container.FindChunk(career.track.handle, TypeCARR, career.id);
        after.container.FindChunk(career.texts.table.handle, TypeSTR, career.id);
    }
    if (Status stored = copy.StoreCareers(after.container); !stored)
        return found.push_back(FileLoss(file, "a save would fail: " + stored.Reason()));
    CompareContainers(file, before.container, after.container, bytes, false, found);
}

// A card's items in the order a save's code runs them: the sound first, then the others in their
// own order.
std::vector<CardItem> SoundFirst(std::vector<CardItem> items) {
    std::stable_partition(items.begin(), items.end(),
                          [](const CardItem& item) { return item.kind == CardItemKind::Sound; });
    return items;
}

// The cards as a save would write them, read back, against the cards as loaded. Items that only
// come back in another order are a form, listed in `found` as such.
bool CardLosses(const CareerSet& loaded, IFFFile& written, std::vector<Finding>& found) {
    CareerSet reread = loaded;
    bool lost = false;
    auto loss = [&](std::optional<std::uint16_t> career, std::optional<std::uint32_t> level, std::string message) {
        Finding finding = FileLoss(CardsFile, std::move(message));
        finding.career = career;
        finding.level = level;
        finding.field = "chance card";
        found.push_back(std::move(finding));
        lost = true;
    };
    if (Status read = reread.LoadChanceCards(written); !read) {
        loss(std::nullopt, std::nullopt, "the chance cards a save would write cannot be read back: " + read.Reason());
        return true;
    }
    for (std::size_t index = 0; index < loaded.careers.size(); ++index) {
        const Career& career = loaded.careers[index];
        for (std::uint32_t level = 0; level < Career::CardCount; ++level) {
            const ChanceCard& was = career.cards[level];
            const ChanceCard& now = reread.careers[index].cards[level];
            if (was == now) continue;
            if (was.textRow == now.textRow && SoundFirst(was.items) == now.items) {
                Finding form = FileLoss(CardsFile, "the effects of the chance card of level " + std::to_string(level) +
                                                       " of " + loaded.CareerName(index) +
                                                       " are written in another order, the sound first; they stay");
                form.kind = Finding::Kind::Form;
                form.severity = Finding::Severity::Note;
                form.career = career.id;
                form.level = level;
                form.field = "chance card";
                found.push_back(std::move(form));
                continue;
            }
            std::string message = "a save would change the chance card of level " + std::to_string(level) + " of " +
                                  loaded.CareerName(index);
            if (was.items == now.items && was.textRow != now.textRow)
                message += ": its text row " + std::to_string(was.textRow) + " would become " +
                           std::to_string(now.textRow) +
                           (was.items.empty() ? " (a card without effects gives up its text)" : "");
            else
                message += ": " + std::to_string(was.items.size()) + " effects would become " +
                           std::to_string(now.items.size());
            loss(career.id, level, message);
        }
    }
    if (reread.otherCards != loaded.otherCards)
        loss(std::nullopt, std::nullopt,
             "a save would change the chance cards of careers this careers file does not hold");
    return lost;
}

void CardsDifferences(GameContext& context, std::vector<Finding>& found) {
    if (context.chanceCardsDisabled != 0 || context.chanceCardsIFF.AttachedFile() == nullptr) return;
    const std::vector<std::uint8_t> bytes = FileBytes(context.chanceCardsIFF);
    Scratch before;
    Scratch after;
    if (Status opened = OpenScratch(before, bytes); !opened)
        return found.push_back(FileLoss(CardsFile, opened.Reason()));
    if (Status opened = OpenScratch(after, bytes); !opened)
        return found.push_back(FileLoss(CardsFile, opened.Reason()));
    CareerSet copy = context.careerSet;
    after.container.FindChunk(copy.cardTexts.table.handle, TypeSTR, CardTexts::TableId);
    if (Status stored = copy.StoreChanceCards(after.container); !stored)
        return found.push_back(FileLoss(CardsFile, "a save would fail: " + stored.Reason()));
    std::vector<Finding> losses;
    const bool lost = CardLosses(context.careerSet, after.container, losses);
    CompareContainers(CardsFile, before.container, after.container, bytes, lost, found);
    found.insert(found.end(), losses.begin(), losses.end());
}

std::string RelativeName(const GameContext& context, const GameFileSource& source) {
    const std::filesystem::path relative = source.path.lexically_relative(PathFromBytes(context.gameFolder));
    return relative.empty() ? PathText(source.path) : PathText(relative.generic_string());
}

void StripDifference(const GameContext& context, const Stream* file, const GameFileSource& source,
                     const BitmapHeaders& headers, std::vector<Finding>& found) {
    if (file == nullptr) return;
    const std::unique_ptr<Stream> stream = file->Duplicate();
    stream->Seek(0);
    if (ReadCanonicalBitmapFile(*stream)) return;
    // Bits per pixel and compression, from the information header (see BitmapFile.h).
    const unsigned bits = headers.info[14] | (headers.info[15] << 8);
    const unsigned compression = headers.info[16];
    Finding finding;
    finding.kind = Finding::Kind::Form;
    finding.severity = Finding::Severity::Note;
    finding.file = RelativeName(context, source);
    finding.type = "BMP";
    finding.message = "the strip is stored at " + std::to_string(bits) + " bits per pixel" +
                      (compression != 0 ? " (compressed)" : "") +
                      "; a save writes it as an uncompressed 24-bit one with the same pixels";
    found.push_back(std::move(finding));
}

}  // namespace

std::vector<Finding> SaveDifferences(GameContext& context) {
    std::vector<Finding> found;
    // Reading the files again may fail like any read; what fails is named, never thrown on.
    auto guarded = [&](const std::string& file, auto step) {
        try {
            step();
        } catch (const FileError& e) {
            found.push_back(FileLoss(file, std::string("the file cannot be read again: ") + e.what()));
        } catch (const std::bad_alloc&) {
            found.push_back(FileLoss(file, "not enough memory to compare what a save would write"));
        }
    };
    guarded(context.careersFile, [&] { CareersDifferences(context, found); });
    guarded(CardsFile, [&] { CardsDifferences(context, found); });
    guarded(RelativeName(context, context.buttonsSource), [&] {
        StripDifference(context, context.buttonsBitmapFile.get(), context.buttonsSource,
                        context.iconStrips.ButtonHeaders(), found);
    });
    guarded(RelativeName(context, context.popupSource), [&] {
        StripDifference(context, context.popupBitmapFile.get(), context.popupSource, context.iconStrips.PopupHeaders(),
                        found);
    });
    return found;
}

}  // namespace tw
