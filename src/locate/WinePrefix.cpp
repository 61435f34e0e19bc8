#include "locate/WinePrefix.h"

#include <system_error>

#include "locate/WineRegistry.h"
#include "util/HostPath.h"
#include "util/ReadWholeFile.h"

namespace tw {
namespace {

// A fresh prefix's system.reg is about 2 MB; a prefix with many programs can grow to tens of MB.
constexpr std::size_t MaxRegistryBytes = 256 * 1024 * 1024;

}  // namespace

Status WinePrefix::LoadMachineRegistry(WineRegistry& registry) const {
    const std::filesystem::path file = root_ / "system.reg";
    Expected<std::string> text = ReadWholeFile(file, MaxRegistryBytes);
    Status parsed = text ? registry.Parse(*text) : Status(std::move(text).Err());
    return std::move(parsed).Context(PathText(file));
}

Expected<std::filesystem::path> WinePrefix::HostPathOf(std::string_view windowsPath) const {
    auto fail = [](std::string reason) -> Expected<std::filesystem::path> {
        return Failure(std::move(reason), ErrorKind::Missing);
    };
    const bool hasDrive = windowsPath.size() >= 2 && windowsPath[1] == ':' &&
                          ((windowsPath[0] >= 'A' && windowsPath[0] <= 'Z') || (windowsPath[0] >= 'a' && windowsPath[0] <= 'z'));
    if (!hasDrive) return fail("\"" + std::string(windowsPath) + "\" has no drive letter");
    char letter = windowsPath[0];
    if (letter >= 'A' && letter <= 'Z') letter = static_cast<char>(letter - 'A' + 'a');
    const std::string drive = std::string(1, letter) + ":";

    std::error_code ec;
    std::filesystem::path driveRoot = root_ / "dosdevices" / drive;
    if (!std::filesystem::is_directory(driveRoot, ec)) {
        if (letter == 'c' && std::filesystem::is_directory(root_ / "drive_c", ec)) {
            driveRoot = root_ / "drive_c";
        } else {
            return fail("drive " + drive + " is not mapped in " + PathText(root_ / "dosdevices"));
        }
    } else {
        // Resolve the link so that the path reads as the folder it is ("/home/me/.wine/drive_c").
        std::filesystem::path resolved = std::filesystem::canonical(driveRoot, ec);
        if (!ec) driveRoot = std::move(resolved);
    }
    return HostPath(driveRoot, windowsPath.substr(2));
}

}  // namespace tw
