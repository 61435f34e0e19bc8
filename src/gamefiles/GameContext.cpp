#include "gamefiles/GameContext.h"

#include "gamefiles/HostPath.h"

namespace tw {

Status GameContext::TakeInstallation(Installation::Intent intent) {
    const std::filesystem::path folder = PathFromBytes(gameFolder);
    if (installation && installation->GameFolder() == folder &&
        (intent == Installation::Intent::Read || installation->Writes()))
        return {};
    installation.reset();
    Status status;
    installation = Installation::Open(folder, installationOptions, intent, status);
    return status;
}

void GameContext::CloseBitmapFiles() {
    buttonsBitmapFile.reset();
    popupBitmapFile.reset();
}

void GameContext::EmptyContainers() {
    careersIFF.Clear();
    chanceCardsIFF.Clear();
}

}  // namespace tw
