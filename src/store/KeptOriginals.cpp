#include "store/KeptOriginals.h"

#include "util/FileError.h"
#include "util/FileStream.h"
#include "util/HostPath.h"
#include "util/OwnFolder.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <exception>

#include <nlohmann/json.hpp>

namespace tw {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

constexpr std::size_t MaxManifestBytes = 16 << 20;

bool IsDigest(const std::string& text) {
    return text.size() == 64 && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

// A relative path of plain parts: no root, no empty, "." or ".." part, no backslash or colon,
// so that a manifest cannot lead anything outside the game folder or the kept files' folder.
bool IsSafeRelative(const std::string& path) {
    if (path.empty() || path.find_first_of(std::string("\\:\0", 3)) != std::string::npos) return false;
    for (std::string_view part : SlashedParts(path)) {
        if (part.empty() || part == "." || part == "..") return false;
    }
    return true;
}

}  // namespace

const KeptOriginal* KeptOriginalsManifest::Find(std::string_view path) const {
    for (const KeptOriginal& file : files) {
#ifdef _WIN32
        // One file whatever the case of its name, as Windows finds it.
        if (EqualsIgnoringCase(file.path, path)) return &file;
#else
        if (file.path == path) return &file;
#endif
    }
    return nullptr;
}

KeptOriginal* KeptOriginalsManifest::Find(std::string_view path) {
    return const_cast<KeptOriginal*>(static_cast<const KeptOriginalsManifest&>(*this).Find(path));
}

void KeptOriginalsManifest::Add(KeptOriginal file) {
    if (Find(file.path) != nullptr) return;
    const auto at = std::lower_bound(files.begin(), files.end(), file.path,
                                     [](const KeptOriginal& f, const std::string& path) { return f.path < path; });
    files.insert(at, std::move(file));
}

std::string EncodeKeptOriginals(const KeptOriginalsManifest& manifest) {
    Json files = Json::array();
    for (const KeptOriginal& file : manifest.files) {
        Json entry;
        entry["path"] = file.path;
        if (file.absent) {
            entry["absent"] = true;
        } else {
            entry["size"] = file.size;
            entry["sha256"] = file.sha256;
        }
        entry["keptAt"] = file.keptAt;
        entry["lastWritten"] = file.lastWritten;
        files.push_back(std::move(entry));
    }
    Json root;
    root["keptOriginals"] = 1;
    root["gameFolder"] = manifest.gameFolder;
    root["files"] = std::move(files);
    // A folder name that is no UTF-8 (possible on Linux) is only shown, never used: its odd
    // bytes become replacement characters rather than stopping the save.
    return root.dump(1, '\t', false, Json::error_handler_t::replace) + "\n";
}

Status ParseKeptOriginals(std::string_view text, KeptOriginalsManifest& manifest) {
    auto damaged = [](const std::string& why) { return Status::Failure("the manifest is damaged: " + why); };
    try {
        const Json root = Json::parse(text);
        const bool heading = root.is_object() && root.contains("keptOriginals") &&
                             root["keptOriginals"].is_number_integer() && root["keptOriginals"].get<std::int64_t>() == 1;
        if (!heading) return damaged("it is no manifest of kept originals");
        if (!root.contains("gameFolder") || !root["gameFolder"].is_string()) return damaged("no game folder");
        if (!root.contains("files") || !root["files"].is_array()) return damaged("no list of files");
        KeptOriginalsManifest read;
        read.gameFolder = root["gameFolder"].get<std::string>();
        for (const Json& entry : root["files"]) {
            KeptOriginal file;
            if (!entry.is_object() || !entry.contains("path") || !entry["path"].is_string())
                return damaged("a file without a path");
            file.path = entry["path"].get<std::string>();
            if (!IsSafeRelative(file.path)) return damaged("the path \"" + file.path + "\" is not inside the game folder");
            auto textOf = [&](const char* key, std::string& out) {
                if (!entry.contains(key) || !entry[key].is_string()) return false;
                out = entry[key].get<std::string>();
                return true;
            };
            if (entry.contains("absent")) {
                if (!entry["absent"].is_boolean()) return damaged(file.path + " has a broken \"absent\"");
                file.absent = entry["absent"].get<bool>();
            }
            if (!textOf("keptAt", file.keptAt) || !textOf("lastWritten", file.lastWritten))
                return damaged(file.path + " lacks its dates or digests");
            if (!file.lastWritten.empty() && !IsDigest(file.lastWritten)) return damaged(file.path + " has a broken digest");
            if (!file.absent) {
                if (!entry.contains("size") || !entry["size"].is_number_unsigned() || !textOf("sha256", file.sha256) ||
                    !IsDigest(file.sha256))
                    return damaged(file.path + " lacks its size or digest");
                file.size = entry["size"].get<std::uint64_t>();
            }
            if (read.Find(file.path) != nullptr) return damaged(file.path + " is listed twice");
            read.Add(std::move(file));
        }
        manifest = std::move(read);
    } catch (const std::exception& e) {
        std::string what = e.what();
        const std::size_t tag = what.find("] ");
        return damaged(tag == std::string::npos ? what : what.substr(tag + 2));
    }
    return {};
}

fs::path KeptOriginalsFolder::KeptCopy(std::string_view relative) const {
    return PathFromSlashed(folder_ / "files", relative);
}

Status KeptOriginalsFolder::Read(KeptOriginalsManifest& manifest) const {
    manifest = {};
    const fs::path file = Manifest();
    std::error_code ec;
    if (fs::symlink_status(file, ec).type() == fs::file_type::not_found) return {};
    // What is kept is trusted only in a folder of this user's own that nobody else may write.
    if (Status own = CheckOwnFolder(folder_); !own) return Status::Failure(own.Reason());
    std::string text;
    try {
        text = files_->ReadOwn(file, MaxManifestBytes);
    } catch (const FileError& e) {
        return Status::Failure(PathText(file) + ": " + e.what());
    }
    if (Status parsed = ParseKeptOriginals(text, manifest); !parsed) return Status::Failure(PathText(file) + ": " + parsed.Reason());
    return {};
}

fs::path DefaultOriginalsRoot(const EnvironmentLookup& environment) {
    auto absolute = [&](const char* name) { return AbsoluteFolderFromEnvironment(environment, name); };
#ifdef _WIN32
    if (fs::path local = absolute("LOCALAPPDATA"); !local.empty()) return local / "Trackwright" / "originals";
    return {};
#else
    if (fs::path data = absolute("XDG_DATA_HOME"); !data.empty()) return data / "trackwright" / "originals";
    if (fs::path home = absolute("HOME"); !home.empty()) return home / ".local" / "share" / "trackwright" / "originals";
    return {};
#endif
}

std::string UtcTimestamp() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &now);
#else
    gmtime_r(&now, &utc);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

}  // namespace tw
