// Reads arbitrary bytes as a FAR archive and extracts every entry into memory.
#include "far/FARFile.h"
#include "util/MemoryStream.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tw::MemoryStream file(std::vector<std::uint8_t>(data, data + size));
    tw::FARFile archive(file);
    int error = -1;
    const bool ok = archive.ReadDirectory(&error);
    if (error < 0 || error > 5) __builtin_trap();
    if (!ok) {
        if (archive.EntryCount() != 0) __builtin_trap();
        return 0;
    }
    for (std::size_t i = 0; i < archive.EntryCount(); ++i) {
        tw::MemoryStream target;
        if (archive.ExtractEntryToFile(i, target)) {
            // What was extracted must be the entry's bytes, and a second extraction the same.
            const tw::FAREntry& entry = archive.Entries()[i];
            if (target.Length() != entry.size) __builtin_trap();
            tw::MemoryStream again;
            if (!archive.ExtractEntryToFile(i, again) || again.Copy() != target.Copy()) __builtin_trap();
        }
    }
    (void)tw::FindEntry(archive, "cpanel\\Buttons\\JobIconMultiButton.BMP");
    archive.CloseArchive();
    return 0;
}
