#pragma once

#include "iff/IFFFile.h"
#include "model/Behavior.h"
#include "model/CareerTrack.h"
#include "model/StringTable.h"
#include "support/IffBytes.h"
#include "util/ByteWriter.h"
#include "util/MemoryStream.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace tw::test {

// A container opened from bytes with every chunk loaded; saving without a target writes back
// into `file`, whose content then is the saved container.
struct OpenContainer {
    ChunkStore store;
    IFFFile iff{store};
    MemoryStream file;

    explicit OpenContainer(std::vector<std::uint8_t> bytes, bool loadAll = true) : file(std::move(bytes)) {
        iff.AttachFile(file);
        EXPECT_TRUE(iff.OpenIFFFile(nullptr, true));
        if (loadAll) {
            EXPECT_TRUE(iff.LoadAllChunks());
        }
    }
    std::vector<std::uint8_t> Data(ResourceType type, std::uint16_t id) {
        MemoryStream out;
        EXPECT_TRUE(iff.WriteChunkData(type, id, out)) << TypeName(type) << " " << id;
        return out.Copy();
    }
    ChunkHandle Handle(ResourceType type, std::uint16_t id) {
        ChunkHandle handle = 0;
        EXPECT_TRUE(iff.FindChunk(handle, type, id)) << TypeName(type) << " " << id;
        return handle;
    }
    int Count(ResourceType type, std::uint16_t id) const {
        int n = 0;
        for (ChunkHandle h : iff.Chunks()) {
            const ChunkRecord* r = store.Resolve(h);
            n += r != nullptr && r->type == type && r->id == id;
        }
        return n;
    }
};

// String table data in the language format: one group of entries per language code.
struct Group {
    std::uint8_t code;
    std::vector<std::pair<std::string, std::string>> entries;  // value, comment
};
inline std::vector<std::uint8_t> LanguageTableBytes(const std::vector<Group>& groups) {
    ByteWriter out;
    out.PutU16Le(0xFFFD);
    std::size_t count = 0;
    for (const Group& g : groups) count += g.entries.size();
    out.PutU16Le(static_cast<std::uint16_t>(count));
    for (const Group& g : groups) {
        for (const auto& [value, comment] : g.entries) {
            out.PutU8(g.code);
            out.PutCString(value);
            out.PutCString(comment);
        }
    }
    return out.Take();
}

inline std::vector<std::uint8_t> Encoded(GameResource& resource) {
    std::vector<std::uint8_t> out;
    EXPECT_TRUE(resource.Encode(out));
    return out;
}

inline std::vector<std::uint8_t> BehaviorBytes(std::vector<Instruction> instructions) {
    Behavior behavior;
    behavior.instructions = std::move(instructions);
    return Encoded(behavior);
}

inline Instruction Targets(Instruction instruction, std::uint8_t trueTarget, std::uint8_t falseTarget) {
    instruction.trueTarget = trueTarget;
    instruction.falseTarget = falseTarget;
    return instruction;
}

}  // namespace tw::test
