#include "model/CareerTrack.h"

#include "model/FieldBitStream.h"
#include "util/ByteReader.h"
#include "util/ByteWriter.h"
#include "util/FileError.h"
#include "util/Stream.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace tw {
namespace {

constexpr std::uint8_t Pad = 0xA3;
constexpr std::size_t NameOffset = 13;

// Texts in the game's files start at even offsets.
std::size_t Even(std::size_t offset) { return offset + (offset & 1u); }

// The text as the file holds it: up to its first NUL.
std::string_view StoredText(const std::string& text) {
    return std::string_view(text.data(), std::min(text.size(), std::strlen(text.c_str())));
}

void PutPaddedText(ByteWriter& out, const std::string& text) {
    out.PutCString(StoredText(text));
    if ((out.Size() & 1u) != 0) out.PutU8(Pad);
}

}  // namespace

bool CareerTrack::WriteToStream(Stream& file) {
    try {
        file.Truncate(0);
        file.Seek(0);
    } catch (const FileError&) {
        return false;
    }
    return GameResource::WriteToStream(file);
}

bool CareerTrack::Decode(std::span<const std::uint8_t> data) {
    ByteReader in(data);
    const std::uint32_t zero1 = in.U32Le();
    const std::uint32_t zero2 = in.U32Le();
    const auto tag = in.Bytes(4);
    if (!in.Ok() || zero1 != 0 || zero2 != 0 || std::memcmp(tag.data(), "RRAC", 4) != 0) return false;

    in.Seek(NameOffset);
    std::string newName = in.CString();
    if (!in.Ok()) return false;
    name = std::move(newName);
    std::size_t position = Even(in.Offset());

    FieldBitStream fields(data, position);
    const std::int32_t count = fields.ReadField();
    levels.clear();
    if (count < 0) return false;
    // Every level needs at least one byte for each of its five texts, so a count that the data
    // cannot hold is refused before anything is allocated for it.
    if (static_cast<std::size_t>(count) > data.size() / JobLevel::TextCount) return false;
    try {
        levels.reserve(static_cast<std::size_t>(count));
    } catch (const std::bad_alloc&) {
        return false;
    }

    if (count == 0) return fields.NextBytePosition() <= data.size();
    for (std::int32_t index = 0; index < count; ++index) {
        JobLevel level;
        for (std::int32_t& value : level.values) value = fields.ReadField();
        // Values that ran past the end read as 0; the texts after them then cannot be there.
        position = fields.NextBytePosition();
        for (std::string& text : level.texts) {
            if (position >= data.size()) return false;
            ByteReader textReader(data, position);
            text = textReader.CString();
            if (!textReader.Ok()) return false;
            position = Even(textReader.Offset());
        }
        levels.push_back(std::move(level));
        fields.RestartAt(position);
    }
    return position <= data.size();
}

bool CareerTrack::Encode(std::vector<std::uint8_t>& bytes) {
    ByteWriter out;
    out.PutU32Le(0);
    out.PutU32Le(0);
    out.PutText("RRAC");
    out.PutU8(1);
    PutPaddedText(out, name);

    FieldBitStream fields(out);
    const std::size_t count = std::min<std::size_t>(levels.size(), std::numeric_limits<std::int32_t>::max());
    fields.WriteField(static_cast<std::int32_t>(count));
    for (std::size_t index = 0; index < count; ++index) {
        const JobLevel& level = levels[index];
        for (std::int32_t value : level.values) fields.WriteField(value);
        fields.Flush();
        for (const std::string& text : level.texts) PutPaddedText(out, text);
    }
    // With no levels the count's bit is still pending.
    fields.Flush();
    bytes = out.Take();
    return true;
}

}  // namespace tw
