#include "gamefiles/GameFileLookup.h"

#include "gamefiles/HostPath.h"
#include "util/FileError.h"
#include "util/ReplaceFileWhole.h"

#include <algorithm>
#include <system_error>
#include <vector>

namespace tw {
namespace {

namespace fs = std::filesystem;

// Taking away the read-only mark lets the load hold the file for writing; on Windows only the
// read-only attribute goes, the others stay.
void ClearReadOnlyMark(const fs::path& path) {
    std::error_code ec;
    if (fs::is_regular_file(path, ec)) ClearReadOnly(path);
}

std::vector<fs::path> ListArchives(const fs::path& folder) {
    std::vector<fs::path> archives;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string fileName = it->path().filename().string();
        if (fileName.size() < 4 || !EqualsIgnoringCase(std::string_view(fileName).substr(fileName.size() - 4), ".far"))
            continue;
        std::error_code kind;
        if (it->is_directory(kind)) continue;
        archives.push_back(it->path());
    }
    std::sort(archives.begin(), archives.end(),
              [](const fs::path& a, const fs::path& b) { return a.filename().string() < b.filename().string(); });
    return archives;
}

// Creates the folders of `name` below `folder`, outermost first. A folder that exists or cannot
// be made is passed over; a failure shows when the file itself cannot be written.
void CreateNameFolders(const fs::path& folder, std::string_view name) {
    const std::size_t lastSeparator = name.find_last_of('\\');
    if (lastSeparator == std::string_view::npos) return;
    const std::string_view folders = name.substr(0, lastSeparator);
    std::error_code ec;
    for (std::size_t next = folders.find('\\'); next != std::string_view::npos; next = folders.find('\\', next + 1))
        fs::create_directory(HostPath(folder, folders.substr(0, next)), ec);
    fs::create_directory(HostPath(folder, folders), ec);
}

// The loose file if it opens, else the archives' copy written out loose and opened.
std::unique_ptr<FileStream> OpenLooseOrExtracted(const fs::path& folder, std::string_view name, UserPort& port) {
    const fs::path path = HostPath(folder, name);
    ClearReadOnlyMark(path);
    if (auto file = FileStream::TryOpen(path, FileMode::ReadWriteShared)) return file;

    std::optional<ArchiveMatch> match = FindInArchives(folder, name, &port);
    if (!match) return nullptr;
    const std::optional<fs::path> extracted = ExtractToLooseFile(*match, folder, name);
    match.reset();  // the archive is released before the loose file is used
    if (!extracted) return nullptr;
    return FileStream::TryOpen(*extracted, FileMode::ReadWriteShared);
}

}  // namespace

std::optional<ArchiveMatch> FindInArchives(const fs::path& folder, std::string_view name, UserPort* port) {
    for (const fs::path& archivePath : ListArchives(folder)) {
        std::unique_ptr<FileStream> file = FileStream::TryOpen(archivePath, FileMode::ReadShared);
        if (!file) continue;
        auto archive = std::make_unique<FARFile>(*file, port);
        if (!archive->ReadDirectory()) continue;
        if (std::optional<std::size_t> index = FindEntry(*archive, std::string(name)))
            return ArchiveMatch{std::move(archive), *index, archivePath};
    }
    return std::nullopt;
}

std::optional<fs::path> ExtractToLooseFile(ArchiveMatch& match, const fs::path& folder, std::string_view name) {
    CreateNameFolders(folder, name);
    const fs::path path = HostPath(folder, name);
    // Written beside the target and moved into place only when complete, so that a half-written
    // file never stands in for the archive's good copy on the next load.
    const bool written = ReplaceFileWhole(path, [&match](Stream& target) {
        return match.archive->ExtractEntryToFile(match.index, target);
    });
    if (!written) return std::nullopt;
    return path;
}

bool LoadGameIFF(IFFFile& container, const fs::path& folder, std::string_view name, UserPort& port) {
    container.Clear();
    std::unique_ptr<FileStream> file = OpenLooseOrExtracted(folder, name, port);
    if (!file) return false;
    container.AttachFile(*file);
    file.reset();  // the container keeps its own duplicate
    return container.OpenIFFFile(nullptr, true);
}

bool OpenGameFile(std::unique_ptr<FileStream>& file, const fs::path& folder, std::string_view name, UserPort& port) {
    file.reset();
    file = OpenLooseOrExtracted(folder, name, port);
    return file != nullptr;
}

}  // namespace tw
