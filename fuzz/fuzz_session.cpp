// Editing sessions on a whole installation: a random sequence of every edit that a session offers
// (texts in every slot, Set All, job details, chance cards and their items, icons, import and
// restore of exchange files, export, documents of `apply`, pasted levels, translations of one
// text, copies of one text to every language, imports of PO files), undo and redo at random points,
// saves through a file layer that fails where the input says, and reloads.
//
// Each input starts from a fresh copy of one of two installations made once per process in a
// temporary folder: the sample as written (some files only inside archives), and the sample saved
// once with texts in languages that have no slot. The state and kept-originals folders lie beside
// it. The input is a sequence of steps, each an operation byte and the bytes it reads; an input
// that ends reads zeros. At most MaxSteps steps and MaxSaves saves run per input, so that an
// input stays fast. With TW_FUZZ_TRACE set, every step and message is written to standard error;
// at its end the process writes how many inputs, steps, saves and reloads it ran.
//
// What must hold:
// - After every step the model is the one of its point in the history: an edit's new state, or
//   the state that an undo or redo goes back to. At the end of each input and before each save
//   the whole history is walked: undoing everything gives the model as first loaded (or as last
//   reloaded), redoing everything the last one.
// - Whether the session counts the model as unsaved follows the history's clean point.
// - A save that succeeds, with its reload, gives the same dump as the model it saved, apart from
//   what the save makes of the model (its normalizations):
//     * a chance card without items is not written, so it comes back without its text row;
//     * the items of a card come back in the order the card's code runs them: the sound first,
//       then the others in their own order;
//     * a string table comes back as its encoding reads: a language slot whose texts are all
//       empty has no group, so a table whose slots are all empty comes back without rows (texts
//       would also end at their first NUL, but no caller of the session gives one: the fields
//       cannot hold it, and `apply` refuses U+0000);
//     * the free card text rows are worked out anew from the code: exactly the rows that neither
//       a card with items nor code other than the cards names are free, where a card's dialog
//       instruction also names rows 4 and 44 (two of its other operand bytes) and, from row 256
//       up, the row's high byte.
//   Once a save has normalized the model, a later undo or redo may bring back either form of
//   what it holds, so from then on the history compares the normalized forms.
//   A reload gives the model of the files as last loaded or saved.
// - A save that an injected fault fails leaves every file of the game folder as it was (names,
//   bytes and permission bits), and the model and its history as they were. A save fails only by
//   an injected fault, and then tells the person.
// - A save that no fault touched leaves nothing of its own in the game folder.
#include "cli/ModelDump.h"
#include "edit/EditSession.h"
#include "edit/TranslatableTexts.h"
#include "edit/TranslationCatalog.h"
#include "exchange/CareerExport.h"
#include "gamefiles/GameLoad.h"
#include "model/CardItemFields.h"
#include "sample/SampleInstallation.h"
#include "text/TextCodec.h"
#include "support/FaultyFileSystem.h"
#include "util/ByteReader.h"
#include "util/HostPath.h"
#include "util/JsonReader.h"
#include "util/RandomName.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace tw;

constexpr int MaxSteps = 24;
constexpr int MaxSaves = 3;
constexpr std::uint32_t ExportSlots = 2;

// A property that does not hold names its line, then stops the run.
void Check(bool holds, unsigned line = __builtin_LINE()) {
    if (holds) return;
    std::fprintf(stderr, "fuzz_session: the check on line %u does not hold\n", line);
    __builtin_trap();
}

// With TW_FUZZ_TRACE set, each step is written to standard error, to follow a finding.
void Trace(const std::string& what) {
    static const bool on = std::getenv("TW_FUZZ_TRACE") != nullptr;
    if (on) std::fprintf(stderr, "fuzz_session: %s\n", what.c_str());
}

// The bytes of the input, read from the front; zeros once it has ended.
class Input {
public:
    explicit Input(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool Done() const { return at_ >= bytes_.size(); }
    std::uint8_t Byte() { return at_ < bytes_.size() ? bytes_[at_++] : 0; }
    std::uint32_t Below(std::uint32_t bound) { return bound == 0 ? 0 : Byte() % bound; }
    std::uint16_t U16() {
        const std::uint8_t low = Byte();
        return static_cast<std::uint16_t>(low | Byte() << 8);
    }
    std::uint32_t U32() {
        const std::uint16_t low = U16();
        return low | static_cast<std::uint32_t>(U16()) << 16;
    }
    // A signed number of any width: 32 bits shifted right by 0 to 31.
    std::int32_t Number() {
        const auto bits = static_cast<std::int32_t>(U32());
        return bits >> Below(32);
    }

    // A text of the game's single-byte code page, without NUL: empty, a few bytes of the input,
    // bytes from the upper half, or 8000 characters.
    std::string Text() {
        const std::uint8_t kind = Byte();
        std::string text;
        switch (kind & 3) {
            case 0: break;
            case 1:
                for (std::uint8_t n = kind >> 2 & 15; n > 0; --n) text += static_cast<char>(std::max<std::uint8_t>(Byte(), 1));
                break;
            case 2:
                for (std::uint8_t n = (kind >> 2 & 7) + 1; n > 0; --n) text += static_cast<char>(0x80 | Byte());
                break;
            default: text.assign(8000, static_cast<char>('a' + (kind >> 2) % 26)); break;
        }
        return text;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

// The person, as the input scripts them: answers and choices queued before each step; a plain
// message needs no answer, and a question or choice that finds its queue empty is answered No or
// cancelled. Messages are kept until the next step.
class FuzzPort final : public UserPort {
public:
    std::vector<Answer> answers;
    std::vector<std::optional<fs::path>> files;
    std::vector<std::optional<std::uint32_t>> careers;
    std::vector<Message> shown;

    void Clear() {
        answers.clear();
        files.clear();
        careers.clear();
        shown.clear();
    }
    Answer Ask(const Message& message) override {
        shown.push_back(message);
        if (message.buttons == MessageButtons::Ok) return Answer::Ok;
        return Take(answers).value_or(Answer::No);
    }
    std::optional<fs::path> ChooseOpenFile(const FileChoice&) override { return Take(files).value_or(std::nullopt); }
    std::optional<fs::path> ChooseSaveFile(const FileChoice&) override { return Take(files).value_or(std::nullopt); }
    std::string ApplicationName() const override { return "trackwright"; }
    std::optional<std::uint32_t> ChooseCareerToReplace(const CareerSet&, std::optional<std::uint32_t>) override {
        return Take(careers).value_or(std::nullopt);
    }
    std::optional<fs::path> ChooseFolder(const std::string&) override { return std::nullopt; }
    void ShowStatus(const std::string&) override {}

private:
    template <typename T>
    static std::optional<T> Take(std::vector<T>& queue) {
        if (queue.empty()) return std::nullopt;
        T first = std::move(queue.front());
        queue.erase(queue.begin());
        return first;
    }
};

int LoadWith(GameContext& context, UserPort& port) {
    LoadRequest request(context.gameFolder);
    LoadGameFiles(context, request, port);
    return request.result.load();
}

// Every file below `folder`: its path, permission bits and bytes.
std::map<std::string, std::pair<fs::perms, std::string>> FilesOf(const fs::path& folder) {
    std::map<std::string, std::pair<fs::perms, std::string>> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_directory()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path().lexically_relative(folder).generic_string()] = {
            fs::symlink_status(entry.path()).permissions(), {std::istreambuf_iterator<char>(in), {}}};
    }
    return files;
}

// Whether `name` (relative to the game folder) is a name a save gives its own files beside a game
// file: a new file not yet moved into place, or an old one kept until the commit is whole.
bool IsSavesOwn(const std::string& name) {
    const fs::path path(name);
    const std::string file = path.filename().string();
    const std::size_t tag = file.find(".tw-");
    if (!file.starts_with('.') || tag == std::string::npos) return false;
    const fs::path target = path.parent_path() / file.substr(1, tag - 1);
    return tw::IsFreshNameBeside(path, target, ".old") || tw::IsFreshNameBeside(path, target, ".new");
}

void Copy(const fs::path& from, const fs::path& to) {
    std::error_code ignored;
    fs::remove_all(to, ignored);
    fs::copy(from, to, fs::copy_options::recursive);
}

// The folders of this process, made once: two installations to start from, and exchange files
// to import.
struct World {
    fs::path root;
    fs::path plain;       // the sample as written: some files only inside archives
    fs::path prepared;    // the sample saved once, with texts in languages that have no slot
    fs::path game, state, originals, exchange;
    std::vector<fs::path> imports;  // tracks, backups, a file that is no container, the exports

    World() {
        std::string name = (fs::temp_directory_path() / "tw-fuzz-session-XXXXXX").string();
        if (mkdtemp(name.data()) == nullptr) std::abort();
        root = name;
        plain = root / "plain";
        prepared = root / "prepared";
        game = root / "game";
        state = root / "state";
        originals = root / "originals";
        exchange = root / "exchange";
        fs::create_directories(exchange);
        if (!WriteSampleInstallation(plain).Ok()) std::abort();
        Prepare();
    }
    ~World() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    // The game folder a fresh copy of `from`, with no state, kept originals or exports yet.
    void Fresh(const fs::path& from) {
        Copy(from, game);
        std::error_code ignored;
        fs::remove_all(state, ignored);
        fs::remove_all(originals, ignored);
        for (std::uint32_t slot = 0; slot < ExportSlots; ++slot) fs::remove(ExportSlot(slot), ignored);
    }
    fs::path ExportSlot(std::uint32_t slot) const { return exchange / ("export-" + std::to_string(slot) + ".iff"); }

private:
    // Exchange files from both installations, and the prepared installation: the sample saved
    // once, with two careers holding texts in languages without a slot, as a game's files may.
    void Prepare() {
        test::FaultyFileSystem files;
        FuzzPort port;
        for (const fs::path& from : {plain, prepared}) {
            Fresh(plain);
            EditSession session;
            GameContext& context = session.Context();
            context.gameFolder = BytesFromPath(game).value();
            context.installationOptions.stateRoot = state;
            context.installationOptions.originalsRoot = originals;
            context.installationOptions.files = &files;
            if (!context.TakeInstallation(Installation::Intent::Write)) std::abort();
            if (session.Load([&](GameContext& c) { return LoadWith(c, port); }) != LoadRequest::Loaded) std::abort();
            const std::string tag = from == plain ? "plain" : "prepared";
            if (from == prepared) {
                for (std::uint32_t career : {0u, 5u}) AddUnslottedLanguages(context.careerSet.careers.at(career).texts.table);
                if (!session.Save(port, [&] { return session.Reload([&](GameContext& c) { return LoadWith(c, port); }); })
                         .saved)
                    std::abort();
                context.installation.reset();
                Copy(game, prepared);
            }
            for (std::uint32_t career : {0u, 4u, 9u}) {
                const fs::path track = exchange / (tag + "-track-" + std::to_string(career) + ".iff");
                if (!ExportCareerToFile(track, career, context.careerSet, context.iconStrips, port)) std::abort();
                imports.push_back(track);
            }
            const fs::path backup = exchange / (tag + "-backup.iff");
            if (!BackupToFile(backup, context.careerSet, context.iconStrips, port)) std::abort();
            imports.push_back(backup);
        }
        const fs::path junk = exchange / "junk.iff";
        std::ofstream(junk, std::ios::binary) << "IFF FILE 2.5:TYPE FOLLOWING+SIZE" << std::string(40, '\0');
        imports.push_back(junk);
        for (std::uint32_t slot = 0; slot < ExportSlots; ++slot) imports.push_back(ExportSlot(slot));
    }

    // Gives a table the groups of codes 8 (shorter than the table) and 12 (longer).
    static void AddUnslottedLanguages(StringTable& table) {
        std::vector<std::uint8_t> bytes;
        if (!table.Encode(bytes) || !table.hasLanguage) std::abort();
        std::size_t count = static_cast<std::size_t>(bytes[2] | bytes[3] << 8);
        auto entry = [&](std::uint8_t code, const std::string& value, const std::string& comment) {
            bytes.push_back(code);
            bytes.insert(bytes.end(), value.begin(), value.end());
            bytes.push_back(0);
            bytes.insert(bytes.end(), comment.begin(), comment.end());
            bytes.push_back(0);
            ++count;
        };
        entry(8, "eight", "a comment");
        entry(8, "", "");
        for (int row = 0; row < 40; ++row) entry(12, row % 3 == 0 ? "twelve " + std::to_string(row) : "", "");
        bytes[2] = static_cast<std::uint8_t>(count);
        bytes[3] = static_cast<std::uint8_t>(count >> 8);
        if (!table.Decode(bytes)) std::abort();
    }
};

World& TheWorld() {
    static World world;
    return world;
}

// What the runs of this process did, written at its end: for reports of long runs.
struct Totals {
    std::uint64_t inputs = 0, steps = 0, saves = 0, failedSaves = 0, normalizingSaves = 0, reloads = 0;
    ~Totals() {
        std::fprintf(stderr,
                     "fuzz_session: %llu inputs, %llu steps, %llu saves (%llu failed by an injected fault, %llu "
                     "normalized the model), %llu reloads\n",
                     static_cast<unsigned long long>(inputs), static_cast<unsigned long long>(steps),
                     static_cast<unsigned long long>(saves), static_cast<unsigned long long>(failedSaves),
                     static_cast<unsigned long long>(normalizingSaves), static_cast<unsigned long long>(reloads));
    }
};
Totals totals;

// --- The model as text ----------------------------------------------------------------------

std::size_t PixelDigest(const IconStrips& strips) {
    std::size_t digest = 0;
    for (const Bitmap* strip : {&strips.PopupStrip(), &strips.ButtonStrip()}) {
        const std::string_view bytes(reinterpret_cast<const char*>(strip->pixels.data()),
                                     strip->pixels.size() * sizeof(std::uint32_t));
        digest = digest * 31 + std::hash<std::string_view>{}(bytes) + static_cast<std::size_t>(strip->width);
    }
    return digest;
}

// The model as `dump` prints it, and a digest of the icons' pixels.
std::string Dump(const CareerSet& careers, const IconStrips& icons, bool cardsDisabled) {
    cli::DumpInput input;
    input.careers = &careers;
    input.icons = &icons;
    input.chanceCardsDisabled = cardsDisabled;
    return cli::DumpJson(input) + std::to_string(PixelDigest(icons));
}

void PutNumber(std::string& out, std::uint64_t number) {
    out.append(reinterpret_cast<const char*>(&number), sizeof number);
}

// The resource's data, encoded from a copy (encoding may adjust a copy's format flags).
template <typename Resource>
std::vector<std::uint8_t> Encoded(const Resource& resource) {
    Resource copy = resource;
    std::vector<std::uint8_t> bytes;
    if (!copy.Encode(bytes)) bytes.clear();
    return bytes;
}

// A string table as a save writes it and a reload reads it back: texts end at their first NUL,
// a slot whose texts are all empty is not written, and a table without any such group comes
// back without rows.
StringTable SavedTable(const StringTable& table) {
    StringTable saved = table;
    const std::vector<std::uint8_t> bytes = Encoded(table);
    Check(saved.Decode(bytes));
    return saved;
}

// The model as a save and its reload make it (see the list at the top), without the free card
// text rows.
CareerSet Normalized(const CareerSet& careers) {
    CareerSet set = careers;
    for (Career& career : set.careers) {
        for (ChanceCard& card : career.cards) {
            if (card.items.empty()) card.textRow = 0;
            std::stable_partition(card.items.begin(), card.items.end(),
                                  [](const CardItem& item) { return item.kind == CardItemKind::Sound; });
        }
        career.texts.table = SavedTable(career.texts.table);
    }
    set.cardTexts.table = SavedTable(set.cardTexts.table);
    for (std::uint16_t row = 0; row <= CardTexts::FlaggedRows; ++row) set.cardTexts.SetFree(row, false);
    return set;
}

std::uint64_t HashOf(const std::vector<std::uint8_t>& bytes) {
    return std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// Everything of the model that a person can change, more of it than the dump shows (the texts of
// languages without a slot, the tables' formats), and quicker to make: the history keeps one per
// step, as the model is and as a save would make it (Normalized). Encoded resources stand as
// their hashes.
struct Digests {
    std::string raw;
    std::string normalized;
};

Digests DigestOf(const CareerSet& careers, const IconStrips& icons, bool cardsDisabled) {
    Digests d;
    auto both = [&d](auto&&... put) {
        for (std::string* out : {&d.raw, &d.normalized}) (put(*out), ...);
    };
    auto table = [&](const StringTable& texts) {
        StringTable copy = texts;
        std::vector<std::uint8_t> bytes;
        if (!copy.Encode(bytes)) bytes.clear();
        PutNumber(d.raw, texts.RowCount());
        // The rows come back only with an entry of some slot: one beyond the languages without.
        std::size_t entries = 0;
        if (bytes.size() >= 4) entries = copy.lengthPrefixed ? LoadU16Be(bytes.data()) : LoadU16Le(bytes.data() + 2);
        if (copy.hasLanguage)
            for (int code : {8, 10, 11, 12, 13}) entries -= copy.UnslottedRowCount(static_cast<std::uint8_t>(code));
        PutNumber(d.normalized, entries > 0 ? texts.RowCount() : 0);
        both([&](std::string& out) { PutNumber(out, HashOf(bytes)); });
    };
    both([&](std::string& out) { PutNumber(out, cardsDisabled ? 1 : 0); });
    for (const Career& career : careers.careers) {
        const std::vector<std::uint8_t> track = Encoded(career.track);
        both([&](std::string& out) {
            PutNumber(out, career.id);
            PutNumber(out, HashOf(track));
        });
        table(career.texts.table);
        for (const ChanceCard& card : career.cards) {
            std::vector<CardItem> compiled = card.items;
            const std::vector<CardItem>& asIs = card.items;
            const std::vector<CardItem>& inCodeOrder = compiled;
            std::stable_partition(compiled.begin(), compiled.end(),
                                  [](const CardItem& item) { return item.kind == CardItemKind::Sound; });
            PutNumber(d.raw, card.textRow);
            PutNumber(d.normalized, card.items.empty() ? 0 : card.textRow);
            for (const auto& [out, items] : {std::pair{&d.raw, &asIs}, std::pair{&d.normalized, &inCodeOrder}}) {
                PutNumber(*out, items->size());
                for (const CardItem& item : *items) {
                    PutNumber(*out, item.kind);
                    PutNumber(*out, item.parameter);
                    PutNumber(*out, item.value);
                }
            }
        }
    }
    table(careers.cardTexts.table);
    for (std::uint16_t row = 0; row <= CardTexts::FlaggedRows; ++row) d.raw += careers.cardTexts.IsFree(row) ? '1' : '0';
    both([&](std::string& out) { PutNumber(out, PixelDigest(icons)); });
    return d;
}

// The rows that a card's code names besides its text row's own number.
std::set<std::uint16_t> NamedRows(const CareerSet& careers) {
    std::set<std::uint16_t> named;
    for (const Career& career : careers.careers)
        for (const ChanceCard& card : career.cards) {
            if (card.items.empty()) continue;
            named.insert({4, 0x2C, static_cast<std::uint16_t>(card.textRow & 0xFF),
                          static_cast<std::uint16_t>(card.textRow >> 8)});
        }
    return named;
}

// --- Documents of `apply` ----------------------------------------------------------------------

// One step of a path into a document: a member's key, or an item's index.
struct PathStep {
    std::string key;
    std::size_t index = 0;
};

// `value` with the value at `path` replaced by what `change` makes of it (a missing member or an
// item one past the end is added).
JsonValue Changed(const JsonValue& value, std::span<const PathStep> path,
                  const std::function<JsonValue(const JsonValue&)>& change) {
    if (path.empty()) return change(value);
    const PathStep& step = path.front();
    if (step.key.empty()) {
        std::vector<JsonValue> items = value.Items();
        if (step.index < items.size())
            items[step.index] = Changed(items[step.index], path.subspan(1), change);
        else
            items.push_back(Changed(JsonValue(), path.subspan(1), change));
        return JsonValue::Array(std::move(items));
    }
    std::vector<JsonMember> members = value.Members();
    bool found = false;
    for (JsonMember& member : members) {
        if (member.key != step.key || found) continue;
        member.value = Changed(member.value, path.subspan(1), change);
        found = true;
    }
    if (!found) members.push_back({step.key, Changed(JsonValue(), path.subspan(1), change)});
    return JsonValue::Object(std::move(members));
}

// A byte string as a document holds it: each byte the character with the same number.
JsonValue ByteText(const std::string& bytes) {
    std::string utf8;
    for (const char c : bytes) {
        const auto b = static_cast<std::uint8_t>(c);
        if (b < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | b >> 6);
            utf8 += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return JsonValue::String(utf8);
}

std::vector<CardItem> MakeItems(Input& in);

// The current dump with up to three changes from the input; some of them are refused.
JsonValue MakeDocument(Input& in, const EditSession& session) {
    cli::DumpInput dump;
    dump.careers = &session.Careers();
    dump.icons = &session.Context().iconStrips;
    dump.chanceCardsDisabled = session.ChanceCardsDisabled();
    Expected<JsonValue> document = ParseJson(cli::DumpJson(dump));
    Check(document.Ok());
    const std::size_t careers = session.Careers().Count();
    for (std::uint8_t changes = in.Byte() % 4; changes > 0; --changes) {
        const std::uint8_t kind = in.Byte();
        const std::size_t c = in.Below(static_cast<std::uint32_t>(careers));
        const std::size_t level = in.Below(10);
        std::vector<PathStep> path = {{"careers"}, {"", c}};
        JsonValue to;
        switch (kind % 9) {
            case 0:
                path.push_back({"name"});
                to = ByteText(in.Text());
                break;
            case 1:
                path.insert(path.end(), {{"levels"}, {"", level}, {"values"}, {"", in.Below(21)}});
                to = JsonValue::Integer(in.Number());
                break;
            case 2:
                path.insert(path.end(), {{"levels"}, {"", level}, {"texts"}, {"", in.Below(5)}});
                to = ByteText(in.Text());
                break;
            case 3:
            case 7: {
                // A text of a career's table or of the card texts, appended to the entries.
                if (kind % 9 == 7) path = {{"cardTexts"}};
                else path.push_back({"strings"});
                path.insert(path.end(), {{"entries"}, {"", SIZE_MAX}});
                std::vector<JsonMember> entry;
                entry.push_back({"row", JsonValue::Integer(in.Byte() % 40)});
                entry.push_back({"slot", JsonValue::Integer(in.Below(16))});
                entry.push_back({"value", ByteText(in.Text())});
                entry.push_back({"comment", ByteText(in.Below(4) == 0 ? in.Text() : std::string())});
                to = JsonValue::Object(std::move(entry));
                break;
            }
            case 4: {
                path.insert(path.end(), {{"strings"}, {"rows"}});
                const std::uint32_t more = in.Below(3);
                document = Changed(*document, path, [more](const JsonValue& rows) {
                    return JsonValue::Integer(rows.IntegerAs<std::int64_t>().value_or(0) + more);
                });
                continue;
            }
            case 5: {
                path.insert(path.end(), {{"cards"}, {"", level}, {"items"}});
                std::vector<JsonValue> items;
                for (const CardItem& item : MakeItems(in))
                    items.push_back(JsonValue::Array({JsonValue::Integer(item.kind), JsonValue::Integer(item.parameter),
                                                      JsonValue::Integer(item.value)}));
                to = JsonValue::Array(std::move(items));
                break;
            }
            case 6:
                path.insert(path.end(), {{"cards"}, {"", level}, {"textRow"}});
                to = JsonValue::Integer(in.Below(2) == 0 ? 0 : in.U16() % 310);
                break;
            default: {
                // A free row more, or one fewer.
                const std::uint16_t row = static_cast<std::uint16_t>(1 + in.U16() % 300);
                document = Changed(*document, std::vector<PathStep>{{"freeCardTextRows"}}, [row](const JsonValue& rows) {
                    std::vector<JsonValue> items;
                    bool had = false;
                    for (const JsonValue& item : rows.Items()) {
                        if (item.IntegerAs<std::uint16_t>() == row) had = true;
                        else items.push_back(item);
                    }
                    if (!had) items.push_back(JsonValue::Integer(row));
                    std::sort(items.begin(), items.end(), [](const JsonValue& a, const JsonValue& b) {
                        return a.IntegerAs<std::int64_t>() < b.IntegerAs<std::int64_t>();
                    });
                    return JsonValue::Array(std::move(items));
                });
                continue;
            }
        }
        document = Changed(*document, path, [&to](const JsonValue&) { return to; });
    }
    return *document;
}

// Items as the card dialog makes them: each kind with its controls' ranges, and mostly one
// sound. A list with no sound, or two, is refused by `apply` and not offered to the session.
std::vector<CardItem> MakeItems(Input& in) {
    std::vector<CardItem> items;
    const std::uint8_t shape = in.Byte();
    const std::uint32_t count = shape & 3;
    for (std::uint32_t i = 0; i < count; ++i) {
        CardItemFields fields = GroupDefaults(1 + in.Below(3));
        fields.budgetOperation = in.Below(2);
        fields.budgetAmount = in.U16();
        fields.skill = static_cast<int>(in.Below(6));
        fields.skillOperation = in.Below(2);
        fields.skillAmount = static_cast<std::int32_t>(in.U16() % 1001);
        fields.jobTarget = in.Below(2);
        fields.jobValue = static_cast<std::int32_t>(in.U16() % 1001);
        items.push_back(ItemFromFields(fields, CardItem{}));
    }
    if (count > 0 || (shape & 4) != 0) {
        CardItemFields sound = GroupDefaults(CardItemKind::Sound);
        sound.sound = in.Below(2);
        items.insert(items.begin() + in.Below(static_cast<std::uint32_t>(items.size() + 1)),
                     ItemFromFields(sound, CardItem{}));
    }
    if ((shape & 8) != 0 && !items.empty()) items.push_back(items.front());  // perhaps a second sound
    return items;
}

// --- The session ----------------------------------------------------------------------------

class Run {
public:
    explicit Run(std::span<const std::uint8_t> data) : in_(data) {}

    void Go() {
        World& world = TheWorld();
        world.Fresh(in_.Byte() % 2 == 0 ? world.plain : world.prepared);
        GameContext& context = session_.Context();
        context.gameFolder = BytesFromPath(world.game).value();
        context.installationOptions.stateRoot = world.state;
        context.installationOptions.originalsRoot = world.originals;
        context.installationOptions.files = &files_;
        Check(static_cast<bool>(context.TakeInstallation(Installation::Intent::Write)));
        Check(session_.Load([this](GameContext& c) { return LoadWith(c, port_); }) == LoadRequest::Loaded);
        Restart();
        filesState_ = states_[0].raw;
        // The rows that code other than the cards' names: never free after a load.
        const CareerSet& loaded = session_.Careers();
        const std::set<std::uint16_t> named = NamedRows(loaded);
        for (std::uint16_t row = 1; row <= CardTexts::FlaggedRows; ++row)
            if (!loaded.cardTexts.IsFree(row) && named.count(row) == 0) namedElsewhere_.insert(row);

        ++totals.inputs;
        for (int step = 0; step < MaxSteps && !in_.Done(); ++step) {
            ++totals.steps;
            port_.Clear();
            const std::uint8_t operation = in_.Byte();
            Trace("step " + std::to_string(step) + ": operation " + std::to_string(operation % 16));
            Step(operation);
            for (const Message& message : port_.shown) Trace("  " + message.title + ": " + message.text);
            port_.Clear();
            // One digest per step: that of an edit's new state, and the check of every other.
            Digests now = Now();
            if (stale_) states_[at_] = now;
            stale_ = false;
            Check(Matches(now, states_[at_]));
            current_ = std::move(now);
            Check(session_.HasUnsavedChanges() != (clean_ == at_));
        }
        WalkHistory();
    }

private:
    Digests Now() const {
        return DigestOf(session_.Careers(), session_.Context().iconStrips, session_.ChanceCardsDisabled());
    }
    std::string DumpNow() const {
        return Dump(session_.Careers(), session_.Context().iconStrips, session_.ChanceCardsDisabled());
    }
    std::string DumpNormalized() const {
        return Dump(Normalized(session_.Careers()), session_.Context().iconStrips, session_.ChanceCardsDisabled());
    }
    // Whether the model is `state`. Once a save has changed the model by its normalizations, a
    // step of the history may bring back either form of each part it holds: from then on only
    // the normalized forms compare.
    bool Matches(const Digests& now, const Digests& state) const {
        return normalizedStates_ ? now.normalized == state.normalized : now.raw == state.raw;
    }
    bool IsAt(const Digests& state) const { return Matches(Now(), state); }
    // A history begins: after the load and after each reload.
    void Restart() {
        states_ = {Now()};
        current_ = states_[0];
        at_ = 0;
        clean_ = 0;
        typing_.clear();
        normalizedStates_ = false;
    }
    int Reload() {
        return session_.Reload([this](GameContext& c) { return LoadWith(c, port_); });
    }
    // A career of the game, or the one after the last.
    std::uint32_t PickCareer() { return in_.Below(static_cast<std::uint32_t>(session_.Careers().Count() + 1)); }

    // An edit that reports `changed`: a new step, or part of the last one while typing goes on
    // in the same text (`key`). The state it left is taken when the step is over.
    void Edited(bool changed, const std::string& key = {}) {
        if (!changed) return;
        stale_ = true;
        if (!key.empty() && key == typing_ && clean_ != at_) return;
        states_.resize(at_ + 1);
        if (clean_ && *clean_ > at_) clean_.reset();
        states_.emplace_back();
        ++at_;
        typing_ = key;
    }

    void Step(std::uint8_t operation) {
        using Text = CareerTexts::Text;
        switch (operation % 16) {
            case 0:
            case 1: {
                const std::uint32_t career = PickCareer();
                const auto text = static_cast<Text>(in_.Below(6));
                const std::uint32_t level = in_.Below(11);
                const auto slot = static_cast<std::uint16_t>(in_.Below(16));
                const std::string bytes = in_.Text();
                const std::optional<std::uint16_t> row = CareerTexts::Row(text, level);
                const std::string key = row ? "text " + std::to_string(career) + " " + std::to_string(*row) + " " +
                                                  std::to_string(slot)
                                            : std::string();
                Edited(session_.SetText(career, text, level, slot, bytes), key);
                if (operation & 0x10) {
                    session_.EndTyping();
                    typing_.clear();
                }
                break;
            }
            case 2: {
                const std::uint32_t career = PickCareer();
                Edited(session_.SetInternalName(career, in_.Text()), "name " + std::to_string(career));
                break;
            }
            case 3: {
                const std::uint32_t career = PickCareer();
                const std::uint32_t level = in_.Below(11);
                const tw::Career* found = session_.CareerAt(career);
                JobLevel job = found != nullptr && level < found->LevelCount() ? found->track.levels[level] : JobLevel{};
                for (std::uint8_t n = in_.Byte() % 4; n > 0; --n) {
                    const std::uint32_t value = in_.Below(static_cast<std::uint32_t>(JobLevel::ValueCount));
                    job.values[value] = in_.Number();
                    const std::uint32_t text = in_.Below(static_cast<std::uint32_t>(JobLevel::TextCount));
                    job.texts[text] = in_.Text();
                }
                Edited(session_.SetJobLevel(career, level, job));
                break;
            }
            case 4: {
                const std::uint32_t career = PickCareer();
                const std::uint32_t level = in_.Below(11);
                const std::vector<CardItem> items = MakeItems(in_);
                const std::string text = in_.Text();
                const auto slot = static_cast<std::uint16_t>(in_.Below(16));
                // The dialog lets only a list with one sound, or none, through.
                if (CardItemsProblem(items)) break;
                // A card confirmed as it was is no step, though the call succeeds.
                const std::size_t steps = session_.StepsDone();
                const bool stored = session_.SetChanceCard(career, level, items, text, slot).has_value();
                Edited(stored && session_.StepsDone() != steps);
                break;
            }
            case 5: {
                port_.answers = {in_.Below(2) == 0 ? Answer::Yes : Answer::No,
                                 in_.Below(2) == 0 ? Answer::Yes : Answer::No};
                const std::uint32_t career = PickCareer();
                Edited(session_.SetAllLanguages(port_, career, static_cast<std::uint16_t>(in_.Below(16))));
                break;
            }
            case 6: {
                const std::uint32_t career = PickCareer();
                Bitmap popup(84, IconStrips::PopupIconHeight);
                Bitmap button(112, IconStrips::ButtonIconHeight);
                const std::uint32_t colour = in_.U32() & 0xFFFFFFu;
                std::fill(popup.pixels.begin(), popup.pixels.end(), colour);
                std::fill(button.pixels.begin(), button.pixels.end(), colour ^ 0x00FF00u);
                for (std::uint8_t n = in_.Byte() % 8; n > 0; --n) {
                    const std::size_t at = in_.U16() % popup.pixels.size();
                    popup.pixels[at] = in_.U32() & 0xFFFFFFu;
                }
                Edited(session_.SetIcons(career, popup, button));
                break;
            }
            case 7: {
                // Career > Import of a track or a backup (a restore), or of what is no exchange file.
                const std::vector<fs::path>& imports = TheWorld().imports;
                port_.files = {imports[in_.Below(static_cast<std::uint32_t>(imports.size()))]};
                port_.careers = {PickCareer()};
                port_.answers = {in_.Below(4) == 0 ? Answer::No : Answer::Yes};
                Edited(session_.Import(port_).Changed());
                break;
            }
            case 8: {
                port_.files = {TheWorld().ExportSlot(in_.Below(ExportSlots))};
                const std::uint32_t career = PickCareer();
                if (in_.Below(4) == 0)
                    session_.Backup(port_);
                else
                    session_.Export(port_, career);
                break;
            }
            case 9: {
                const JsonValue document = MakeDocument(in_, session_);
                const std::vector<JsonProblem> problems = session_.ApplyDocument(document, DocumentTexts::Bytes);
                for (const JsonProblem& problem : problems) Check(!problem.reason.empty());
                Edited(problems.empty() && Now().raw != current_.raw);
                break;
            }
            case 10:
            case 11: {
                for (std::uint32_t n = 1 + in_.Below(3); n > 0; --n) {
                    const bool undo = operation % 16 == 10;
                    const bool moved = undo ? session_.Undo().has_value() : session_.Redo().has_value();
                    Check(moved == (undo ? at_ > 0 : at_ + 1 < states_.size()));
                    if (!moved) break;
                    at_ = undo ? at_ - 1 : at_ + 1;
                    typing_.clear();
                    Check(IsAt(states_[at_]));
                }
                break;
            }
            case 12:
            case 13:
                Save();
                break;
            case 14:
                // The edits are dropped: the model is the files as last loaded or saved.
                ++totals.reloads;
                Check(Reload() == LoadRequest::Loaded);
                Restart();
                Check(states_[0].raw == filesState_);
                break;
            default:
                switch ((operation >> 4) % 5) {
                    case 1: PasteLevels(); break;
                    case 2: Translate(); break;
                    case 3: ImportTranslations(); break;
                    case 4: {
                        const TranslatableText text = PickText();
                        Edited(session_.CopyToAllLanguages(port_, text, static_cast<std::uint16_t>(in_.Below(16))));
                        break;
                    }
                    default:
                        session_.EndTyping();
                        typing_.clear();
                        break;
                }
                break;
        }
    }

    // Level Table: levels pasted from one level on, some as they are, some with a value changed,
    // and some past the career's last level.
    void PasteLevels() {
        const std::uint32_t career = PickCareer();
        const tw::Career* found = session_.CareerAt(career);
        const std::uint32_t first = in_.Below(11);
        std::vector<JobLevel> levels;
        for (std::uint32_t n = in_.Below(4); n > 0; --n) {
            const std::size_t level = first + levels.size();
            JobLevel job = found != nullptr && level < found->LevelCount() ? found->track.levels[level] : JobLevel{};
            if (in_.Below(2) == 0) job.values[in_.Below(static_cast<std::uint32_t>(JobLevel::ValueCount))] = in_.Number();
            levels.push_back(job);
        }
        const bool changed = session_.SetJobLevels(career, first, levels);
        Trace("  " + std::to_string(levels.size()) + " levels pasted: " + (changed ? "changed" : "no change"));
        Edited(changed);
    }

    // A text of the career's translations, or now and then one that is not there.
    TranslatableText PickText() {
        const std::uint32_t career = PickCareer();
        const std::vector<TranslatableText> texts = TranslatableTexts(session_.Careers(), career, true);
        const std::uint32_t pick = in_.Below(static_cast<std::uint32_t>(texts.size() + 1));
        if (pick < texts.size()) return texts[pick];
        return {career, std::nullopt, in_.Below(12)};
    }

    // Translations: one cell of one language.
    void Translate() {
        const TranslatableText text = PickText();
        const auto slot = static_cast<std::uint16_t>(in_.Below(16));
        const bool changed = session_.SetTranslation(text, slot, in_.Text());
        Trace("  " + TranslatableLabel(text) + " in slot " + std::to_string(slot) + ": " + (changed ? "changed" : "no change"));
        Edited(changed);
    }

    // A PO file of one language as the export writes it, with some entries translated anew, made
    // stale, or marked fuzzy: all of it is taken as one step, or none of it.
    void ImportTranslations() {
        const auto slot = static_cast<std::uint16_t>(in_.Below(16));
        PoCatalog catalog =
            ExportTranslations(session_.Careers(), !session_.ChanceCardsDisabled(), slot, "2026-01-01 00:00+0000");
        const std::uint32_t changes = catalog.entries.empty() ? 0 : in_.Below(4);
        for (std::uint32_t n = changes; n > 0; --n) {
            PoEntry& entry = catalog.entries[in_.Below(static_cast<std::uint32_t>(catalog.entries.size()))];
            const std::string text = DecodeToUtf8(in_.Text(), CodePage::Windows1252);
            switch (in_.Below(4)) {
                case 0: entry.id = text; break;
                case 1: entry.flags.push_back("fuzzy"); [[fallthrough]];
                default: entry.str = text; break;
            }
        }
        const std::optional<std::uint16_t> named =
            in_.Below(2) == 0 ? std::optional<std::uint16_t>(slot) : std::nullopt;
        const TranslationImportResult result = session_.ImportTranslations(catalog, named);
        const bool changed = Now().raw != current_.raw;
        Trace("  PO import: " + std::to_string(result.textsChanged) + " texts changed, " +
              std::to_string(result.refused.size()) + " refused");
        // A refused file changes nothing, an export read back as it is neither.
        Check(result.refused.empty() || !changed);
        Check(changes > 0 || (result.refused.empty() && !changed));
        Check(changed == (result.textsChanged > 0));
        Edited(changed);
    }

    // Undoes everything, checking each state on the way, redoes everything, and comes back.
    void WalkHistory() {
        const std::size_t here = at_;
        for (std::size_t back = at_; back > 0; --back) {
            Check(session_.Undo().has_value());
            Check(IsAt(states_[back - 1]));
        }
        Check(!session_.CanUndo());
        for (std::size_t forward = 0; forward + 1 < states_.size(); ++forward) {
            Check(session_.Redo().has_value());
            Check(IsAt(states_[forward + 1]));
        }
        Check(!session_.CanRedo());
        for (std::size_t back = states_.size() - 1; back > here; --back) Check(session_.Undo().has_value());
        Check(IsAt(states_[here]));
        typing_.clear();
    }

    void Save() {
        if (saves_++ >= MaxSaves) return;
        WalkHistory();
        World& world = TheWorld();
        files_.Restart();
        files_.FailAt(test::FaultyFileSystem::Step::Any, 0);
        files_.FailOn({});
        const std::uint8_t fault = in_.Byte();
        switch (fault % 4) {
            case 0: break;
            case 1:
            case 2:
                files_.FailAt(static_cast<test::FaultyFileSystem::Step>(fault / 4 % 9), 1 + in_.Below(12));
                break;
            default: {
                // Another program holds one of the game's files (not the save's own files beside it).
                static const char* const Held[] = {"/Work.iff", "/CarPortal.iff", "/JobIconMultiButton.BMP",
                                                   "/JobIconMultiPopup.BMP"};
                files_.FailOn(Held[in_.Below(4)]);
                break;
            }
        }
        const auto before = FilesOf(world.game);
        const std::string model = DumpNow();
        const std::string normalized = DumpNormalized();
        const CareerSet careers = session_.Careers();
        const bool unsaved = session_.HasUnsavedChanges();

        const SaveOutcome outcome = session_.Save(port_, [this] { return Reload(); });
        // A save keeps the history, whatever the reload does.
        const bool faulted = files_.Failed();
        files_.FailAt(test::FaultyFileSystem::Step::Any, 0);
        files_.FailOn({});

        ++totals.saves;
        if (!outcome.saved) {
            ++totals.failedSaves;
            // Only the injected fault fails a save, and the person is told.
            Check(faulted);
            Check(!port_.shown.empty() && port_.shown.front().title == "Error");
            // Every file as it was. What an earlier save left of its own beside the files (another
            // program held them) may be gone: the recovery that starts each save removes it.
            const auto after = FilesOf(world.game);
            bool same = true;
            for (const auto& [name, file] : after)
                if (before.count(name) == 0 || before.at(name) != file) {
                    Trace("  changed or new: " + name);
                    same = false;
                }
            for (const auto& [name, file] : before)
                if (after.count(name) == 0 && !IsSavesOwn(name)) {
                    Trace("  gone: " + name);
                    same = false;
                }
            Check(same);
            Check(DumpNow() == model);
            Check(session_.HasUnsavedChanges() == unsaved);
            return;
        }
        Check(outcome.reloadResult == LoadRequest::Loaded);
        // The same dump, apart from the normalizations.
        const std::string saved = DumpNow();
        CheckFreeRows(careers, session_.Careers());
        if (saved != model) {
            Check(DumpNormalized() == normalized);
            normalizedStates_ = true;
            ++totals.normalizingSaves;
            Trace("  the save normalized the model");
        }
        states_[at_] = Now();
        clean_ = at_;
        typing_.clear();
        filesState_ = states_[at_].raw;
        if (!faulted) {
            // Nothing of the save's own stays behind.
            std::set<std::string> names;
            for (const auto& [name, file] : before) names.insert(name);
            for (const char* written : {"ExpansionShared/Work.iff", "GameData/Objects/CarPortal.iff",
                                        "UIGraphics/cpanel/Buttons/JobIconMultiButton.BMP",
                                        "UIGraphics/cpanel/Backgrounds/JobIconMultiPopup.BMP"})
                names.insert(written);
            for (const auto& [name, file] : FilesOf(world.game)) Check(names.count(name) == 1);
        }
    }

    // A save's reload frees every row that no code names, and no other.
    void CheckFreeRows(const CareerSet& before, const CareerSet& after) const {
        const std::set<std::uint16_t> named = NamedRows(before);
        for (std::uint16_t row = 1; row <= CardTexts::FlaggedRows; ++row)
            Check(after.cardTexts.IsFree(row) == (named.count(row) == 0 && namedElsewhere_.count(row) == 0));
    }

    Input in_;
    FuzzPort port_;
    test::FaultyFileSystem files_;
    EditSession session_;
    // The model at each point of the history, the current point and the clean one.
    std::vector<Digests> states_;
    // The model when the last step was over, and whether the current state is still to be taken.
    Digests current_;
    bool stale_ = false;
    std::size_t at_ = 0;
    std::optional<std::size_t> clean_ = 0;
    std::string typing_;
    std::string filesState_;
    std::set<std::uint16_t> namedElsewhere_;
    bool normalizedStates_ = false;
    int saves_ = 0;
};

}  // namespace

// The installations are made before the first input, outside its time limit.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    TheWorld();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Run(std::span<const std::uint8_t>(data, size)).Go();
    return 0;
}
