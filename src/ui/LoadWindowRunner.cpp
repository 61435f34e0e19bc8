#include "ui/LoadWindowRunner.h"

#include "gamefiles/GameContext.h"
#include "gamefiles/GameLoad.h"
#include "ui/LoadingDialog.h"
#include "ui/QtUserPort.h"

namespace tw {
namespace {

// The loading window's Cancel also reaches the load's own request, which the worker reads at
// its checks.
class GameLoadingDialog : public LoadingDialog {
public:
    GameLoadingDialog(Worker worker, LoadRequest& request) : LoadingDialog(std::move(worker)), request_(request) {}

    void reject() override {
        CancelLoad(request_);
        LoadingDialog::reject();
    }

private:
    LoadRequest& request_;
};

}  // namespace

int RunLoadInWindow(GameContext& context, UserPort& port, QtUserPort* statusPort,
                    const std::function<void(LoadingDialog&)>& opened) {
    LoadRequest request(context.gameFolder);
    GameLoadingDialog dialog(
        [&context, &request, &port](LoadControl& control) {
            LoadGameFiles(context, request, port);
            if (request.result.load() != LoadRequest::Loaded) control.Fail();
        },
        request);
    if (statusPort) dialog.RouteStatusOf(*statusPort);
    if (opened) opened(dialog);
    return dialog.Run();
}

}  // namespace tw
