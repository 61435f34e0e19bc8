#include "util/FileDigest.h"

#include "util/FileStream.h"
#include "util/Sha256.h"

#include <vector>

namespace tw {
namespace {

constexpr std::size_t PieceSize = 1 << 16;

template <typename Take>
void ReadInPieces(const std::filesystem::path& path, FileMode mode, Take take) {
    auto in = FileStream::Open(path, mode);
    std::vector<std::uint8_t> buffer(PieceSize);
    for (std::size_t got; (got = in->Read(buffer)) > 0;) take(std::span<const std::uint8_t>(buffer.data(), got));
}

}  // namespace

std::string Sha256OfFile(const std::filesystem::path& path, FileMode mode) {
    Sha256 hasher;
    ReadInPieces(path, mode, [&](std::span<const std::uint8_t> piece) { hasher.Update(piece); });
    return Sha256::ToHex(hasher.Finish());
}

void CopyFileInto(const std::filesystem::path& path, Stream& out, FileMode mode) {
    ReadInPieces(path, mode, [&](std::span<const std::uint8_t> piece) { out.Write(piece); });
}

}  // namespace tw
