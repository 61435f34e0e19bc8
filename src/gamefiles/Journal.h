#pragma once

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
// Text, one record per line, fields separated by tabs; paths are UTF-8 with backslash, tab,
// carriage return and line feed written as \\, \t, \r and \n:
//   trackwright journal 1
//   state <prepared|committing|committed>
//   <replace|create|remove> TAB target TAB temporary TAB kept
//   folder TAB path            (a folder the transaction creates, outermost first)
//   end
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
    };

    State state = State::Prepared;
    std::vector<Entry> entries;
    // The folders that the transaction creates for its new files, outermost first; removed
    // again (when empty) by an undo.
    std::vector<std::filesystem::path> folders;
};

std::string EncodeJournal(const Journal& journal);
// Fails, with the reason, for anything that is not a complete journal as EncodeJournal writes
// it (a file cut short, an unknown record, a field with a stray escape).
Status ParseJournal(std::string_view text, Journal& journal);

}  // namespace tw
