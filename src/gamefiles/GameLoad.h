#pragma once

#include "gamefiles/GameContext.h"
#include "util/UserPort.h"

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace tw {

// Shared between the loading window and the load's worker, without locks.
struct LoadRequest {
    static constexpr int Loaded = 1;
    static constexpr int Failed = 2;  // failed or cancelled

    explicit LoadRequest(std::string gameFolder) : folder(std::move(gameFolder)) {}

    // Set to 1 by Cancel; the worker stops at its next check.
    std::atomic<int> cancel{0};
    // Set to 1 by the worker when it stops, for whatever reason; it never runs after that.
    std::atomic<int> done{0};
    // The window's result: 1 loaded, 2 failed or cancelled. The worker sets 2 before done.
    std::atomic<int> result{Loaded};
    // A copy of the game folder, taken when the load starts.
    const std::string folder;
};

// Runs a whole load and returns its result (1 loaded, 2 failed or cancelled). The editor's
// runner shows the loading window; RunLoad below runs without one.
using LoadRunner = std::function<int(GameContext&)>;

// The load's worker: loads the chance-card container, the careers container, the careers and
// chance cards, and both icon strips into `context`, in that order, showing each file in the
// status line and every warning and failure through `port` (which must accept calls from this
// thread). Stops at the first failure with result 2; ends by setting done.
void LoadGameFiles(GameContext& context, LoadRequest& request, UserPort& port);

// Starts the worker on a thread of its own, for the loading window: the window polls
// request.done, calls CancelLoad for Cancel, and joins the thread once done is 1.
std::thread StartLoad(GameContext& context, LoadRequest& request, UserPort& port);

// What Cancel does: the result becomes 2 at once, and the worker stops at its next check.
void CancelLoad(LoadRequest& request);

// Runs the worker on its own thread and waits for it; for the command-line tool and tests.
int RunLoad(GameContext& context, UserPort& port);

}  // namespace tw
