#include "gamefiles/Journal.h"

#include "gamefiles/HostPath.h"

#include <array>

namespace tw {
namespace {

constexpr std::string_view Heading = "trackwright journal 1";
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
    text += "\nstate ";
    text += StateNames[static_cast<std::size_t>(journal.state)];
    text += '\n';
    for (const Journal::Entry& entry : journal.entries) {
        text += ChangeNames[static_cast<std::size_t>(entry.change)];
        text += '\t' + Escape(entry.target) + '\t' + Escape(entry.temporary) + '\t' + Escape(entry.kept) + '\n';
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
    if (lines.size() < 3 || lines[0] != Heading) return damaged("no journal heading");
    if (lines.back() != "end") return damaged("it is cut short");
    if (lines[1].substr(0, 6) != "state ") return damaged("no state");
    const int state = IndexOf(StateNames, lines[1].substr(6));
    if (state < 0) return damaged("unknown state");

    Journal parsed;
    parsed.state = static_cast<Journal::State>(state);
    for (std::size_t i = 2; i + 1 < lines.size(); ++i) {
        const std::string where = "line " + std::to_string(i + 1);
        const std::vector<std::string_view> fields = Split(lines[i], '\t');
        if (fields.size() == 2 && fields[0] == "folder") {
            std::filesystem::path folder;
            if (!Unescape(fields[1], folder) || folder.empty()) return damaged(where + " holds a broken path");
            parsed.folders.push_back(std::move(folder));
            continue;
        }
        if (fields.size() != 4) return damaged(where + " has no four fields");
        const int change = IndexOf(ChangeNames, fields[0]);
        if (change < 0) return damaged(where + " names no change");
        Journal::Entry entry;
        entry.change = static_cast<Journal::Change>(change);
        if (!Unescape(fields[1], entry.target) || !Unescape(fields[2], entry.temporary) ||
            !Unescape(fields[3], entry.kept))
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

}  // namespace tw
