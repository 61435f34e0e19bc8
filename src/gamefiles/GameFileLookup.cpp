#include "gamefiles/GameFileLookup.h"

#include "util/FileError.h"
#include "util/HostPath.h"
#include "util/MemoryStream.h"

#include <algorithm>
#include <system_error>
#include <vector>

namespace tw {
namespace {

namespace fs = std::filesystem;

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

// Whether anything has that name: a file, a folder, a link (even one that leads nowhere).
bool NameTaken(const fs::path& path) {
    std::error_code ec;
    return fs::symlink_status(path, ec).type() != fs::file_type::not_found && !ec;
}

// The archive entry's bytes, in memory.
Expected<std::unique_ptr<Stream>> ReadIntoMemory(ArchiveMatch& match) {
    const std::uint8_t* data = nullptr;
    std::uint32_t size = 0;
    if (!match.archive->GetEntryData(match.index, data, size))
        return Failure(PathText(match.archivePath) + ": the entry cannot be read", ErrorKind::Damaged);
    return std::unique_ptr<Stream>(std::make_unique<MemoryStream>(std::vector<std::uint8_t>(data, data + size)));
}

}  // namespace

std::optional<ArchiveMatch> FindInArchives(const fs::path& folder, std::string_view name, UserPort* port) {
    for (const fs::path& archivePath : ListArchives(folder)) {
        Expected<std::unique_ptr<FileStream>> file = FileStream::TryOpen(archivePath, FileMode::ReadAnyShared);
        if (!file) continue;
        auto archive = std::make_unique<FARFile>(**file, port);
        if (!archive->ReadDirectory()) continue;
        if (std::optional<std::size_t> index = FindEntry(*archive, std::string(name)))
            return ArchiveMatch{std::move(archive), *index, archivePath};
    }
    return std::nullopt;
}

Expected<std::unique_ptr<Stream>> OpenGameStream(const fs::path& folder, std::string_view name, UserPort& port,
                                                 bool holdAgainstWriters, GameFileSource& source) {
    source = {HostPath(folder, name), false};
    if (NameTaken(source.path)) {
        source.loose = true;
        Expected<std::unique_ptr<FileStream>> file =
            FileStream::TryOpen(source.path, holdAgainstWriters ? FileMode::ReadShared : FileMode::ReadAnyShared);
        if (!file) return std::move(file).Err().Context(PathText(source.path));
        return std::unique_ptr<Stream>(std::move(*file));
    }
    std::optional<ArchiveMatch> match = FindInArchives(folder, name, &port);
    if (!match) return Failure(PathText(source.path) + ": not found", ErrorKind::Missing);
    return ReadIntoMemory(*match);
}

Status LoadGameIFF(IFFFile& container, const fs::path& folder, std::string_view name, UserPort& port,
                   bool holdAgainstWriters, GameFileSource& source) {
    container.Clear();
    Expected<std::unique_ptr<Stream>> file = OpenGameStream(folder, name, port, holdAgainstWriters, source);
    if (!file) return std::move(file).Err();
    container.AttachFile(**file);
    file->reset();  // the container keeps its own duplicate
    if (container.OpenIFFFile(nullptr, true)) return {};
    return Failure(PathText(source.path) + ": " + container.OpenProblem(), ErrorKind::Damaged);
}

}  // namespace tw
