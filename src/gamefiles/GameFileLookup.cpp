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
std::unique_ptr<Stream> ReadIntoMemory(ArchiveMatch& match, LookupProblem& problem) {
    const std::uint8_t* data = nullptr;
    std::uint32_t size = 0;
    if (!match.archive->GetEntryData(match.index, data, size)) {
        problem.reason = PathText(match.archivePath) + ": the entry cannot be read";
        return nullptr;
    }
    return std::make_unique<MemoryStream>(std::vector<std::uint8_t>(data, data + size));
}

}  // namespace

std::optional<ArchiveMatch> FindInArchives(const fs::path& folder, std::string_view name, UserPort* port) {
    for (const fs::path& archivePath : ListArchives(folder)) {
        std::unique_ptr<FileStream> file = FileStream::TryOpen(archivePath, FileMode::ReadAnyShared);
        if (!file) continue;
        auto archive = std::make_unique<FARFile>(*file, port);
        if (!archive->ReadDirectory()) continue;
        if (std::optional<std::size_t> index = FindEntry(*archive, std::string(name)))
            return ArchiveMatch{std::move(archive), *index, archivePath};
    }
    return std::nullopt;
}

std::unique_ptr<Stream> OpenGameStream(const fs::path& folder, std::string_view name, UserPort& port,
                                       bool holdAgainstWriters, GameFileSource& source, LookupProblem& problem) {
    problem = {};
    source = {HostPath(folder, name), false};
    if (NameTaken(source.path)) {
        source.loose = true;
        std::string why;
        std::unique_ptr<FileStream> file = FileStream::TryOpen(
            source.path, holdAgainstWriters ? FileMode::ReadShared : FileMode::ReadAnyShared, &why);
        if (!file) {
            problem.blocking = true;
            problem.reason = PathText(source.path) + ": " + why;
        }
        return file;
    }
    std::optional<ArchiveMatch> match = FindInArchives(folder, name, &port);
    if (!match) return nullptr;
    return ReadIntoMemory(*match, problem);
}

bool LoadGameIFF(IFFFile& container, const fs::path& folder, std::string_view name, UserPort& port,
                 bool holdAgainstWriters, GameFileSource& source, LookupProblem& problem) {
    container.Clear();
    std::unique_ptr<Stream> file = OpenGameStream(folder, name, port, holdAgainstWriters, source, problem);
    if (!file) return false;
    container.AttachFile(*file);
    file.reset();  // the container keeps its own duplicate
    if (container.OpenIFFFile(nullptr, true)) return true;
    problem.reason = PathText(source.path) + ": " + container.OpenProblem();
    return false;
}

}  // namespace tw
