#pragma once

#include "util/FileSystem.h"
#include "util/Status.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// The record of one transaction over several files, kept in the installation's state folder
// while the transaction runs. It names every file the transaction may leave behind before the
// first of them exists, so that a later process can finish or undo the work of one that died.
//
// Text, one record per line, fields separated by tabs; paths are absolute, UTF-8, with
// backslash, tab, carriage return and line feed written as \\, \t, \r and \n:
//   trackwright journal 2
//   game TAB <the game folder, canonical>
//   originals TAB <the installation's kept-originals folder, canonical; empty for none>
//   state <prepared|committing|committed>
//   <replace|create|remove> TAB target TAB temporary TAB kept TAB via
//   folder TAB path            (a folder the transaction creates, outermost first)
//   end
// `via` is the game's own name of a target reached through a symbolic link (empty otherwise).
// Version 1, written before, has neither the game nor the originals line and no `via`.
// The installation a transaction belongs to: the only places its journal may name.
struct JournalScope {
    std::filesystem::path gameFolder;       // absolute, canonical
    std::filesystem::path originalsFolder;  // absolute, canonical; empty for none
};

struct Journal {
    enum class State {
        Prepared,    // temporary files may exist; no target has been touched
        Committing,  // targets are being moved; undone by a recovery
        Committed,   // every target is in place; only the kept old files remain to be removed
    };
    enum class Change {
        Replace,  // the target exists and gets new content; its old file is kept aside
        Create,   // the target does not exist and is created
        Remove,   // the target is removed; it is kept aside until the end
    };
    struct Entry {
        Change change = Change::Replace;
        std::filesystem::path target;
        std::filesystem::path temporary;  // the new content (none for Remove)
        std::filesystem::path kept;       // the old file's second name (none for Create)
        std::filesystem::path via;        // the link inside the installation that leads to target
    };

    int version = 2;
    JournalScope scope;  // empty in a version 1 journal
    State state = State::Prepared;
    std::vector<Entry> entries;
    // The folders that the transaction creates for its new files, outermost first; removed
    // again (when empty) by an undo.
    std::vector<std::filesystem::path> folders;
};

std::string EncodeJournal(const Journal& journal);
// Fails, with the reason, for anything that is not a complete journal as EncodeJournal writes
// it, or as version 1 wrote it (a file cut short, an unknown record, a field with a stray escape).
Status ParseJournal(std::string_view text, Journal& journal);
// Whether a journal may be acted on for the installation `scope`: it belongs to that
// installation (version 2), every path is absolute and lies inside its game folder or its
// kept-originals folder (a target reached through a link: the link does), and every name it
// would remove or move is one the transaction gives its own files beside the target. Fails with
// the first path that is not.
Status CheckJournalScope(const Journal& journal, const JournalScope& scope);

// The journal's name in an installation's state folder; the temporary names it is written
// under start with it too.
inline constexpr std::string_view JournalName = "journal";
std::filesystem::path JournalPath(const std::filesystem::path& stateFolder);
// Reads and parses the journal at `path` through `files`, never through a link and never more than
// a journal can hold. Fails with the file's name and what is wrong with it.
Status ReadJournal(FileSystem& files, const std::filesystem::path& path, Journal& journal);

}  // namespace tw
