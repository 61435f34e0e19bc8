#pragma once

#include <functional>

namespace tw {

class GameContext;
class LoadingDialog;
class QtUserPort;
class UserPort;

// Runs one whole load of the game files into `context` on a worker thread behind the modal
// loading window, and returns its result: 1 loaded, 2 failed or cancelled. The worker's
// messages go through `port`, which must carry calls from the worker over to the window's
// thread (as QtUserPort does) or answer them where they are; with `statusPort` the status line
// shows the file being loaded. `opened`, when given, sees the window before it runs.
int RunLoadInWindow(GameContext& context, UserPort& port, QtUserPort* statusPort = nullptr,
                    const std::function<void(LoadingDialog&)>& opened = {});

}  // namespace tw
