#include "util/HostPath.h"

#include <system_error>
#include <vector>

#include "util/FileError.h"

#ifdef _WIN32
#include "util/Win32.h"
#endif

namespace tw {
namespace {

char FoldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::vector<std::string_view> SplitGameName(std::string_view name) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= name.size(); ++i) {
        if (i == name.size() || name[i] == '\\' || name[i] == '/') {
            std::string_view part = name.substr(start, i - start);
            bool usable = !part.empty() && part != "." && part != "..";
#ifdef _WIN32
            // "C:x" would make the path jump to another drive.
            usable = usable && part.find(':') == std::string_view::npos;
#endif
            if (usable) parts.push_back(part);
            start = i + 1;
        }
    }
    return parts;
}

#ifdef _WIN32
// The name of the entry of `folder` called `name` as the file system stores it (its letter case),
// or an empty path when there is none. Replacing a file under a name spelt otherwise would rename
// it, and under Wine on a case-sensitive disk leave a second file beside it.
std::filesystem::path StoredName(const std::filesystem::path& folder, const std::filesystem::path& name) {
    const std::wstring& wanted = name.native();
    if (wanted.find_first_of(L"*?") != std::wstring::npos) return {};
    WIN32_FIND_DATAW found;
    const std::filesystem::path full = folder / name;
    HANDLE search = FindFirstFileExW(full.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return {};
    FindClose(search);
    // A search also matches the short 8.3 name; only the long name spelt in another case counts.
    const std::wstring stored(found.cFileName);
    if (CompareStringOrdinal(stored.c_str(), static_cast<int>(stored.size()), wanted.c_str(),
                             static_cast<int>(wanted.size()), TRUE) != CSTR_EQUAL)
        return {};
    return std::filesystem::path(stored);
}
#else
// The entry of `folder` named `part` in any letter case, or an empty path.
std::filesystem::path FindCaseVariant(const std::filesystem::path& folder, std::string_view part) {
    std::error_code ec;
    std::filesystem::directory_iterator it(folder.empty() ? std::filesystem::path(".") : folder, ec);
    std::string best;
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (EqualsIgnoringCase(name, part) && (best.empty() || name < best)) best = std::move(name);
    }
    if (best.empty()) return {};
    return folder / best;
}
#endif

}  // namespace

std::vector<std::string_view> SlashedParts(std::string_view relative) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = relative.find('/', start);
        parts.push_back(relative.substr(start, end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

std::filesystem::path PathFromSlashed(const std::filesystem::path& folder, std::string_view relative) {
    std::filesystem::path path = folder;
    for (std::string_view part : SlashedParts(relative)) path /= PathFromText(part);
    return path;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    }
    return true;
}

std::filesystem::path InStoredCase(const std::filesystem::path& folder, const std::filesystem::path& relative) {
    std::filesystem::path result = folder;
#ifdef _WIN32
    bool onDisk = true;
    for (const std::filesystem::path& part : relative) {
        if (onDisk) {
            std::filesystem::path stored = StoredName(result, part);
            if (!stored.empty()) {
                result /= stored;
                continue;
            }
            onDisk = false;
        }
        result /= part;
    }
#else
    result /= relative;
#endif
    return result;
}

std::filesystem::path HostPath(const std::filesystem::path& folder, std::string_view gameName) {
    std::filesystem::path result = folder;
#ifdef _WIN32
    std::filesystem::path relative;
    for (std::string_view part : SplitGameName(gameName)) relative /= PathFromBytes(part);
    result = InStoredCase(folder, relative);
#else
    bool onDisk = true;
    for (std::string_view part : SplitGameName(gameName)) {
        std::filesystem::path exact = result / std::string(part);
        if (onDisk) {
            std::error_code ec;
            if (std::filesystem::symlink_status(exact, ec).type() != std::filesystem::file_type::not_found && !ec) {
                result = std::move(exact);
                continue;
            }
            std::filesystem::path variant = FindCaseVariant(result, part);
            if (!variant.empty()) {
                result = std::move(variant);
                continue;
            }
            onDisk = false;
        }
        result = std::move(exact);
    }
#endif
    return result;
}

#ifdef _WIN32

std::filesystem::path PathFromBytes(std::string_view bytes) {
    if (bytes.empty()) return {};
    const int size = static_cast<int>(bytes.size());
    const int wide = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    if (wide <= 0) return {};
    std::wstring text(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, text.data(), wide);
    return std::filesystem::path(text);
}

std::optional<std::string> BytesFromPath(const std::filesystem::path& path) {
    const std::wstring& text = path.native();
    if (text.empty()) return std::string();
    const int size = static_cast<int>(text.size());
    BOOL lossy = FALSE;
    const int bytes = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr, 0, nullptr, &lossy);
    if (bytes <= 0 || lossy) return std::nullopt;
    std::string out(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, out.data(), bytes, nullptr, &lossy);
    if (lossy) return std::nullopt;
    return out;
}

std::filesystem::path PathFromText(std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int wide = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    if (wide <= 0) return {};
    std::wstring out(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, out.data(), wide);
    return std::filesystem::path(out);
}

std::string PathText(const std::filesystem::path& path) {
    const std::wstring& text = path.native();
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string out(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), bytes, nullptr, nullptr);
    return out;
}

Status ClearReadOnly(const std::filesystem::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    bool ok = attributes != INVALID_FILE_ATTRIBUTES;
    if (ok && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        ok = SetFileAttributesW(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY)) != 0;
    }
    if (!ok) return Failure(LastSystemErrorText(), ErrorKind::System);
    return {};
}

#else

std::filesystem::path PathFromBytes(std::string_view bytes) {
    return std::filesystem::path(std::string(bytes));
}

std::optional<std::string> BytesFromPath(const std::filesystem::path& path) {
    return path.native();
}

std::string PathText(const std::filesystem::path& path) {
    return path.native();
}

std::filesystem::path PathFromText(std::string_view text) {
    return std::filesystem::path(std::string(text));
}

Status ClearReadOnly(const std::filesystem::path& path) {
    std::error_code ec;
    std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::add, ec);
    if (ec) return Failure(ec.message(), ErrorKind::System);
    return {};
}

#endif

}  // namespace tw
