#include "gamefiles/GameLoad.h"

#include "gamefiles/GameFileLookup.h"
#include "util/HostPath.h"

#include <exception>
#include <filesystem>

namespace tw {
namespace {

namespace fs = std::filesystem;

// The game's folders and files, in the game's own spelling.
constexpr const char* ExpansionFolder = "ExpansionShared\\";
constexpr const char* DataFolder = "GameData\\";
constexpr const char* ObjectsFolder = "GameData\\Objects\\";
constexpr const char* GraphicsFolder = "UIGraphics\\";
constexpr const char* ChanceCardsName = "CarPortal.iff";
constexpr const char* ChanceCardsRelative = "GameData/Objects/CarPortal.iff";
constexpr const char* PopupStripName = "cpanel\\Backgrounds\\JobIconMultiPopup.BMP";
constexpr const char* ButtonStripName = "cpanel\\Buttons\\JobIconMultiButton.BMP";

// One run of the worker; the steps follow the order in which the files are loaded.
class LoadWorker {
public:
    LoadWorker(GameContext& context, LoadRequest& request, UserPort& port)
        : context_(context), request_(request), port_(port) {}

    void Run();
    void Fail(const std::string& text, const std::string& detail = {});

private:
    bool Cancelled();
    void Warn(const std::string& text, const std::string& detail = {}) {
        port_.Tell(text, "Warning", MessageIcon::Information, detail);
    }
    // A writer holds the game's files against other writers from its load on; anybody else
    // reads them without standing in the way.
    bool HoldsAgainstWriters() const {
        return context_.installation != nullptr && context_.installation->Writes();
    }
    bool LoadStrip(std::unique_ptr<Stream>& file, GameFileSource& source, const fs::path& graphics, const char* name,
                   const char* status, Status (IconStrips::*load)(Stream&), const std::string& failure);
    void ShowProblems(bool withChanceCards);
    void ShowStatus(const std::string& text) { port_.ShowStatus(text); }
    bool LoadChanceCardContainer(const fs::path& objects);
    bool LoadCareersContainer(const fs::path& expansion, const fs::path& data);

    GameContext& context_;
    LoadRequest& request_;
    UserPort& port_;
};

bool LoadWorker::Cancelled() {
    if (request_.cancel.load() == 0) return false;
    request_.result.store(LoadRequest::Failed);
    return true;
}

void LoadWorker::Fail(const std::string& text, const std::string& detail) {
    port_.Tell(text, "Error", MessageIcon::Error, detail);
    request_.result.store(LoadRequest::Failed);
}

std::vector<GameFileProblem> ChanceCardProblems(const GameContext& context) {
    std::vector<GameFileProblem> problems = context.Problems();
    std::erase_if(problems, [&](const GameFileProblem& p) { return p.file == context.careersFile; });
    return problems;
}

bool LoadWorker::LoadChanceCardContainer(const fs::path& objects) {
    const bool wasAvailable = context_.chanceCardsDisabled == 0;
    const Status found = LoadGameIFF(context_.chanceCardsIFF, objects, ChanceCardsName, port_, HoldsAgainstWriters(),
                                     context_.chanceCardsSource);
    if (found) {
        ShowStatus(ChanceCardsName);
        // A container that a save could not write back whole is left alone: no card is edited.
        if (context_.chanceCardsIFF.LoadAllChunks() && context_.chanceCardsIFF.KeptWholeBySave()) {
            context_.chanceCardsDisabled = 0;
            return true;
        }
        if (wasAvailable)
            Warn("CarPortal.iff has been damaged!\n\nChance Card editing has been disabled.",
                 ListProblems(ChanceCardProblems(context_)));
    } else if (wasAvailable) {
        Warn("Cannot load the CarPortal.iff file!\n\nChance Card editing has been disabled.", found.Reason());
    }
    // After one warning a reload with the file still unusable stays quiet.
    context_.chanceCardsDisabled = 1;
    return false;
}

bool LoadWorker::LoadCareersContainer(const fs::path& expansion, const fs::path& data) {
    constexpr const char* WorkMissing = "Can't locate/open/load the Work.iff file!";
    constexpr const char* CareersMissing = "Can't locate/open/load the Careers or Careers.iff file!";
    struct Candidate {
        const fs::path& folder;
        const char* name;
        const char* status;
        const char* relative;
        const char* missing;
    };
    const Candidate candidates[] = {
        {expansion, "Work.iff", "Work.iff", "ExpansionShared/Work.iff", WorkMissing},
        {data, "Careers.iff", "Careers.iff", "GameData/Careers.iff", CareersMissing},
        {data, "Careers", "Careers.iff", "GameData/Careers", CareersMissing},
    };
    context_.careersFile.clear();
    std::string reasons;  // why each place tried had nothing, one per line
    for (const Candidate& candidate : candidates) {
        const Status found = LoadGameIFF(context_.careersIFF, candidate.folder, candidate.name, port_,
                                         HoldsAgainstWriters(), context_.careersSource);
        if (found) {
            ShowStatus(candidate.status);
            context_.careersFile = candidate.relative;
            return true;
        }
        // The player's careers are in a file that cannot be opened: loading another copy
        // instead would let the next save pass the player's file by, or write over it.
        if (BlocksTheLoad(found.Err())) {
            Fail(candidate.missing, found.Reason());
            return false;
        }
        reasons += (reasons.empty() ? "" : "\n") + found.Reason();
    }
    Fail(context_.expansion3Flag == "1" || context_.expansion4Flag == "1" ? WorkMissing : CareersMissing, reasons);
    return false;
}

void LoadWorker::Run() {
    // A program that does not hold the installation yet takes it now, or only reads beside the
    // program that does; either way nothing is read before an interrupted save is dealt with, and
    // a reader reads between two saves.
    if (Status taken = context_.TakeInstallation(Installation::Intent::Read); !taken) {
        Fail(taken.Reason());
        return;
    }
    std::unique_ptr<FileLock> readHold;
    if (Status held = context_.installation->HoldForReading(readHold); !held) {
        Fail(held.Reason());
        return;
    }

    // The game names its folders with backslashes; the folders are matched on disk whatever
    // their letter case, with or without a separator at the end of the game folder.
    const fs::path root = PathFromBytes(request_.folder);
    const fs::path expansion = HostPath(root, ExpansionFolder);
    const fs::path data = HostPath(root, DataFolder);
    const fs::path objects = HostPath(root, ObjectsFolder);
    const fs::path graphics = HostPath(root, GraphicsFolder);

    if (Cancelled()) return;
    LoadChanceCardContainer(objects);

    if (Cancelled()) return;
    if (!LoadCareersContainer(expansion, data)) return;

    // Chunks that cannot be read stop the load only when no career can be had at all; the
    // others are named, and kept as they are.
    if (Cancelled()) return;
    const bool allChunksRead = context_.careersIFF.LoadAllChunks();

    if (Cancelled()) return;
    ShowStatus("Loading careers...");
    if (const Status loaded = context_.careerSet.LoadCareers(context_.careersIFF); !loaded) {
        std::vector<GameFileProblem> problems = context_.Problems();
        std::erase_if(problems, [&](const GameFileProblem& p) { return p.file != context_.careersFile; });
        Fail(allChunksRead ? "Cannot load the careers!" : "Invalid Careers file!",
             context_.careersFile + ": " + loaded.Reason() + "\n" + ListProblems(problems));
        return;
    }

    if (Cancelled()) return;
    bool chanceCardsAnnounced = context_.chanceCardsDisabled != 0;
    if (context_.chanceCardsDisabled == 0) {
        ShowStatus("Loading Chance Cards...");
        if (const Status loaded = context_.careerSet.LoadChanceCards(context_.chanceCardsIFF); !loaded) {
            // Cards decoded before the card texts turned out unreadable would point at texts
            // that are not there; with editing off they are dropped rather than kept half-read.
            context_.careerSet.ClearCards();
            Warn("Cannot load the Chance Cards!\n\nChance Card editing has been disabled.",
                 std::string(ChanceCardsRelative) + ": " + loaded.Reason() + "\n" + ListProblems(ChanceCardProblems(context_)));
            context_.chanceCardsDisabled = 1;
            chanceCardsAnnounced = true;
        }
    }
    ShowProblems(!chanceCardsAnnounced);

    if (Cancelled()) return;
    if (!LoadStrip(context_.popupBitmapFile, context_.popupSource, graphics, PopupStripName, "JobIconMultiPopup.BMP",
                   &IconStrips::LoadPopupStrip, "Cannot load the JobIconMultiPopup.BMP file!"))
        return;
    // No check for Cancel here: the button strip is loaded all the same.
    LoadStrip(context_.buttonsBitmapFile, context_.buttonsSource, graphics, ButtonStripName, "JobIconMultiButton.BMP",
              &IconStrips::LoadButtonStrip, "Cannot load the JobIconMultiButton.BMP file!");
}

void LoadWorker::ShowProblems(bool withChanceCards) {
    std::vector<GameFileProblem> problems = context_.Problems();
    if (!withChanceCards)
        std::erase_if(problems, [&](const GameFileProblem& p) { return p.file != context_.careersFile; });
    if (problems.empty()) {
        context_.shownProblems.clear();
        return;
    }
    std::string text = "Some parts of the game's files cannot be read. They are kept as they are, and what they "
                       "hold is not shown:\n" + ListProblems(problems);
    if (!context_.CareersKeptWholeBySave())
        text += "\nThe careers cannot be saved: a save would lose what cannot be read of " + context_.careersFile + ".";
    // A reload that finds the same again (after every save) says nothing new.
    if (text == context_.shownProblems) return;
    context_.shownProblems = text;
    Warn(text);
}

bool LoadWorker::LoadStrip(std::unique_ptr<Stream>& file, GameFileSource& source, const fs::path& graphics,
                           const char* name, const char* status, Status (IconStrips::*load)(Stream&),
                           const std::string& failure) {
    Expected<std::unique_ptr<Stream>> opened = OpenGameStream(graphics, name, port_, HoldsAgainstWriters(), source);
    if (!opened) {
        file.reset();
        Fail(failure, opened.Reason());
        return false;
    }
    file = std::move(*opened);
    ShowStatus(status);
    if (Status read = (context_.iconStrips.*load)(*file); !read) {
        Fail(failure, PathText(source.path) + ": " + read.Reason());
        return false;
    }
    return true;
}

}  // namespace

void LoadGameFiles(GameContext& context, LoadRequest& request, UserPort& port) {
    LoadWorker worker(context, request, port);
    try {
        worker.Run();
    } catch (const std::exception& e) {
        // File errors are caught where files are read, and the model reports by its results;
        // anything that still gets here (a file error, memory running out) must end the load as
        // a failure, never the program, and never leave the window waiting for done.
        worker.Fail(e.what());
    }
    if (request.cancel.load() != 0) request.result.store(LoadRequest::Failed);
    request.done.store(1);
}

std::thread StartLoad(GameContext& context, LoadRequest& request, UserPort& port) {
    return std::thread([&context, &request, &port] { LoadGameFiles(context, request, port); });
}

void CancelLoad(LoadRequest& request) {
    request.result.store(LoadRequest::Failed);
    request.cancel.store(1);
}

int RunLoad(GameContext& context, UserPort& port) {
    LoadRequest request(context.gameFolder);
    std::thread worker = StartLoad(context, request, port);
    worker.join();
    return request.result.load();
}

}  // namespace tw
