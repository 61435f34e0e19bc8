#include "edit/ModelPart.h"

#include "gamefiles/GameContext.h"

namespace tw {
namespace {

// The values of `from` with the chunks that `into` remembers.
void PutCareer(const Career& from, Career& into) {
    const ChunkHandle track = into.track.handle;
    const ChunkHandle texts = into.texts.table.handle;
    into = from;
    into.track.handle = track;
    into.texts.table.handle = texts;
}

}  // namespace

ModelPart ModelPart::Take(const GameContext& context, const EditScope& scope) {
    const CareerSet& set = context.careerSet;
    ModelPart part;
    if (scope.allCareers) {
        part.allCareers_ = set.careers;
    } else {
        for (std::uint32_t career : scope.careers)
            if (career < set.Count()) part.careers_.emplace_back(career, set.careers[career]);
    }
    if (scope.cardTexts || scope.allCareers) part.cardTexts_ = set.cardTexts;
    if (scope.allIcons) {
        part.allIcons_ = context.iconStrips;
    } else {
        for (std::uint32_t career : scope.iconsOf) {
            if (career >= set.Count()) continue;
            Icons icons;
            icons.number = set.careers[career].id;
            icons.hasPopup = context.iconStrips.GetPopupIcon(icons.number, icons.popup);
            icons.hasButton = context.iconStrips.GetButtonIcon(icons.number, icons.button);
            part.icons_.push_back(std::move(icons));
        }
    }
    return part;
}

void ModelPart::Put(GameContext& context) const {
    CareerSet& set = context.careerSet;
    if (allCareers_) {
        // Restores and imports keep every career's place and id: only the values come back.
        for (std::size_t career = 0; career < set.Count() && career < allCareers_->size(); ++career)
            PutCareer((*allCareers_)[career], set.careers[career]);
    }
    for (const auto& [career, value] : careers_)
        if (career < set.Count()) PutCareer(value, set.careers[career]);
    if (cardTexts_) {
        const ChunkHandle handle = set.cardTexts.table.handle;
        set.cardTexts = *cardTexts_;
        set.cardTexts.table.handle = handle;
    }
    if (allIcons_) context.iconStrips = *allIcons_;
    for (const Icons& icons : icons_) {
        if (icons.hasPopup) context.iconStrips.PutPopupIcon(icons.number, icons.popup);
        if (icons.hasButton) context.iconStrips.PutButtonIcon(icons.number, icons.button);
    }
}

}  // namespace tw
