#pragma once

#include <cstdint>
#include <string>

namespace tw {

// A resource type: four characters held as the number whose big-endian bytes are those
// characters, the first character most significant ("STR#" is 0x53545223).
using ResourceType = std::uint32_t;

constexpr ResourceType MakeType(const char (&text)[5]) {
    return (static_cast<ResourceType>(static_cast<unsigned char>(text[0])) << 24) |
           (static_cast<ResourceType>(static_cast<unsigned char>(text[1])) << 16) |
           (static_cast<ResourceType>(static_cast<unsigned char>(text[2])) << 8) |
           static_cast<ResourceType>(static_cast<unsigned char>(text[3]));
}

// The four characters of a type in reading order.
inline std::string TypeName(ResourceType type) {
    return {static_cast<char>(type >> 24), static_cast<char>(type >> 16), static_cast<char>(type >> 8),
            static_cast<char>(type)};
}

inline constexpr ResourceType TypeSTR = MakeType("STR#");
inline constexpr ResourceType TypeCARR = MakeType("CARR");
inline constexpr ResourceType TypeBHAV = MakeType("BHAV");
inline constexpr ResourceType TypeRSMP = MakeType("rsmp");
inline constexpr ResourceType TypeCARExport = MakeType("CAR#");
inline constexpr ResourceType TypeCARD = MakeType("CARD");
inline constexpr ResourceType TypeBMP1 = MakeType("BMP1");
inline constexpr ResourceType TypeBMP2 = MakeType("BMP2");
inline constexpr ResourceType TypeINFO = MakeType("INFO");

}  // namespace tw
