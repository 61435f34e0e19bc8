#include "support/IffBytes.h"

#include "util/ByteWriter.h"

#include <algorithm>

namespace tw::test {

IffBytes::IffBytes(const std::string& version) {
    const std::string text = "IFF FILE " + version + ":TYPE FOLLOWED BY SIZE";
    bytes.assign(64, 0);
    for (std::size_t i = 0; i < text.size() && i < 60; ++i) bytes[i] = static_cast<std::uint8_t>(text[i]);
}

std::uint32_t IffBytes::Chunk(ResourceType type, std::uint16_t id, const std::vector<std::uint8_t>& data,
                              const std::string& label, std::uint16_t flags) {
    const auto offset = static_cast<std::uint32_t>(bytes.size());
    ByteWriter out(std::move(bytes));
    out.PutU32Be(type);
    out.PutU32Be(static_cast<std::uint32_t>(data.size() + 76));
    out.PutU16Be(id);
    out.PutU16Be(flags);
    out.PutText(label.substr(0, 63));
    out.PutZeros(64 - std::min<std::size_t>(label.size(), 63));
    out.PutBytes(data);
    bytes = out.Take();
    return offset;
}

void IffBytes::Map(const std::vector<MapEntry>& entries) {
    ByteWriter data;
    data.PutU32Le(0);
    data.PutU32Le(0);
    data.PutText("pmsr");
    data.PutU32Le(0);
    std::vector<ResourceType> types;
    for (const auto& e : entries)
        if (std::find(types.begin(), types.end(), e.type) == types.end()) types.push_back(e.type);
    data.PutU32Le(static_cast<std::uint32_t>(types.size()));
    for (ResourceType type : types) {
        data.PutU32Le(type);
        std::uint32_t count = 0;
        for (const auto& e : entries) count += e.type == type;
        data.PutU32Le(count);
        for (const auto& e : entries) {
            if (e.type != type) continue;
            data.PutU32Le(e.offset);
            data.PutU16Le(e.id);
            data.PutU16Le(e.flags);
            data.PutCString(e.label);
            if (data.Size() % 2 == 1) data.PutU8(0xA3);
        }
    }
    const std::uint32_t offset = Chunk(TypeRSMP, 0, data.Bytes());
    SetMapOffset(offset);
}

void IffBytes::SetMapOffset(std::uint32_t offset) {
    bytes[60] = static_cast<std::uint8_t>(offset >> 24);
    bytes[61] = static_cast<std::uint8_t>(offset >> 16);
    bytes[62] = static_cast<std::uint8_t>(offset >> 8);
    bytes[63] = static_cast<std::uint8_t>(offset);
}

std::vector<std::uint8_t> ToBytes(const std::string& text) { return {text.begin(), text.end()}; }

}  // namespace tw::test
