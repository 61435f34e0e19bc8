#pragma once

#include "gamefiles/GameFileLookup.h"
#include "icons/IconStrips.h"
#include "iff/ChunkStore.h"
#include "iff/IFFFile.h"
#include "model/CareerSet.h"
#include "store/Installation.h"
#include "util/FileStream.h"

#include <memory>
#include <string>
#include <vector>

namespace tw {

// A part of a game file that the load could not read as it is listed.
struct GameFileProblem {
    std::string file;  // relative to the game folder, '/' between the parts
    ChunkProblem chunk;
};

// The problems one per line, "- <file>: <type> <id> "<label>": <why>", for messages.
std::string ListProblems(const std::vector<GameFileProblem>& problems);

// What a command that would change the game says when a file or folder of it cannot be written
// (`why` from CheckWritable).
std::string CannotChangeText(const std::string& gameFolder, const Status& why);

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
    // reads. Declared before everything that holds the game's files, so that the lock is let go
    // of last.
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
    // Where the last load found each game file: where a save writes it, and whether it is loose
    // already or only an archive holds it.
    GameFileSource careersSource;
    GameFileSource chanceCardsSource;
    GameFileSource popupSource;
    GameFileSource buttonsSource;
    // The list of problems that the last load showed to the person, so that a reload showing
    // the same again stays quiet.
    std::string shownProblems;

    // Takes the installation in `gameFolder` (again, when it was another folder's). A writer
    // fails when another program changes the game (ErrorKind::Busy, naming it as the error's
    // subject); see Installation::Open.
    Status TakeInstallation(Installation::Intent intent);
    // Closes both icon-strip files (they reopen with the next load).
    void CloseBitmapFiles();
    // What the last load could not read, in the careers container and then the chance-card
    // container (while chance cards are loaded from it).
    std::vector<GameFileProblem> Problems() const;
    // Whether the files of the last load could be written by a save: each folder in which the save
    // creates its files (for a file that only an archive holds, the nearest folder that exists),
    // and this installation's state and originals folders. Fails naming the first that cannot
    // be written and the system's reason. Asks the system; creates nothing.
    Status CheckWritable() const;
    // Whether a save would write the careers container without losing any of it.
    bool CareersKeptWholeBySave() const { return careersIFF.KeptWholeBySave(); }
    // What happens when the main window has closed: both containers drop their chunks. Their
    // files stay attached until the context is destroyed.
    void EmptyContainers();
};

}  // namespace tw
