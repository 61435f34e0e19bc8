#pragma once

#include "gamefiles/Installation.h"
#include "icons/IconStrips.h"
#include "iff/ChunkStore.h"
#include "iff/IFFFile.h"
#include "model/CareerSet.h"
#include "util/FileStream.h"

#include <memory>
#include <string>

namespace tw {

// The objects that live for a whole editing session: where the game is, the two containers,
// the two open icon-strip files, the careers and the icons in memory. The editor makes one;
// the command-line tool and the tests make their own, so nothing here is global.
//
// While a load runs, only its worker touches the members below `expansion4Flag`; the
// user-interface thread reads them again only after the load has set its done flag.
class GameContext {
public:
    GameContext() = default;
    GameContext(const GameContext&) = delete;
    GameContext& operator=(const GameContext&) = delete;

    // Where the game is installed (a host path; it need not end in a separator), and the two
    // expansion texts ("1" = installed). They only choose the wording of the message shown when
    // no careers file can be found.
    std::string gameFolder;
    std::string expansion3Flag;
    std::string expansion4Flag;

    // How the installation is taken, and the installation as this program holds it: opened by a
    // writer before its first load (TakeInstallation), else by the load itself, which then only
    // reads when another program changes the game. Declared before everything that holds the
    // game's files, so that the lock is let go of last.
    InstallationOptions installationOptions;
    std::unique_ptr<Installation> installation;

    // Declared before the containers: every chunk record of both lives in it, so it must outlive
    // them.
    ChunkStore chunkStore;
    IFFFile careersIFF{chunkStore};
    IFFFile chanceCardsIFF{chunkStore};
    // Open from the end of a load until a reload, or until exit after a save. A file on disk,
    // or the archive's copy in memory for a load that only reads.
    std::unique_ptr<Stream> buttonsBitmapFile;
    std::unique_ptr<Stream> popupBitmapFile;
    CareerSet careerSet;
    IconStrips iconStrips;
    // 1 while chance-card editing is off (the chance-card file failed to load); 0 otherwise.
    int chanceCardsDisabled = 0;
    // The careers container that the last load used, relative to the game folder with '/'
    // between the parts ("ExpansionShared/Work.iff", "GameData/Careers.iff" or
    // "GameData/Careers"); empty before a load has found one.
    std::string careersFile;

    // Takes the installation in `gameFolder` (again, when it was another folder's). A writer
    // fails when another program changes the game; see Installation::Open.
    Status TakeInstallation(Installation::Intent intent);
    // Closes both icon-strip files (they reopen with the next load).
    void CloseBitmapFiles();
    // What happens when the main window has closed: both containers drop their chunks. Their
    // files stay attached until the context is destroyed.
    void EmptyContainers();
};

}  // namespace tw
