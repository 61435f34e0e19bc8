#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace tw {

// Writes a complete sample installation of the game into `dir` (created if missing), made up
// entirely by this project, for demonstrations, tests and benchmarks:
//   ExpansionShared/ExpansionShared.far   holding the careers container Work.iff (only there)
//   GameData/Objects/CarPortal.iff        chance cards and their texts, loose
//   UIGraphics/cpanel/Buttons/JobIconMultiButton.BMP   the button strip, loose
//   UIGraphics/UIGraphics.far             holding the popup strip (only there), stored under
//                                         the name in other letter case
// Ten careers of ten levels with texts in six languages, chance cards on most levels and a
// distinct icon per career. With `copies` above 1 the ten careers repeat that many times
// (the copies have no chance cards), for measuring larger files. The output is the same bytes
// every time.
//
// `dir` must be missing or empty: a folder that holds anything (another installation, perhaps a
// real one) is refused and left as it is. False with the reason in `error` then, and when a
// folder or file cannot be written.
bool WriteSampleInstallation(const std::filesystem::path& dir, std::string* error = nullptr,
                             std::uint32_t copies = 1);

}  // namespace tw
