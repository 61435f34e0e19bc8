// Opens arbitrary bytes as a container, walks it, loads every chunk and saves it to memory.
#include "iff/IFFFile.h"
#include "util/MemoryStream.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tw::ChunkStore store;
    tw::IFFFile container(store);
    tw::MemoryStream file(std::vector<std::uint8_t>(data, data + size));
    container.AttachFile(file);
    int error = 0;
    if (!container.OpenIFFFile(&error, true)) return 0;
    for (tw::ResourceType type : container.Types()) {
        for (auto pos = container.LowestIdChunk(type); pos != container.NoPosition(); container.NextHigherIdChunk(pos)) {
            tw::ChunkHandle handle = container.HandleAt(pos);
            container.EnsureChunkLoaded(handle);
        }
    }
    const bool allLoaded = container.LoadAllChunks();
    tw::MemoryStream out;
    const bool saved = container.SaveIFFFile(&out);
    if (allLoaded && saved) {
        // What we wrote must read back as the same chunks.
        tw::IFFFile again(store);
        again.AttachFile(out);
        if (!again.OpenIFFFile(nullptr, true) || !again.LoadAllChunks()) __builtin_trap();
    }
    return 0;
}
