#include "ui/LoadWindowRunner.h"

#include "gamefiles/GameContext.h"
#include "gamefiles/GameLoad.h"
#include "ui/LoadingDialog.h"
#include "ui/QtUserPort.h"

namespace tw {

int RunLoadInWindow(GameContext& context, UserPort& port, QtUserPort* statusPort,
                    const std::function<void(LoadingDialog&)>& opened) {
    LoadRequest request(context.gameFolder);
    LoadingDialog dialog(request, [&context, &port](LoadRequest& running) { LoadGameFiles(context, running, port); });
    if (statusPort) dialog.RouteStatusOf(*statusPort);
    if (opened) opened(dialog);
    return dialog.Run();
}

}  // namespace tw
