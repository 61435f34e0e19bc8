// Opens arbitrary bytes as a container, walks it, loads every chunk and saves it to memory. What
// the container cannot read is named with a reason; one that a save keeps whole writes every
// chunk it listed, and reads back with nothing unreadable.
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
    for (const tw::ChunkProblem& problem : container.Problems())
        if (problem.reason.empty()) __builtin_trap();
    // A chunk that cannot be read can never be written back whole.
    if (!allLoaded && container.KeptWholeBySave()) __builtin_trap();
    tw::MemoryStream out;
    const bool saved = container.SaveIFFFile(&out).Ok();
    if (allLoaded && saved) {
        // What we wrote must read back as the same chunks, whole.
        tw::IFFFile again(store);
        again.AttachFile(out);
        if (!again.OpenIFFFile(nullptr, true) || !again.LoadAllChunks() || !again.Problems().empty()) __builtin_trap();
        if (container.KeptWholeBySave()) {
            std::size_t written = 0;
            for (tw::ChunkHandle handle : container.Chunks())
                written += store.Resolve(handle)->type != tw::TypeRSMP;
            std::size_t read = 0;
            for (tw::ChunkHandle handle : again.Chunks()) read += store.Resolve(handle)->type != tw::TypeRSMP;
            if (read != written) __builtin_trap();
        }
    }
    return 0;
}
