#include "util/Stream.h"

#include "util/FileError.h"

#include <array>
#include <limits>

namespace tw {

void Stream::WriteU16Le(std::uint16_t v) {
    const std::array<std::uint8_t, 2> b{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
    Write(b);
}

void Stream::WriteU16Be(std::uint16_t v) {
    const std::array<std::uint8_t, 2> b{static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
    Write(b);
}

void Stream::WriteU32Le(std::uint32_t v) {
    const std::array<std::uint8_t, 4> b{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                                        static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
    Write(b);
}

void Stream::WriteU32Be(std::uint32_t v) {
    const std::array<std::uint8_t, 4> b{static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
                                        static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
    Write(b);
}

std::vector<std::uint8_t> Stream::ReadAll() {
    const std::uint64_t length = Length();
    if (length > std::numeric_limits<std::size_t>::max() / 2) throw FileError("The stream is too large to read.");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
    Seek(0);
    const std::size_t got = Read(bytes);
    bytes.resize(got);
    return bytes;
}

}  // namespace tw
