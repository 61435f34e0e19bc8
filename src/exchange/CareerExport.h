#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace tw {

class CareerSet;
class IconStrips;
class IFFFile;
class UserPort;

// Adds the six chunks of career `career` (CAR#, STR#, CARD, BMP1, BMP2, INFO), all with chunk id
// `id`, to `container`; it does not save the container. An icon that cannot be cut out of its
// strip is reported through `port` and stored as an empty chunk. False, with no message, when
// the career does not exist or its track or texts cannot be encoded (chunks added before stay).
bool ExportCareerTrack(IFFFile& container, std::uint32_t career, std::uint16_t id, const CareerSet& careers,
                       const IconStrips& icons, UserPort& port);

// Writes career `career` as an exported career track to `path`, replacing a file there whole,
// and tells the person the outcome ("Successfully exported!" or the error). False when nothing
// was written; an existing file is then left as it was.
bool ExportCareerToFile(const std::filesystem::path& path, std::uint32_t career, const CareerSet& careers,
                        const IconStrips& icons, UserPort& port);

// Writes the backup of all careers to `path`, replacing a file there whole, and tells the person
// the outcome. False when nothing was written, also when careers of the game could not be loaded
// (the backup would lack them).
bool BackupToFile(const std::filesystem::path& path, const CareerSet& careers, const IconStrips& icons,
                  UserPort& port);

// The name that Export suggests for career `career`: its internal name, with the characters
// that a file name cannot hold as "_", and ".iff". The wildcard "*.iff" (no suggestion) for a
// career that does not exist or a name with nothing left.
std::string ExportFileName(const CareerSet& careers, std::uint32_t career);

// Career > Export: with a career selected, asks for the file name and exports that career.
// True when a file was written. The model is not changed.
bool CareerExportCommand(std::optional<std::uint32_t> selectedCareer, const CareerSet& careers,
                         const IconStrips& icons, UserPort& port);

// Career > Backup: asks for the file name and writes the backup. True when a file was written.
bool CareerBackupCommand(const CareerSet& careers, const IconStrips& icons, UserPort& port);

}  // namespace tw
