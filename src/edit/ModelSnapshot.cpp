#include "edit/ModelSnapshot.h"

#include "gamefiles/GameContext.h"

namespace tw {

ModelSnapshot ModelSnapshot::Of(const GameContext& context) {
    return ModelSnapshot{context.careerSet.careers, context.careerSet.cardTexts, context.iconStrips};
}

}  // namespace tw
