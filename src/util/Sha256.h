#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tw {

// SHA-256 (FIPS 180-4), fed in pieces. Names installations in the state folders and checks that
// kept original files are still what was kept.
class Sha256 {
public:
    using Digest = std::array<std::uint8_t, 32>;

    Sha256();
    void Update(std::span<const std::uint8_t> bytes);
    void Update(std::string_view text);
    // The digest of everything fed so far; the hasher must not be fed afterwards.
    Digest Finish();

    // The digest of `bytes` as 64 lower-case hexadecimal digits.
    static std::string Hex(std::span<const std::uint8_t> bytes);
    static std::string Hex(std::string_view text);
    static std::string ToHex(const Digest& digest);

private:
    void Block(const std::uint8_t* block);

    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> buffer_{};
    std::size_t buffered_ = 0;
    std::uint64_t totalBytes_ = 0;
};

}  // namespace tw
