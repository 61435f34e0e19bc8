#pragma once

#include "util/Error.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tw {

class WineRegistry;

// A Wine prefix (~/.wine, $WINEPREFIX, or the "pfx" folder of a Proton game): its machine
// registry file and its drive letters, so that Windows paths read from its registry can be
// turned into paths of this machine.
class WinePrefix {
public:
    explicit WinePrefix(std::filesystem::path root) : root_(std::move(root)) {}

    const std::filesystem::path& Root() const { return root_; }

    // Reads and parses system.reg (HKEY_LOCAL_MACHINE); fails, saying why, when the file is
    // missing, unreadable or malformed.
    Status LoadMachineRegistry(WineRegistry& registry) const;

    // The host path of a Windows path such as "C:\Program Files\Maxis\The Sims\": the drive
    // through the prefix's dosdevices link ("dosdevices/c:" -> "../drive_c"; for C: the
    // prefix's drive_c also serves when the link is missing), the rest matched without regard
    // to letter case (HostPath). Fails, saying why, for a path without a drive letter or a drive
    // the prefix does not map.
    Expected<std::filesystem::path> HostPathOf(std::string_view windowsPath) const;

private:
    std::filesystem::path root_;
};

}  // namespace tw
