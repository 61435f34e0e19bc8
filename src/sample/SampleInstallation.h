#pragma once

#include "util/Error.h"

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
// real one) is refused, saying why, and left as it is; so is a folder or file that cannot be
// written.
Status WriteSampleInstallation(const std::filesystem::path& dir, std::uint32_t copies = 1);

}  // namespace tw
