// The journal a killed save leaves in the state folder: any bytes give a journal or a reason. A
// journal that is trusted for an installation names nothing outside it: every path lies in the
// game folder or its kept originals (a target reached through a link: the link does, and
// recovery checks where the link leads), and every name it would move or remove is the
// transaction's own, beside its target.
#include "store/Journal.h"
#include "util/RandomName.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

bool Below(const std::filesystem::path& path, const std::string& root) {
    const std::string text = path.lexically_normal().generic_string();
    return text == root || text.starts_with(root + "/");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tw::Journal journal;
    if (!tw::ParseJournal(text, journal)) return 0;
    // What parses is written back the same way. A journal of the first version, which names no
    // installation, is only read: what is written is always the current version.
    tw::Journal again;
    if (journal.version >= 2 &&
        (!tw::ParseJournal(tw::EncodeJournal(journal), again) || again.entries.size() != journal.entries.size() ||
         again.folders.size() != journal.folders.size()))
        __builtin_trap();

    const tw::JournalScope scope{"/g", "/o"};
    if (!tw::CheckJournalScope(journal, scope)) return 0;
    auto inside = [](const std::filesystem::path& path) { return Below(path, "/g") || Below(path, "/o"); };
    for (const tw::Journal::Entry& entry : journal.entries) {
        if (!inside(entry.via.empty() ? entry.target : entry.via)) __builtin_trap();
        if (!entry.temporary.empty() && !tw::IsFreshNameBeside(entry.temporary, entry.target, ".new")) __builtin_trap();
        if (!entry.kept.empty() && !tw::IsFreshNameBeside(entry.kept, entry.target, ".old")) __builtin_trap();
    }
    for (const std::filesystem::path& folder : journal.folders)
        if (!inside(folder)) __builtin_trap();
    return 0;
}
