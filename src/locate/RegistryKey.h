#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tw {

class WineRegistry;

enum class RegistryRoot { LocalMachine, CurrentUser };

// What one registry key held. Each value present is kept as text: its data up to the first zero
// byte and never beyond the data's length, whatever the value's type. Absent values are simply
// not in `values`.
struct RegistryKey {
    bool found = false;
    std::string where;  // the key (and view) that was read, for traces
    std::map<std::string, std::string> values;  // by the name asked for

    const std::string* Value(const std::string& name) const {
        const auto it = values.find(name);
        return it == values.end() ? nullptr : &it->second;
    }
};

// Reads the values `names` of a key. A 32-bit program on 64-bit Windows sees its keys below
// "Software\Wow6432Node"; the game is such a program, so its view is tried first, then the
// other. The first view whose key holds names[0] wins; failing that the first view whose key
// exists.
using RegistryLookup =
    std::function<RegistryKey(RegistryRoot root, const std::string& keyPath, const std::vector<std::string>& names)>;

// The Windows registry (RegOpenKeyExW with KEY_QUERY_VALUE and the 32-bit, then the 64-bit view;
// values read with RegQueryValueExA, so texts are in the system's ANSI code page). Elsewhere it
// finds nothing.
RegistryKey ReadSystemRegistry(RegistryRoot root, const std::string& keyPath, const std::vector<std::string>& names);

// The same look-up in a Wine registry file: the "Software\Wow6432Node\..." form of the key, then
// the plain one. Texts come out in UTF-8.
RegistryKey ReadWineKey(const WineRegistry& registry, const std::string& keyPath, const std::vector<std::string>& names);

}  // namespace tw
