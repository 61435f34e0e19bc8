#include "gamefiles/GameFileFinding.h"

#include <algorithm>
#include <cstdint>
#include <system_error>
#include <vector>

#include "gamefiles/GameFileLookup.h"
#include "util/FileStream.h"
#include "util/HostPath.h"

namespace tw {

std::optional<std::filesystem::path> FindNameInArchives(const std::filesystem::path& folder, std::string_view name) {
    // The load's own search, without its messages: the same archives, in the same order.
    if (std::optional<ArchiveMatch> match = FindInArchives(folder, name, nullptr)) return match->archivePath;
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
