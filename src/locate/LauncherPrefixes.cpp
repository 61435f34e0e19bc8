#include "locate/LauncherPrefixes.h"

#include <algorithm>
#include <functional>
#include <string_view>
#include <system_error>

#include "locate/HeroicGameSettings.h"
#include "locate/YamlScalar.h"
#include "util/HostPath.h"
#include "util/ReadWholeFile.h"

namespace tw {
namespace {

// A launcher's settings file holds a few kilobytes; anything far larger is not one.
constexpr std::size_t MaxSettingsBytes = 1024 * 1024;
// A launcher keeps a few dozen games; of a folder with far more entries only this many are read.
constexpr std::size_t MaxEntries = 4096;

// Reads the prefix texts that one settings file names; fails, saying why, when malformed.
using SettingsReader = std::function<Expected<std::vector<std::string>>(std::string_view text)>;

Expected<std::vector<std::string>> ReadYamlPath(std::string_view text, const std::vector<std::string_view>& keyPath) {
    Expected<std::optional<std::string>> value = FindYamlScalar(text, keyPath);
    if (!value) return std::move(value).Err();
    std::vector<std::string> prefixes;
    if (*value) prefixes.push_back(std::move(**value));
    return prefixes;
}

class Gatherer {
public:
    explicit Gatherer(const EnvironmentLookup& environment) {
        home_ = Absolute(environment("HOME"));
        if (!home_) return;
        config_ = Absolute(environment("XDG_CONFIG_HOME")).value_or(*home_ / ".config");
        data_ = Absolute(environment("XDG_DATA_HOME")).value_or(*home_ / ".local" / "share");
    }

    std::vector<LauncherFinding> Find(Launcher launcher) {
        if (!home_) return {};
        const std::filesystem::path flatpaks = *home_ / ".var" / "app";
        switch (launcher) {
            case Launcher::Lutris: {
                const SettingsReader lutris = [](std::string_view text) { return ReadYamlPath(text, {"game", "prefix"}); };
                const std::filesystem::path flatpak = flatpaks / "net.lutris.Lutris";
                for (const std::filesystem::path& folder :
                     {config_ / "lutris" / "games", data_ / "lutris" / "games", flatpak / "config" / "lutris" / "games",
                      flatpak / "data" / "lutris" / "games"}) {
                    SettingsFiles(folder, ".yml", lutris);
                }
                PrefixFolders(*home_ / "Games");
                break;
            }
            case Launcher::Heroic: {
                for (const std::filesystem::path& folder :
                     {config_ / "heroic" / "GamesConfig",
                      flatpaks / "com.heroicgameslauncher.hgl" / "config" / "heroic" / "GamesConfig"}) {
                    SettingsFiles(folder, ".json", ParseHeroicWinePrefixes);
                }
                PrefixFolders(*home_ / "Games" / "Heroic" / "Prefixes");
                break;
            }
            case Launcher::Bottles:
                for (const std::filesystem::path& folder :
                     {data_ / "bottles" / "bottles", flatpaks / "com.usebottles.bottles" / "data" / "bottles" / "bottles"}) {
                    Bottles(folder);
                }
                break;
        }
        return std::move(findings_);
    }

private:
    static std::optional<std::filesystem::path> Absolute(const std::optional<std::string>& text) {
        if (!text || text->empty()) return std::nullopt;
        std::filesystem::path path = PathFromBytes(*text);
        if (!path.is_absolute()) return std::nullopt;
        return path;
    }

    void Note(const std::filesystem::path& candidate, std::string outcome,
              std::optional<std::filesystem::path> prefix = std::nullopt) {
        findings_.push_back(LauncherFinding{PathText(candidate), std::move(outcome), std::move(prefix)});
    }

    // The folders of `folder`, or its regular files whose names end in `extension`, by name.
    std::vector<std::filesystem::path> List(const std::filesystem::path& folder, std::string_view extension) {
        std::error_code ec;
        if (!std::filesystem::is_directory(folder, ec)) {
            Note(folder, "no such folder");
            return {};
        }
        std::vector<std::filesystem::path> entries;
        std::size_t read = 0;
        std::filesystem::directory_iterator it(folder, ec);
        for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
            if (++read > MaxEntries) {
                Note(folder, "more than " + std::to_string(MaxEntries) + " entries; the rest is not looked at");
                break;
            }
            std::error_code typeError;
            const bool wanted = extension.empty()
                                    ? it->is_directory(typeError)
                                    : it->is_regular_file(typeError) && it->path().filename().string().ends_with(extension);
            if (wanted) entries.push_back(it->path());
        }
        if (ec) Note(folder, "listing stopped: " + ec.message());
        std::sort(entries.begin(), entries.end());
        return entries;
    }

    // A prefix text of a settings file as a path: "~/..." counts from HOME; other relative texts
    // would depend on the working folder and are refused.
    std::optional<std::filesystem::path> SettingsPath(const std::string& text) const {
        if (text == "~") return *home_;
        if (text.starts_with("~/")) return *home_ / PathFromBytes(std::string_view(text).substr(2));
        return Absolute(text);
    }

    // Each prefix that the settings file `file` names, or why it names none.
    void SettingsFile(const std::filesystem::path& file, const SettingsReader& read, bool namesBottle = false) {
        Expected<std::string> text = ReadWholeFile(file, MaxSettingsBytes);
        Expected<std::vector<std::string>> prefixes = text ? read(*text) : std::move(text).Err();
        if (!prefixes) {
            Note(file, "skipped: " + prefixes.Reason());
            return;
        }
        if (prefixes->empty()) Note(file, "names no prefix");
        for (const std::string& prefix : *prefixes) {
            std::optional<std::filesystem::path> path = SettingsPath(prefix);
            if (!path) {
                Note(file, "names \"" + prefix + "\", passed over: not an absolute path");
                continue;
            }
            // Some releases of Bottles name the bottle's own settings file rather than its folder.
            if (namesBottle && path->filename() == "bottle.yml") *path = path->parent_path();
            Note(file, "names " + PathText(*path), *path);
        }
    }

    void SettingsFiles(const std::filesystem::path& folder, std::string_view extension, const SettingsReader& read) {
        for (const std::filesystem::path& file : List(folder, extension)) SettingsFile(file, read);
    }

    void PrefixFolders(const std::filesystem::path& folder) {
        for (const std::filesystem::path& prefix : List(folder, {})) Note(prefix, "", prefix);
    }

    // Each bottle: the folder itself, or the bottle kept elsewhere that its placeholder.yml names.
    void Bottles(const std::filesystem::path& folder) {
        const SettingsReader placeholder = [](std::string_view text) { return ReadYamlPath(text, {"Path"}); };
        for (const std::filesystem::path& bottle : List(folder, {})) {
            const std::filesystem::path file = bottle / "placeholder.yml";
            std::error_code ec;
            if (std::filesystem::exists(std::filesystem::symlink_status(file, ec))) {
                SettingsFile(file, placeholder, true);
            } else {
                Note(bottle, "", bottle);
            }
        }
    }

    std::optional<std::filesystem::path> home_;
    std::filesystem::path config_;
    std::filesystem::path data_;
    std::vector<LauncherFinding> findings_;
};

}  // namespace

std::vector<LauncherFinding> FindLauncherPrefixes(Launcher launcher, const EnvironmentLookup& environment) {
    return Gatherer(environment ? environment : ProcessEnvironment()).Find(launcher);
}

Expected<std::filesystem::path> LauncherPrefixRoot(const std::filesystem::path& root) {
    std::error_code ec;
    if (!std::filesystem::is_directory(root, ec)) return Failure("no such folder", ErrorKind::Missing);
    for (const char* part : {"system.reg", "drive_c", "dosdevices"}) {
        if (std::filesystem::exists(root / part, ec)) return root;
    }
    if (std::filesystem::is_directory(root / "pfx", ec)) return root / "pfx";
    return Failure("not a Wine prefix: no system.reg, drive_c or pfx", ErrorKind::Missing);
}

}  // namespace tw
