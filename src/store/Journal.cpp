#include "store/Journal.h"

#include "util/FileError.h"
#include "util/HostPath.h"
#include "util/RandomName.h"

#include <array>

namespace tw {
namespace {

constexpr std::string_view Heading = "trackwright journal 2";
constexpr std::string_view FirstHeading = "trackwright journal 1";
constexpr std::array<std::string_view, 3> StateNames = {"prepared", "committing", "committed"};
constexpr std::array<std::string_view, 3> ChangeNames = {"replace", "create", "remove"};

std::string Escape(const std::filesystem::path& path) {
    std::string out;
    for (char c : PathText(path)) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            default: out += c;
        }
    }
    return out;
}

bool Unescape(std::string_view field, std::filesystem::path& path) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            out += field[i];
            continue;
        }
        if (++i == field.size()) return false;
        switch (field[i]) {
            case '\\': out += '\\'; break;
            case 't': out += '\t'; break;
            case 'r': out += '\r'; break;
            case 'n': out += '\n'; break;
            default: return false;
        }
    }
    path = PathFromText(out);
    return true;
}

template <std::size_t N>
int IndexOf(const std::array<std::string_view, N>& names, std::string_view name) {
    for (std::size_t i = 0; i < N; ++i)
        if (names[i] == name) return static_cast<int>(i);
    return -1;
}

std::vector<std::string_view> Split(std::string_view line, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= line.size(); ++i) {
        if (i == line.size() || line[i] == separator) {
            parts.push_back(line.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

}  // namespace

std::string EncodeJournal(const Journal& journal) {
    std::string text(Heading);
    text += "\ngame\t" + Escape(journal.scope.gameFolder);
    text += "\noriginals\t" + Escape(journal.scope.originalsFolder);
    text += "\nstate ";
    text += StateNames[static_cast<std::size_t>(journal.state)];
    text += '\n';
    for (const Journal::Entry& entry : journal.entries) {
        text += ChangeNames[static_cast<std::size_t>(entry.change)];
        text += '\t' + Escape(entry.target) + '\t' + Escape(entry.temporary) + '\t' + Escape(entry.kept) + '\t' +
                Escape(entry.via) + '\n';
    }
    for (const std::filesystem::path& folder : journal.folders) text += "folder\t" + Escape(folder) + '\n';
    text += "end\n";
    return text;
}

Status ParseJournal(std::string_view text, Journal& journal) {
    auto damaged = [](std::string what) { return Status::Failure("the journal is damaged (" + what + ")"); };
    if (text.empty() || text.back() != '\n') return damaged("it is cut short");
    text.remove_suffix(1);
    const std::vector<std::string_view> lines = Split(text, '\n');
    if (lines.empty() || (lines[0] != Heading && lines[0] != FirstHeading)) return damaged("no journal heading");
    Journal parsed;
    parsed.version = lines[0] == Heading ? 2 : 1;
    std::size_t line = 1;
    if (parsed.version == 2) {
        // The installation it belongs to, before anything else.
        for (const auto& [name, path] : {std::pair<std::string_view, std::filesystem::path*>{"game", &parsed.scope.gameFolder},
                                         {"originals", &parsed.scope.originalsFolder}}) {
            const std::vector<std::string_view> fields =
                line < lines.size() ? Split(lines[line], '\t') : std::vector<std::string_view>{};
            if (fields.size() != 2 || fields[0] != name || !Unescape(fields[1], *path))
                return damaged("no " + std::string(name) + " folder");
            ++line;
        }
        if (parsed.scope.gameFolder.empty()) return damaged("no game folder");
    }
    if (lines.size() < line + 2 || lines.back() != "end") return damaged("it is cut short");
    if (lines[line].substr(0, 6) != "state ") return damaged("no state");
    const int state = IndexOf(StateNames, lines[line].substr(6));
    if (state < 0) return damaged("unknown state");
    parsed.state = static_cast<Journal::State>(state);
    const std::size_t entryFields = parsed.version == 2 ? 5 : 4;
    for (std::size_t i = line + 1; i + 1 < lines.size(); ++i) {
        const std::string where = "line " + std::to_string(i + 1);
        const std::vector<std::string_view> fields = Split(lines[i], '\t');
        if (fields.size() == 2 && fields[0] == "folder") {
            std::filesystem::path folder;
            if (!Unescape(fields[1], folder) || folder.empty()) return damaged(where + " holds a broken path");
            parsed.folders.push_back(std::move(folder));
            continue;
        }
        if (fields.size() != entryFields) return damaged(where + " has not the fields of a change");
        const int change = IndexOf(ChangeNames, fields[0]);
        if (change < 0) return damaged(where + " names no change");
        Journal::Entry entry;
        entry.change = static_cast<Journal::Change>(change);
        if (!Unescape(fields[1], entry.target) || !Unescape(fields[2], entry.temporary) ||
            !Unescape(fields[3], entry.kept) || (entryFields == 5 && !Unescape(fields[4], entry.via)))
            return damaged(where + " holds a broken path");
        // Every change needs its target, and the names it may have left behind.
        const bool complete = !entry.target.empty() &&
                              (entry.change == Journal::Change::Remove || !entry.temporary.empty()) &&
                              (entry.change == Journal::Change::Create || !entry.kept.empty());
        if (!complete) return damaged(where + " lacks a path");
        parsed.entries.push_back(std::move(entry));
    }
    journal = std::move(parsed);
    return {};
}

namespace {

// Whether `path` is `root` or lies below it, compared part by part after removing "." and "..".
bool Inside(const std::filesystem::path& path, const std::filesystem::path& root) {
    if (root.empty() || !path.is_absolute()) return false;
    const std::filesystem::path normal = path.lexically_normal();
    const std::filesystem::path base = root.lexically_normal();
    auto p = normal.begin();
    for (auto r = base.begin(); r != base.end(); ++r, ++p) {
        if (r->empty() && std::next(r) == base.end()) break;  // a trailing separator
        if (p == normal.end() || *p != *r) return false;
    }
    return true;
}

}  // namespace

Status CheckJournalScope(const Journal& journal, const JournalScope& scope) {
    if (journal.version >= 2 && journal.scope.gameFolder.lexically_normal() != scope.gameFolder.lexically_normal())
        return Status::Failure("it belongs to the game in \"" + PathText(journal.scope.gameFolder) + "\"");
    if (journal.version >= 2 && !journal.scope.originalsFolder.empty() &&
        journal.scope.originalsFolder.lexically_normal() != scope.originalsFolder.lexically_normal())
        return Status::Failure("its kept originals are in \"" + PathText(journal.scope.originalsFolder) +
                               "\", not in this game's folder for them");
    auto inside = [&scope](const std::filesystem::path& path) {
        return Inside(path, scope.gameFolder) || Inside(path, scope.originalsFolder);
    };
    auto outside = [](const std::filesystem::path& path) {
        return Status::Failure("it names \"" + PathText(path) + "\", which lies outside the game's folders");
    };
    for (const Journal::Entry& entry : journal.entries) {
        if (!entry.via.empty() ? !inside(entry.via) || !entry.target.is_absolute() : !inside(entry.target))
            return outside(entry.via.empty() ? entry.target : entry.via);
        const std::pair<const std::filesystem::path*, const char*> names[] = {{&entry.temporary, ".new"},
                                                                              {&entry.kept, ".old"}};
        for (const auto& [name, ending] : names) {
            if (name->empty()) continue;
            if (!IsFreshNameBeside(*name, entry.target, ending))
                return Status::Failure("it names \"" + PathText(*name) + "\", which is no name Trackwright gives its files");
        }
    }
    for (const std::filesystem::path& folder : journal.folders)
        if (!inside(folder) || folder.lexically_normal() == scope.gameFolder.lexically_normal()) return outside(folder);
    return {};
}

std::filesystem::path JournalPath(const std::filesystem::path& stateFolder) {
    return stateFolder / JournalName;
}

Status ReadJournal(FileSystem& files, const std::filesystem::path& path, Journal& journal) {
    // Journals are a few lines per file; anything much larger is not one of ours.
    constexpr std::size_t MaxJournalBytes = 1 << 20;
    std::string text;
    try {
        text = files.ReadOwn(path, MaxJournalBytes);
    } catch (const FileError& e) {
        return Status::Failure(PathText(path) + ": " + e.what());
    }
    if (Status parsed = ParseJournal(text, journal); !parsed) return Status::Failure(PathText(path) + ": " + parsed.Reason());
    return {};
}

}  // namespace tw
