#include "locate/RegistryKey.h"

#include <new>

#include "locate/WineRegistry.h"

#ifdef _WIN32
#include "util/Win32.h"
#endif

namespace tw {
namespace {

// "Software\Maxis\The Sims" -> "Software\Wow6432Node\Maxis\The Sims".
std::string Wow6432Form(const std::string& keyPath) {
    const std::size_t slash = keyPath.find('\\');
    if (slash == std::string::npos) return keyPath + "\\Wow6432Node";
    return keyPath.substr(0, slash) + "\\Wow6432Node" + keyPath.substr(slash);
}

// Of the keys read, the first holding names[0], else the first found, else a not-found key
// that names the last place looked at.
RegistryKey Choose(std::vector<RegistryKey> views, const std::vector<std::string>& names) {
    for (RegistryKey& key : views) {
        if (key.found && !names.empty() && key.Value(names.front()) != nullptr) return std::move(key);
    }
    for (RegistryKey& key : views) {
        if (key.found) return std::move(key);
    }
    RegistryKey none;
    for (const RegistryKey& key : views) none.where += (none.where.empty() ? "" : ", ") + key.where;
    return none;
}

#ifdef _WIN32

std::wstring Wide(const std::string& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int wide = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (wide <= 0) return {};
    std::wstring out(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, out.data(), wide);
    return out;
}

RegistryKey ReadView(RegistryRoot root, const std::string& keyPath, const std::vector<std::string>& names,
                     REGSAM view) {
    RegistryKey key;
    const bool machine = root == RegistryRoot::LocalMachine;
    key.where = std::string(machine ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\") + keyPath +
                (view == KEY_WOW64_32KEY ? " (32-bit view)" : " (64-bit view)");
    HKEY handle = nullptr;
    const std::wstring path = Wide(keyPath);
    if (RegOpenKeyExW(machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE | view,
                      &handle) != ERROR_SUCCESS) {
        return key;
    }
    key.found = true;
    struct Closer {
        HKEY handle;
        ~Closer() { RegCloseKey(handle); }
    } closer{handle};
    for (const std::string& name : names) {
        // Ask for the size, then read; the value may grow in between, so ask again a few times.
        DWORD size = 0;
        LONG status = RegQueryValueExA(handle, name.c_str(), nullptr, nullptr, nullptr, &size);
        std::string data;
        bool read = false;
        for (int attempt = 0; attempt < 4 && status == ERROR_SUCCESS && !read; ++attempt) {
            try {
                data.assign(size, '\0');
            } catch (const std::bad_alloc&) {
                break;  // a buffer that cannot be had: the value is passed over
            }
            DWORD got = size;
            status = RegQueryValueExA(handle, name.c_str(), nullptr, nullptr,
                                      reinterpret_cast<BYTE*>(data.data()), &got);
            if (status == ERROR_SUCCESS) {
                data.resize(got < size ? got : size);
                read = true;
            } else if (status == ERROR_MORE_DATA) {
                size = got;
                status = ERROR_SUCCESS;
            }
        }
        if (!read) continue;
        const std::size_t zero = data.find('\0');
        key.values[name] = data.substr(0, zero == std::string::npos ? data.size() : zero);
    }
    return key;
}

#endif

}  // namespace

RegistryKey ReadSystemRegistry(RegistryRoot root, const std::string& keyPath, const std::vector<std::string>& names) {
#ifdef _WIN32
    std::vector<RegistryKey> views;
    views.push_back(ReadView(root, keyPath, names, KEY_WOW64_32KEY));
    views.push_back(ReadView(root, keyPath, names, KEY_WOW64_64KEY));
    return Choose(std::move(views), names);
#else
    (void)names;
    RegistryKey none;
    none.where = std::string(root == RegistryRoot::LocalMachine ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\") +
                 keyPath + " (no Windows registry on this system)";
    return none;
#endif
}

RegistryKey ReadWineKey(const WineRegistry& registry, const std::string& keyPath, const std::vector<std::string>& names) {
    std::vector<RegistryKey> forms;
    for (const std::string& path : {Wow6432Form(keyPath), keyPath}) {
        RegistryKey key;
        key.where = path;
        key.found = registry.HasKey(path);
        for (const std::string& name : names) {
            if (const WineRegistry::Value* value = registry.FindValue(path, name)) key.values[name] = WineRegistry::Text(*value);
        }
        forms.push_back(std::move(key));
    }
    return Choose(std::move(forms), names);
}

}  // namespace tw
