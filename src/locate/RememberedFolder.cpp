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

std::optional<std::filesystem::path> RememberedFolder::SettingsFile(const char* name) const {
    auto variable = [&](const char* variableName) -> std::optional<std::filesystem::path> {
        std::filesystem::path path = AbsoluteFolderFromEnvironment(environment_, variableName);
        if (path.empty()) return std::nullopt;
        return path;
    };
#ifdef _WIN32
    if (auto appData = variable("APPDATA")) return *appData / "Trackwright" / name;
    return std::nullopt;
#else
    if (auto config = variable("XDG_CONFIG_HOME")) return *config / "trackwright" / name;
    if (auto home = variable("HOME")) return *home / ".config" / "trackwright" / name;
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
    if (!FitsOnOneLine(folder)) return Failure("a folder text must be one non-empty line");
    return WriteSettingsFile("game-folder", folder + "\n");
}

Expected<std::string> RememberedFolder::ReadSettingsFile(const char* name) const {
    const std::optional<std::filesystem::path> file = SettingsFile(name);
    if (!file) return Failure("no home or configuration folder in the environment", ErrorKind::Missing);
    return ReadWholeFile(*file, MaxFileBytes).Context(PathText(*file));
}

Status RememberedFolder::WriteSettingsFile(const char* name, const std::string& text) const {
    const std::optional<std::filesystem::path> file = SettingsFile(name);
    if (!file) return Failure("no home or configuration folder in the environment", ErrorKind::System);
    std::error_code ec;
    std::filesystem::create_directories(file->parent_path(), ec);
    if (ec) return Failure(PathText(file->parent_path()) + ": " + ec.message(), ErrorKind::System);
    return ReplaceFileWhole(*file, [&](Stream& out) {
               out.Write(std::string_view(text));
               return true;
           }).Context(PathText(*file));
}

}  // namespace tw
