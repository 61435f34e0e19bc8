// The journal a killed save leaves in the state folder: any bytes give a journal or a reason.
#include "gamefiles/Journal.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tw::Journal journal;
    if (tw::ParseJournal(text, journal)) {
        // What parses is written back the same way.
        tw::Journal again;
        if (!tw::ParseJournal(tw::EncodeJournal(journal), again) || again.entries.size() != journal.entries.size())
            __builtin_trap();
    }
    return 0;
}
