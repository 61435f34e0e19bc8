#pragma once

#include "icons/Bitmap.h"
#include "icons/IconStrips.h"
#include "model/CardTexts.h"
#include "model/Career.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tw {

class GameContext;

// Which parts of the loaded game an edit may change.
struct EditScope {
    std::vector<std::uint32_t> careers = {};  // by index: track, texts and cards
    bool allCareers = false;
    bool cardTexts = false;
    std::vector<std::uint32_t> iconsOf = {};  // by career index: both icons
    bool allIcons = false;
};

// Those parts of the loaded game as they stand at one moment: what an edit found, or what it
// left. Putting a part back gives the model exactly those values; the chunks that the model's
// resources remember in the containers stay the current ones, so a part taken before a save can
// be put back after the save's reload.
class ModelPart {
public:
    static ModelPart Take(const GameContext& context, const EditScope& scope);
    void Put(GameContext& context) const;

private:
    struct Icons {
        std::uint16_t number = 0;
        Bitmap popup;
        Bitmap button;
        bool hasPopup = false;
        bool hasButton = false;
    };

    std::vector<std::pair<std::uint32_t, Career>> careers_;
    std::optional<std::vector<Career>> allCareers_;
    std::optional<CardTexts> cardTexts_;
    std::vector<Icons> icons_;
    std::optional<IconStrips> allIcons_;
};

}  // namespace tw
