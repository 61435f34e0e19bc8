#include "gamefiles/GameContext.h"

namespace tw {

void GameContext::CloseBitmapFiles() {
    buttonsBitmapFile.reset();
    popupBitmapFile.reset();
}

void GameContext::EmptyContainers() {
    careersIFF.Clear();
    chanceCardsIFF.Clear();
}

}  // namespace tw
