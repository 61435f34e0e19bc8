#include "locate/GameLocation.h"

#include <exception>
#include <filesystem>
#include <optional>
#include <set>
#include <system_error>

#include "util/HostPath.h"
#ifndef _WIN32
#include "locate/LauncherPrefixes.h"
#endif
#include "locate/RememberedFolder.h"
#include "locate/SteamLibraries.h"
#include "locate/WinePrefix.h"
#include "locate/WineRegistry.h"

namespace tw {
namespace {

const std::string SimsKey = "Software\\Maxis\\The Sims";
const std::vector<std::string> SimsValues = {"SIMS_DATA", "EP3Installed", "EP4Installed", "InstallPath"};
// The Steam edition of the game: its folder below steamapps/common and its application id,
// which names its Proton prefix below steamapps/compatdata.
constexpr const char* SteamGameFolder = "The Sims Legacy Collection";
constexpr const char* SteamGameId = "3314060";
// Where the game's installers put it below Program Files; "The Sims Legacy" is the EA app's.
constexpr const char* DefaultInstallFolders[] = {"Maxis\\The Sims", "EA Games\\The Sims", "EA Games\\The Sims Legacy",
                                                 "The Sims Legacy Collection"};

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// "EP3Installed \"1\", EP4Installed absent" for the trace.
std::string FlagsText(const std::optional<std::string>& ep3, const std::optional<std::string>& ep4) {
    return std::string("EP3Installed ") + (ep3 ? Quoted(*ep3) : "absent") + ", EP4Installed " +
           (ep4 ? Quoted(*ep4) : "absent");
}

std::optional<std::string> KeyValue(const RegistryKey& key, const std::string& name) {
    if (const std::string* value = key.Value(name)) return *value;
    return std::nullopt;
}

// A folder's text with links and ".." resolved: the key under which it counts as seen.
std::string CanonicalText(const std::filesystem::path& folder) {
    std::error_code ec;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(folder, ec);
    return PathText(ec ? folder : canonical);
}

std::string FindingText(const GameFileFinding& finding) {
    std::string text = "holds " + finding.gameName;
    if (finding.where == GameFileFinding::Where::InArchive) text += " inside " + PathText(finding.path);
    return text;
}

class Locator {
public:
    Locator(const LocateOptions& options, LocateResult& result)
        : options_(options),
          environment_(options.environment ? options.environment : ProcessEnvironment()),
          result_(result) {}

    void Run() {
        if (FromOption() || FromEnvironment() || FromRegistry() || FromRemembered() || FromInstallPath() ||
            FromWellKnownPlaces()) {
            return;
        }
        result_.location = GameLocation{};
        if (machineKey_.found) {
            result_.location.expansion3Flag = KeyValue(machineKey_, "EP3Installed").value_or("");
            result_.location.expansion4Flag = KeyValue(machineKey_, "EP4Installed").value_or("");
        }
        Step(LocateSource::None, "", "no game folder found");
    }

private:
    std::optional<std::string> Environment(const std::string& name) const {
        std::optional<std::string> value = environment_(name);
        if (value && value->empty()) return std::nullopt;
        return value;
    }

    void Step(LocateSource source, std::string candidate, std::string outcome) {
        result_.trace.push_back(LocateStep{source, std::move(candidate), std::move(outcome), false});
    }

    bool Take(LocateSource source, std::string folder, std::string ep3, std::string ep4, std::string candidate,
              std::string outcome) {
        result_.location = GameLocation{std::move(folder), std::move(ep3), std::move(ep4), source};
        result_.trace.push_back(LocateStep{source, std::move(candidate), std::move(outcome), true});
        return true;
    }

    // A folder from the later sources: taken only when it holds a careers file. `flags`, when
    // given, is the registry key whose expansion texts go with the folder.
    bool TryCandidate(LocateSource source, const std::filesystem::path& folder, const RegistryKey* flags = nullptr) {
        const std::string text = PathText(folder);
        std::error_code ec;
        if (folder.empty() || !std::filesystem::is_directory(folder, ec)) {
            Step(source, text, "no such folder");
            return false;
        }
        if (!seen_.insert(CanonicalText(folder)).second) {
            Step(source, text, "already looked at");
            return false;
        }
        const GameFileFinding finding = FindCareersFile(folder, options_.archiveLookup);
        if (!finding.Found()) {
            Step(source, text,
                 "passed over: no careers file (ExpansionShared\\Work.iff, GameData\\Careers.iff, GameData\\Careers)");
            return false;
        }
        std::optional<std::string> bytes = BytesFromPath(folder);
        if (!bytes) {
            Step(source, text, "passed over: the folder's name cannot be written in the system's code page");
            return false;
        }
        std::string ep3;
        std::string ep4;
        if (flags != nullptr) {
            ep3 = KeyValue(*flags, "EP3Installed").value_or("");
            ep4 = KeyValue(*flags, "EP4Installed").value_or("");
        }
        return Take(source, std::move(*bytes), std::move(ep3), std::move(ep4), text, FindingText(finding));
    }

    bool FromOption() {
        if (options_.gameFolder.empty()) {
            Step(LocateSource::GameOption, "--game", "not given");
            return false;
        }
        std::optional<std::string> ep3 = Environment("EP3Installed");
        std::optional<std::string> ep4 = Environment("EP4Installed");
        return Take(LocateSource::GameOption, options_.gameFolder, ep3.value_or(""), ep4.value_or(""),
                    PathText(PathFromBytes(options_.gameFolder)), "given; used as it is; " + FlagsText(ep3, ep4));
    }

    bool FromEnvironment() {
        std::optional<std::string> folder = Environment("SIMS_DATA");
        if (!folder) {
            Step(LocateSource::Environment, "SIMS_DATA", "not set");
            return false;
        }
        std::optional<std::string> ep3 = Environment("EP3Installed");
        std::optional<std::string> ep4 = Environment("EP4Installed");
        return Take(LocateSource::Environment, *folder, ep3.value_or(""), ep4.value_or(""), "SIMS_DATA",
                    Quoted(PathText(PathFromBytes(*folder))) + "; used as it is; " + FlagsText(ep3, ep4));
    }

    // The key's SIMS_DATA, used as it is. `machineKey_` keeps the key for the later sources.
    bool FromRegistry() {
#ifdef _WIN32
        machineKey_ = Registry()(RegistryRoot::LocalMachine, SimsKey, SimsValues);
        const std::string where = machineKey_.where;
#else
        std::optional<std::filesystem::path> prefix;
        if (std::optional<std::string> variable = Environment("WINEPREFIX")) {
            prefix = PathFromBytes(*variable);
        } else if (std::optional<std::string> home = Environment("HOME")) {
            prefix = PathFromBytes(*home) / ".wine";
        } else {
            Step(LocateSource::Registry, "WINEPREFIX", "neither WINEPREFIX nor HOME is set");
            return false;
        }
        registryPrefix_.emplace(*prefix);
        std::error_code ec;
        if (!std::filesystem::is_directory(*prefix, ec)) {
            Step(LocateSource::Registry, PathText(*prefix), "no such folder");
            return false;
        }
        WineRegistry registry;
        if (const Status loaded = registryPrefix_->LoadMachineRegistry(registry); !loaded) {
            Step(LocateSource::Registry, PathText(*prefix), "skipped: " + loaded.Reason());
            return false;
        }
        machineKey_ = ReadWineKey(registry, SimsKey, SimsValues);
        const std::string where = PathText(*prefix / "system.reg") + " [" + machineKey_.where + "]";
#endif
        if (!machineKey_.found) {
            Step(LocateSource::Registry, where, "no such key");
            return false;
        }
        const std::optional<std::string> ep3 = KeyValue(machineKey_, "EP3Installed");
        const std::optional<std::string> ep4 = KeyValue(machineKey_, "EP4Installed");
        const std::optional<std::string> folder = KeyValue(machineKey_, "SIMS_DATA");
        if (!folder || folder->empty()) {
            Step(LocateSource::Registry, where, std::string(folder ? "SIMS_DATA is empty; " : "no SIMS_DATA; ") + FlagsText(ep3, ep4));
            return false;
        }
#ifdef _WIN32
        return Take(LocateSource::Registry, *folder, ep3.value_or(""), ep4.value_or(""), where,
                    "SIMS_DATA " + Quoted(PathText(PathFromBytes(*folder))) + "; used as it is; " + FlagsText(ep3, ep4));
#else
        const Expected<std::filesystem::path> host = registryPrefix_->HostPathOf(*folder);
        if (!host) {
            Step(LocateSource::Registry, where, "SIMS_DATA " + Quoted(*folder) + " passed over: " + host.Reason());
            return false;
        }
        return Take(LocateSource::Registry, PathText(*host), ep3.value_or(""), ep4.value_or(""), where,
                    "SIMS_DATA " + Quoted(*folder) + " is " + PathText(*host) + "; used as it is; " + FlagsText(ep3, ep4));
#endif
    }

    bool FromRemembered() {
        const RememberedFolder remembered(environment_);
        const Expected<std::string> folder = remembered.Recall();
        if (!folder) {
            const std::optional<std::filesystem::path> file = remembered.File();
            Step(LocateSource::Remembered, file ? PathText(*file) : "remembered folder", "none: " + folder.Reason());
            return false;
        }
        return TryCandidate(LocateSource::Remembered, PathFromBytes(*folder));
    }

    bool FromInstallPath() {
        if (!machineKey_.found) return false;
        const std::optional<std::string> folder = KeyValue(machineKey_, "InstallPath");
        if (!folder || folder->empty()) {
            Step(LocateSource::InstallPath, machineKey_.where, "no InstallPath");
            return false;
        }
#ifdef _WIN32
        return TryCandidate(LocateSource::InstallPath, PathFromBytes(*folder), &machineKey_);
#else
        const Expected<std::filesystem::path> host = registryPrefix_->HostPathOf(*folder);
        if (!host) {
            Step(LocateSource::InstallPath, machineKey_.where,
                 "InstallPath " + Quoted(*folder) + " passed over: " + host.Reason());
            return false;
        }
        return TryCandidate(LocateSource::InstallPath, *host, &machineKey_);
#endif
    }

    // The default install folders below one Program Files folder: each that exists is a
    // candidate; those that do not are named together in one step.
    bool TryDefaultFolders(const std::filesystem::path& programFiles) {
        std::error_code ec;
        if (!std::filesystem::is_directory(programFiles, ec)) {
            Step(LocateSource::DefaultFolder, PathText(programFiles), "no such folder");
            return false;
        }
        std::string missing;
        for (const char* folder : DefaultInstallFolders) {
            const std::filesystem::path candidate = HostPath(programFiles, folder);
            if (std::filesystem::is_directory(candidate, ec)) {
                if (TryCandidate(LocateSource::DefaultFolder, candidate)) return true;
            } else {
                missing += (missing.empty() ? "" : ", ") + std::string(folder);
            }
        }
        if (!missing.empty()) Step(LocateSource::DefaultFolder, PathText(programFiles), "not there: " + missing);
        return false;
    }

    // Every library of each Steam installation, each library once.
    std::vector<std::filesystem::path> SteamLibraryList(const std::vector<std::filesystem::path>& steamFolders) {
        std::vector<std::filesystem::path> libraries;
        std::set<std::string> known;
        for (const std::filesystem::path& steam : steamFolders) {
            std::error_code ec;
            if (!std::filesystem::is_directory(steam, ec)) {
                Step(LocateSource::SteamLibrary, PathText(steam), "no Steam installation");
                continue;
            }
            const SteamLibrariesFound found = SteamLibraries(steam);
            if (found.listPassedOver)
                Step(LocateSource::SteamLibrary, PathText(steam), "library list skipped: " + found.listPassedOver->Message());
            for (const std::filesystem::path& library : found.libraries) {
                if (known.insert(CanonicalText(library)).second) libraries.push_back(library);
            }
        }
        return libraries;
    }

    bool TrySteamGames(const std::vector<std::filesystem::path>& libraries) {
        for (const std::filesystem::path& library : libraries) {
            if (TryCandidate(LocateSource::SteamLibrary,
                             HostPath(library, std::string("steamapps\\common\\") + SteamGameFolder))) {
                return true;
            }
        }
        return false;
    }

#ifdef _WIN32
    RegistryLookup Registry() const {
        return options_.windowsRegistry ? options_.windowsRegistry : RegistryLookup(ReadSystemRegistry);
    }

    bool FromWellKnownPlaces() {
        std::vector<std::string> bases;
        for (const char* variable : {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432"}) {
            if (std::optional<std::string> base = Environment(variable)) bases.push_back(*base);
        }
        if (bases.empty()) bases = {"C:\\Program Files", "C:\\Program Files (x86)"};
        std::vector<std::string> distinct;
        for (const std::string& base : bases) {
            bool known = false;
            for (const std::string& other : distinct) known = known || EqualsIgnoringCase(base, other);
            if (!known) distinct.push_back(base);
        }
        for (const std::string& base : distinct) {
            if (TryDefaultFolders(PathFromBytes(base))) return true;
        }

        const RegistryKey steam = Registry()(RegistryRoot::CurrentUser, "Software\\Valve\\Steam", {"SteamPath"});
        const std::optional<std::string> steamPath = KeyValue(steam, "SteamPath");
        if (!steamPath || steamPath->empty()) {
            Step(LocateSource::SteamLibrary, steam.where, steam.found ? "no SteamPath" : "no such key");
            return false;
        }
        // Steam keeps its own path with forward slashes ("c:/program files (x86)/steam").
        return TrySteamGames(SteamLibraryList({PathFromBytes(*steamPath).make_preferred()}));
    }
#else
    // The game's key in a prefix's registry (unless that registry was read already), then the
    // default install folders on the prefix's drive C:.
    bool TryPrefix(LocateSource source, const std::filesystem::path& root, bool readRegistry) {
        std::error_code ec;
        if (!std::filesystem::is_directory(root, ec)) {
            Step(source, PathText(root), "no such folder");
            return false;
        }
        // A launcher's prefix may also be $WINEPREFIX, or named by two settings files.
        if (!seenPrefixes_.insert(CanonicalText(root)).second) {
            Step(source, PathText(root), "already looked at");
            return false;
        }
        const WinePrefix prefix(root);
        if (readRegistry) {
            WineRegistry registry;
            if (const Status loaded = prefix.LoadMachineRegistry(registry); !loaded) {
                Step(source, PathText(root), "registry skipped: " + loaded.Reason());
            } else {
                const RegistryKey key = ReadWineKey(registry, SimsKey, SimsValues);
                const std::string where = PathText(root / "system.reg") + " [" + key.where + "]";
                if (!key.found) Step(source, where, "no such key");
                for (const char* name : {"SIMS_DATA", "InstallPath"}) {
                    const std::optional<std::string> folder = KeyValue(key, name);
                    if (!key.found || !folder || folder->empty()) continue;
                    const Expected<std::filesystem::path> host = prefix.HostPathOf(*folder);
                    if (!host) {
                        Step(source, where, std::string(name) + " " + Quoted(*folder) + " passed over: " + host.Reason());
                    } else if (TryCandidate(source, *host, &key)) {
                        return true;
                    }
                }
            }
        }
        for (const char* base : {"C:\\Program Files", "C:\\Program Files (x86)"}) {
            const Expected<std::filesystem::path> programFiles = prefix.HostPathOf(base);
            if (!programFiles) {
                Step(LocateSource::DefaultFolder, PathText(root) + " [" + base + "]", "passed over: " + programFiles.Reason());
            } else if (TryDefaultFolders(*programFiles)) {
                return true;
            }
        }
        return false;
    }

    // The prefixes of one game launcher, in the order LauncherPrefixes finds them.
    bool TryLauncher(LocateSource source, Launcher launcher) {
        for (const LauncherFinding& finding : FindLauncherPrefixes(launcher, environment_)) {
            if (!finding.outcome.empty()) Step(source, finding.candidate, finding.outcome);
            if (!finding.prefix) continue;
            const Expected<std::filesystem::path> root = LauncherPrefixRoot(*finding.prefix);
            if (!root) {
                Step(source, PathText(*finding.prefix), root.Reason());
            } else if (TryPrefix(source, *root, true)) {
                return true;
            }
        }
        return false;
    }

    bool FromWellKnownPlaces() {
        const std::optional<std::string> homeText = Environment("HOME");
        if (!homeText) Step(LocateSource::SteamLibrary, "HOME", "not set");
        const std::filesystem::path home = homeText ? PathFromBytes(*homeText) : std::filesystem::path();
        if (homeText) {
            const std::vector<std::filesystem::path> libraries = SteamLibraryList({
                home / ".steam" / "steam",
                home / ".local" / "share" / "Steam",
                home / ".var" / "app" / "com.valvesoftware.Steam" / ".local" / "share" / "Steam",
            });
            if (TrySteamGames(libraries)) return true;
            for (const std::filesystem::path& library : libraries) {
                const std::filesystem::path prefix =
                    HostPath(library, std::string("steamapps\\compatdata\\") + SteamGameId + "\\pfx");
                if (TryPrefix(LocateSource::ProtonPrefix, prefix, true)) return true;
            }
            if (TryLauncher(LocateSource::LutrisPrefix, Launcher::Lutris) ||
                TryLauncher(LocateSource::HeroicPrefix, Launcher::Heroic) ||
                TryLauncher(LocateSource::BottlesPrefix, Launcher::Bottles)) {
                return true;
            }
        }

        // Wine prefixes: the one whose key was read above (its drive C: only), and ~/.wine.
        std::error_code ec;
        const bool registryIsHomeWine =
            homeText && registryPrefix_ &&
            std::filesystem::weakly_canonical(registryPrefix_->Root(), ec) ==
                std::filesystem::weakly_canonical(home / ".wine", ec);
        if (registryPrefix_ && !registryIsHomeWine && TryPrefix(LocateSource::WinePrefix, registryPrefix_->Root(), false)) {
            return true;
        }
        return homeText && TryPrefix(LocateSource::WinePrefix, home / ".wine", !registryIsHomeWine);
    }
#endif

    const LocateOptions& options_;
    EnvironmentLookup environment_;
    LocateResult& result_;
    RegistryKey machineKey_;     // the game's key as FromRegistry read it
    std::set<std::string> seen_;  // candidate folders already looked at, canonical
#ifndef _WIN32
    std::optional<WinePrefix> registryPrefix_;  // the prefix whose key FromRegistry read
    std::set<std::string> seenPrefixes_;        // prefixes already searched, canonical
#endif
};

}  // namespace

std::string_view LocateSourceName(LocateSource source) {
    switch (source) {
        case LocateSource::None: return "none";
        case LocateSource::GameOption: return "--game";
        case LocateSource::Environment: return "environment";
        case LocateSource::Registry: return "registry";
        case LocateSource::Remembered: return "remembered folder";
        case LocateSource::InstallPath: return "registry InstallPath";
        case LocateSource::DefaultFolder: return "default install folder";
        case LocateSource::SteamLibrary: return "Steam library";
        case LocateSource::ProtonPrefix: return "Proton prefix";
        case LocateSource::LutrisPrefix: return "Lutris prefix";
        case LocateSource::HeroicPrefix: return "Heroic prefix";
        case LocateSource::BottlesPrefix: return "Bottles prefix";
        case LocateSource::WinePrefix: return "Wine prefix";
    }
    return "unknown";
}

LocateResult LocateGame(const LocateOptions& options) {
    LocateResult result;
    try {
        Locator(options, result).Run();
    } catch (const std::exception& e) {
        // Only the environment's own failures (memory, a path the system cannot convert) land
        // here; the search ends with what it had.
        result.trace.push_back(LocateStep{LocateSource::None, "", std::string("search stopped: ") + e.what(), false});
    }
    return result;
}

}  // namespace tw
