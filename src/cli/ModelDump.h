#pragma once

#include <string>
#include <vector>

namespace tw {
class CareerSet;
class IconStrips;
struct GameFileProblem;
}  // namespace tw

namespace tw::cli {

// What `dump` prints: the loaded model as one JSON object.
struct DumpInput {
    std::string gameFolder;   // as found
    std::string careersFile;  // relative to the game folder, '/' as separator
    bool chanceCardsDisabled = false;
    const CareerSet* careers = nullptr;
    const IconStrips* icons = nullptr;
    // What the load could not read (the dump's "problems"); none for an empty list.
    const std::vector<GameFileProblem>* problems = nullptr;
    // Texts decoded from each slot's code page instead of byte for byte.
    bool utf8 = false;
};

std::string DumpJson(const DumpInput& input);

}  // namespace tw::cli
