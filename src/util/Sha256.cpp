#include "util/Sha256.h"

#include <algorithm>
#include <stdexcept>

#ifdef _WIN32
#include "util/Win32.h"
#include <bcrypt.h>
#else
#include <nettle/sha2.h>
#endif

namespace tw {

#ifdef _WIN32

// A hash object of the system's primitives. Opening the algorithm only fails on a broken system:
// that is an exception, like running out of memory.
struct Sha256::State {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;

    State() {
        if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
            throw std::runtime_error("SHA-256 is not available on this system");
        if (!BCRYPT_SUCCESS(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0))) {
            BCryptCloseAlgorithmProvider(algorithm, 0);
            throw std::runtime_error("SHA-256 is not available on this system");
        }
    }
    ~State() {
        BCryptDestroyHash(hash);
        BCryptCloseAlgorithmProvider(algorithm, 0);
    }
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    void Update(std::span<const std::uint8_t> bytes) {
        // The length is a ULONG: pieces of at most 1 GiB.
        while (!bytes.empty()) {
            const std::size_t piece = std::min<std::size_t>(bytes.size(), std::size_t{1} << 30);
            BCryptHashData(hash, const_cast<PUCHAR>(bytes.data()), static_cast<ULONG>(piece), 0);
            bytes = bytes.subspan(piece);
        }
    }
    void Finish(Digest& digest) { BCryptFinishHash(hash, digest.data(), static_cast<ULONG>(digest.size()), 0); }
};

#else

struct Sha256::State {
    sha256_ctx context{};

    State() { sha256_init(&context); }
    void Update(std::span<const std::uint8_t> bytes) { sha256_update(&context, bytes.size(), bytes.data()); }
    void Finish(Digest& digest) { sha256_digest(&context, digest.size(), digest.data()); }
};

#endif

Sha256::Sha256() : state_(std::make_unique<State>()) {}
Sha256::~Sha256() = default;
Sha256::Sha256(Sha256&&) noexcept = default;
Sha256& Sha256::operator=(Sha256&&) noexcept = default;

void Sha256::Update(std::span<const std::uint8_t> bytes) {
    if (!bytes.empty()) state_->Update(bytes);
}

void Sha256::Update(std::string_view text) {
    Update(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

Sha256::Digest Sha256::Finish() {
    Digest digest{};
    state_->Finish(digest);
    return digest;
}

std::string Sha256::ToHex(const Digest& digest) {
    static constexpr char Digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(2 * digest.size());
    for (std::uint8_t byte : digest) {
        text += Digits[byte >> 4];
        text += Digits[byte & 15];
    }
    return text;
}

std::string Sha256::Hex(std::span<const std::uint8_t> bytes) {
    Sha256 hasher;
    hasher.Update(bytes);
    return ToHex(hasher.Finish());
}

std::string Sha256::Hex(std::string_view text) {
    Sha256 hasher;
    hasher.Update(text);
    return ToHex(hasher.Finish());
}

}  // namespace tw
