#include "gamefiles/GameFileFinding.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <span>
#include <system_error>
#include <vector>

#include "gamefiles/HostPath.h"
#include "util/ByteReader.h"
#include "util/FileError.h"
#include "util/FileStream.h"

namespace tw {
namespace {

// The game's archives have directories of a few hundred kilobytes; a directory beyond this is
// taken as damage rather than read into memory.
constexpr std::uint64_t MaxDirectoryBytes = 64 * 1024 * 1024;

bool ArchiveHoldsName(const std::filesystem::path& archive, std::string_view name) {
    try {
        auto file = FileStream::Open(archive, FileMode::ReadShared);
        const std::uint64_t length = file->Length();
        if (length < 16) return false;
        std::vector<std::uint8_t> header(16);
        if (file->Read(header) != header.size()) return false;
        // char[8] signature "FAR!byAZ"; uint32 version (1); uint32 directory offset.
        ByteReader head(header);
        const auto signature = head.Bytes(8);
        const std::uint32_t version = head.U32Le();
        const std::uint32_t directoryOffset = head.U32Le();
        if (!std::equal(signature.begin(), signature.end(), "FAR!byAZ") || version != 1) return false;
        if (directoryOffset == 0 || std::uint64_t{directoryOffset} + 4 > length) return false;
        const std::uint64_t directorySize = length - directoryOffset;
        if (directorySize > MaxDirectoryBytes) return false;

        std::vector<std::uint8_t> directory(static_cast<std::size_t>(directorySize));
        file->Seek(directoryOffset);
        if (file->Read(directory) != directory.size()) return false;
        // uint32 entry count; then per entry: uint32 size, uint32 second size, uint32 data offset,
        // uint32 name length, the name's bytes.
        ByteReader reader(directory);
        const std::uint32_t count = reader.U32Le();
        bool holds = false;
        for (std::uint32_t i = 0; i < count; ++i) {
            reader.Skip(12);
            const std::uint32_t nameLength = reader.U32Le();
            const auto stored = reader.Bytes(nameLength);
            // One bad entry spoils the whole directory, as it does for the load.
            if (!reader.Ok()) return false;
            std::string_view text(reinterpret_cast<const char*>(stored.data()), stored.size());
            text = text.substr(0, text.find('\0'));
            if (!holds && EqualsIgnoringCase(text, name)) holds = true;
        }
        return holds;
    } catch (const FileError&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace

std::optional<std::filesystem::path> FindNameInArchives(const std::filesystem::path& folder, std::string_view name) {
    std::vector<std::filesystem::path> archives;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        const std::filesystem::path& path = it->path();
        std::error_code typeError;
        if (EqualsIgnoringCase(PathText(path.extension()), ".far") && it->is_regular_file(typeError)) {
            archives.push_back(path);
        }
    }
    std::sort(archives.begin(), archives.end());
    for (const std::filesystem::path& archive : archives) {
        if (ArchiveHoldsName(archive, name)) return archive;
    }
    return std::nullopt;
}

GameFileFinding FindGameFile(const std::filesystem::path& gameFolder, std::string_view folder, std::string_view name,
                             const ArchiveLookup& archives) {
    GameFileFinding finding;
    finding.gameName = std::string(folder);
    if (!finding.gameName.empty() && finding.gameName.back() != '\\') finding.gameName += '\\';
    finding.gameName += name;

    std::error_code ec;
    const std::filesystem::path loose = HostPath(gameFolder, finding.gameName);
    if (std::filesystem::is_regular_file(loose, ec)) {
        finding.where = GameFileFinding::Where::Loose;
        finding.path = loose;
        return finding;
    }
    const std::filesystem::path hostFolder = HostPath(gameFolder, folder);
    if (archives) {
        if (archives(hostFolder, std::string(name))) {
            finding.where = GameFileFinding::Where::InArchive;
            finding.path = hostFolder;
        }
    } else if (std::optional<std::filesystem::path> archive = FindNameInArchives(hostFolder, name)) {
        finding.where = GameFileFinding::Where::InArchive;
        finding.path = *archive;
    }
    return finding;
}

GameFileFinding FindCareersFile(const std::filesystem::path& gameFolder, const ArchiveLookup& archives) {
    GameFileFinding finding;
    for (const auto& [folder, name] : {std::pair<const char*, const char*>{"ExpansionShared\\", "Work.iff"},
                                       {"GameData\\", "Careers.iff"},
                                       {"GameData\\", "Careers"}}) {
        finding = FindGameFile(gameFolder, folder, name, archives);
        if (finding.Found()) return finding;
    }
    finding.gameName.clear();
    return finding;
}

}  // namespace tw
