#pragma once

#include "gamefiles/GameContext.h"

#include <vector>

namespace tw {

// The game files a loaded game holds open (the containers' attached files and the two icon
// strips), let go of while files are moved under them and opened again afterwards. Windows
// cannot move a file that is open without delete sharing, so this is needed there; elsewhere it
// keeps the held files on what is on disk. A file that only an archive held is held in memory and
// needs no letting go.
class HeldFiles {
public:
    explicit HeldFiles(GameContext& context) : context_(context) {}

    void LetGo();
    // Opens the files let go of again, on what is there now. A file that does not open again
    // stays closed: every chunk is in memory already, and the reload that follows a save or a
    // restore opens everything anew.
    void TakeBack();
    // After a save that wrote every file it holds: each is loose now, and opened where it is.
    void TakeBackSaved();

    // The open game file behind a held stream, if it is one.
    static FileStream* FileOf(Stream* stream);

private:
    // One held file: where the context keeps it, and where the load found it.
    struct Held {
        IFFFile* container;           // or
        std::unique_ptr<Stream>* strip;
        GameFileSource* source;
        bool letGo;
    };
    std::vector<Held> Files();
    static void Open(const Held& held);

    GameContext& context_;
    std::vector<Held> held_;
};

}  // namespace tw
