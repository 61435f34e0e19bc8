#include "locate/RememberedFolder.h"

#include <system_error>

#include "util/HostPath.h"
#include "util/ReadWholeFile.h"
#include "util/ReplaceFileWhole.h"

namespace tw {
namespace {

// A folder's text is a few hundred bytes; the file is never legitimately larger than this.
constexpr std::size_t MaxFileBytes = 64 * 1024;

bool FitsOnOneLine(const std::string& folder) {
    return !folder.empty() && folder.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

}  // namespace

RememberedFolder::RememberedFolder(EnvironmentLookup environment)
    : environment_(environment ? std::move(environment) : ProcessEnvironment()) {}

std::optional<std::filesystem::path> RememberedFolder::File() const {
    auto variable = [&](const char* name) -> std::optional<std::filesystem::path> {
        std::filesystem::path path = AbsoluteFolderFromEnvironment(environment_, name);
        if (path.empty()) return std::nullopt;
        return path;
    };
#ifdef _WIN32
    if (auto appData = variable("APPDATA")) return *appData / "Trackwright" / "game-folder";
    return std::nullopt;
#else
    if (auto config = variable("XDG_CONFIG_HOME")) return *config / "trackwright" / "game-folder";
    if (auto home = variable("HOME")) return *home / ".config" / "trackwright" / "game-folder";
    return std::nullopt;
#endif
}

Expected<std::string> RememberedFolder::Recall() const {
    auto none = [](std::string reason) -> Expected<std::string> { return Failure(std::move(reason), ErrorKind::Missing); };
    const std::optional<std::filesystem::path> file = File();
    if (!file) return none("no home or configuration folder in the environment");
    Expected<std::string> text = ReadWholeFile(*file, MaxFileBytes);
    if (!text) return std::move(text).Err().Context(PathText(*file));
    std::string folder = text->substr(0, text->find('\n'));
    if (!folder.empty() && folder.back() == '\r') folder.pop_back();
    if (folder.empty()) return none(PathText(*file) + ": empty");
    if (!FitsOnOneLine(folder)) return none(PathText(*file) + ": not a folder text");
    return folder;
}

Status RememberedFolder::Remember(const std::string& folder) const {
    auto fail = [](std::string reason) -> Status { return Failure(std::move(reason), ErrorKind::System); };
    if (!FitsOnOneLine(folder)) return fail("a folder text must be one non-empty line");
    const std::optional<std::filesystem::path> file = File();
    if (!file) return fail("no home or configuration folder in the environment");
    std::error_code ec;
    std::filesystem::create_directories(file->parent_path(), ec);
    if (ec) return fail(PathText(file->parent_path()) + ": " + ec.message());
    const std::string line = folder + "\n";
    return ReplaceFileWhole(*file, [&](Stream& out) {
               out.Write(std::string_view(line));
               return true;
           }).Context(PathText(*file));
}

}  // namespace tw
