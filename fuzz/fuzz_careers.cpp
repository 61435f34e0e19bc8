// Loads careers and chance cards from one arbitrary container, saves both back into memory and
// reloads: what was saved must load again, and no card may come back with more items.
#include "iff/IFFFile.h"
#include "model/CareerSet.h"
#include "util/MemoryStream.h"

#include <cstddef>
#include <cstdint>

namespace {

struct Container {
    tw::ChunkStore store;
    tw::IFFFile iff{store};
    tw::MemoryStream file;
    bool opened = false;
    explicit Container(std::vector<std::uint8_t> bytes) : file(std::move(bytes)) {
        iff.AttachFile(file);
        opened = iff.OpenIFFFile(nullptr, true);
    }
};

void CheckCareers(const std::vector<std::uint8_t>& bytes) {
    Container careers(bytes);
    if (!careers.opened) return;
    const bool allLoaded = careers.iff.LoadAllChunks();
    tw::CareerSet set;
    if (!set.LoadCareers(careers.iff) || !allLoaded) return;
    if (!set.SaveCareers(careers.iff)) return;

    Container saved(careers.file.Copy());
    if (!saved.opened || !saved.iff.LoadAllChunks()) __builtin_trap();
    tw::CareerSet again;
    if (!again.LoadCareers(saved.iff) || again.Count() != set.Count()) __builtin_trap();
    for (std::size_t i = 0; i < set.Count(); ++i) {
        const tw::Career& x = again.careers[i];
        const tw::Career& y = set.careers[i];
        if (x.id != y.id || x.track.levels != y.track.levels || x.track.name != y.track.name) __builtin_trap();
    }
}

void CheckChanceCards(const std::vector<std::uint8_t>& bytes) {
    Container container(bytes);
    if (!container.opened) return;
    const bool allLoaded = container.iff.LoadAllChunks();
    tw::CareerSet set;
    (void)set.LoadCareers(container.iff);  // the cards are read whether careers load or not
    if (!set.LoadChanceCards(container.iff) || !allLoaded) return;
    if (!set.SaveChanceCards(container.iff)) return;

    Container saved(container.file.Copy());
    if (!saved.opened || !saved.iff.LoadAllChunks()) __builtin_trap();
    int roots = 0;
    for (tw::ChunkHandle handle : saved.iff.Chunks()) {
        const tw::ChunkRecord* record = saved.store.Resolve(handle);
        roots += record->type == tw::TypeBHAV && record->id == tw::CareerSet::RootCardBehaviorId;
    }
    if (roots != 1) __builtin_trap();

    tw::CareerSet again;
    for (const tw::Career& career : set.careers) again.careers.emplace_back().id = career.id;
    if (!again.LoadChanceCards(saved.iff)) __builtin_trap();
    for (std::size_t c = 0; c < set.Count(); ++c)
        for (std::uint32_t level = 0; level < tw::Career::CardCount; ++level)
            if (again.careers[c].cards[level].items.size() > set.careers[c].cards[level].items.size())
                __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    CheckCareers(bytes);
    CheckChanceCards(bytes);
    return 0;
}
