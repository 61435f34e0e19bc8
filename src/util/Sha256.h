#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace tw {

// SHA-256 (FIPS 180-4), fed in pieces. Names installations in the state folders, and checks that
// kept original files are still what was kept and that the game's files are what a save wrote.
// The hashing is the system's own: nettle on POSIX systems, which uses the processor's SHA
// instructions where it has them, and the Windows cryptography primitives on Windows.
class Sha256 {
public:
    using Digest = std::array<std::uint8_t, 32>;

    Sha256();
    ~Sha256();
    Sha256(Sha256&&) noexcept;
    Sha256& operator=(Sha256&&) noexcept;

    void Update(std::span<const std::uint8_t> bytes);
    void Update(std::string_view text);
    // The digest of everything fed so far; the hasher must not be fed afterwards.
    Digest Finish();

    // The digest of `bytes` as 64 lower-case hexadecimal digits.
    static std::string Hex(std::span<const std::uint8_t> bytes);
    static std::string Hex(std::string_view text);
    static std::string ToHex(const Digest& digest);

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace tw
