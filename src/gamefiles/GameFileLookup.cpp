#include "gamefiles/GameFileLookup.h"

#include "util/FileError.h"
#include "util/ReplaceFileWhole.h"

#include <algorithm>
#include <system_error>
#include <vector>

namespace tw {
namespace {

namespace fs = std::filesystem;

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
}

// The parts of a game name, split at backslashes; empty parts (doubled or trailing
// separators) are dropped.
std::vector<std::string> SplitGameName(std::string_view name) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t end = std::min(name.find('\\', start), name.size());
        if (end > start) parts.emplace_back(name.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// The entry of `folder` spelled like `part` without regard to case, or `part` itself.
std::string MatchPart(const fs::path& folder, const std::string& part) {
#ifdef _WIN32
    // The file system itself ignores case here.
    (void)folder;
    return part;
#else
    std::error_code ec;
    if (fs::exists(folder / part, ec)) return part;
    std::vector<std::string> matches;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (EqualIgnoringCase(entry, part)) matches.push_back(entry);
    }
    if (matches.empty()) return part;
    return *std::min_element(matches.begin(), matches.end());
#endif
}

// Taking away the read-only mark lets the load hold the file for writing; on Windows this
// clears the read-only attribute and leaves the others alone.
void ClearReadOnlyMark(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return;
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ec);
}

std::vector<fs::path> ListArchives(const fs::path& folder) {
    std::vector<fs::path> archives;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string fileName = it->path().filename().string();
        if (fileName.size() < 4 || !EqualIgnoringCase(std::string_view(fileName).substr(fileName.size() - 4), ".far"))
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
    const std::vector<std::string> parts = SplitGameName(name);
    fs::path current = folder;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        current /= MatchPart(current, parts[i]);
        std::error_code ec;
        fs::create_directory(current, ec);
    }
}

// The loose file if it opens, else the archives' copy written out loose and opened.
std::unique_ptr<FileStream> OpenLooseOrExtracted(const fs::path& folder, std::string_view name, UserPort& port) {
    const fs::path path = ResolveGameName(folder, name);
    ClearReadOnlyMark(path);
    if (auto file = FileStream::TryOpen(path, FileMode::ReadWriteShared)) return file;

    std::optional<ArchiveMatch> match = FindInArchives(folder, name, port);
    if (!match) return nullptr;
    const std::optional<fs::path> extracted = ExtractToLooseFile(*match, folder, name);
    match.reset();  // the archive is released before the loose file is used
    if (!extracted) return nullptr;
    return FileStream::TryOpen(*extracted, FileMode::ReadWriteShared);
}

}  // namespace

fs::path ResolveGameName(const fs::path& base, std::string_view name) {
    fs::path path = base;
    for (const std::string& part : SplitGameName(name)) path /= MatchPart(path, part);
    return path;
}

std::optional<ArchiveMatch> FindInArchives(const fs::path& folder, std::string_view name, UserPort& port) {
    for (const fs::path& archivePath : ListArchives(folder)) {
        std::unique_ptr<FileStream> file = FileStream::TryOpen(archivePath, FileMode::ReadShared);
        if (!file) continue;
        auto archive = std::make_unique<FARFile>(*file, &port);
        if (!archive->ReadDirectory()) continue;
        if (std::optional<std::size_t> index = FindEntry(*archive, std::string(name)))
            return ArchiveMatch{std::move(archive), *index, archivePath};
    }
    return std::nullopt;
}

std::optional<fs::path> ExtractToLooseFile(ArchiveMatch& match, const fs::path& folder, std::string_view name) {
    CreateNameFolders(folder, name);
    const fs::path path = ResolveGameName(folder, name);
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
