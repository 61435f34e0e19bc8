#include "gamefiles/GameFileLookup.h"

#include "gamefiles/GameChange.h"
#include "gamefiles/HostPath.h"
#include "util/FileError.h"
#include "util/MemoryStream.h"

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
        std::unique_ptr<FileStream> file = FileStream::TryOpen(archivePath, FileMode::ReadShared);
        if (!file) continue;
        auto archive = std::make_unique<FARFile>(*file, port);
        if (!archive->ReadDirectory()) continue;
        if (std::optional<std::size_t> index = FindEntry(*archive, std::string(name)))
            return ArchiveMatch{std::move(archive), *index, archivePath};
    }
    return std::nullopt;
}

std::optional<fs::path> ExtractToLooseFile(ArchiveMatch& match, const fs::path& folder, std::string_view name,
                                           Installation& installation, LookupProblem& problem) {
    CreateNameFolders(folder, name);
    const fs::path path = HostPath(folder, name);
    if (!installation.Writes()) {
        problem.reason = "the game is not held for writing";
        return std::nullopt;
    }
    // The file did not exist before: the record of its originals says so, to remove it again.
    auto transaction = std::make_unique<GameChange>(installation);
    const std::size_t change = transaction->Create(path);
    Status status = transaction->Prepare();
    if (status) {
        status = transaction->Write(change, [&match](Stream& target) {
            return match.archive->ExtractEntryToFile(match.index, target)
                       ? Status()
                       : Status::Failure(PathText(match.archivePath) + ": the entry cannot be read");
        });
    }
    if (status) status = transaction->Commit();
    if (!status) {
        problem.reason = status.Reason();
        return std::nullopt;
    }
    return path;
}

std::unique_ptr<Stream> OpenGameStream(const fs::path& folder, std::string_view name, UserPort& port,
                                       Installation* installation, LookupProblem& problem) {
    problem = {};
    const bool writes = installation != nullptr && installation->Writes();
    const fs::path path = HostPath(folder, name);
    if (NameTaken(path)) {
        if (writes) ClearReadOnlyMark(path);
        std::string why;
        std::unique_ptr<FileStream> file =
            FileStream::TryOpen(path, writes ? FileMode::ReadWriteShared : FileMode::ReadAnyShared, &why);
        if (!file) {
            problem.blocking = true;
            problem.reason = PathText(path) + ": " + why;
        }
        return file;
    }

    std::optional<ArchiveMatch> match = FindInArchives(folder, name, &port);
    if (!match) return nullptr;
    if (!writes) return ReadIntoMemory(*match, problem);
    const std::optional<fs::path> extracted = ExtractToLooseFile(*match, folder, name, *installation, problem);
    match.reset();  // the archive is released before the loose file is used
    if (!extracted) return nullptr;
    std::string why;
    std::unique_ptr<FileStream> file = FileStream::TryOpen(*extracted, FileMode::ReadWriteShared, &why);
    if (!file) problem.reason = PathText(*extracted) + ": " + why;
    return file;
}

bool LoadGameIFF(IFFFile& container, const fs::path& folder, std::string_view name, UserPort& port,
                 Installation* installation, LookupProblem& problem) {
    container.Clear();
    std::unique_ptr<Stream> file = OpenGameStream(folder, name, port, installation, problem);
    if (!file) return false;
    container.AttachFile(*file);
    file.reset();  // the container keeps its own duplicate
    if (container.OpenIFFFile(nullptr, true)) return true;
    problem.reason = PathText(HostPath(folder, name)) + ": " + container.OpenProblem();
    return false;
}

}  // namespace tw
