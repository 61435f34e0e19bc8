#pragma once

#include "gamefiles/GameContext.h"

#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

namespace tw {

// The game files a loaded game holds open (the containers' attached files and the two icon
// strips), let go of while files are moved under them and opened again afterwards, on the new
// files or, after a failure, on the old ones. Windows cannot move a file that is open without
// delete sharing, so this is needed there; elsewhere it keeps the held files on what is on disk.
class HeldFiles {
public:
    explicit HeldFiles(GameContext& context) : context_(context) {}

    void LetGo();
    // A file that does not open again stays closed: every chunk is in memory already, and the
    // reload that follows a save or a restore opens everything anew.
    void TakeBack();

    // The open game file behind a held stream, if it is one.
    static FileStream* FileOf(Stream* stream);

private:
    GameContext& context_;
    std::vector<std::pair<IFFFile*, std::filesystem::path>> containerPaths_;
    std::vector<std::pair<std::unique_ptr<Stream>*, std::filesystem::path>> stripPaths_;
};

}  // namespace tw
