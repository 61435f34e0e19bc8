#include "gamefiles/GameLoad.h"

#include "gamefiles/GameFileLookup.h"
#include "gamefiles/HostPath.h"

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
constexpr const char* PopupStripName = "cpanel\\Backgrounds\\JobIconMultiPopup.BMP";
constexpr const char* ButtonStripName = "cpanel\\Buttons\\JobIconMultiButton.BMP";

// One run of the worker; the steps follow the order in which the files are loaded.
class LoadWorker {
public:
    LoadWorker(GameContext& context, LoadRequest& request, UserPort& port)
        : context_(context), request_(request), port_(port) {}

    void Run();
    void Fail(const std::string& text);

private:
    bool Cancelled();
    void Warn(const std::string& text) { port_.Tell(text, "Warning", MessageIcon::Information); }
    void Status(const std::string& text) { port_.ShowStatus(text); }
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

void LoadWorker::Fail(const std::string& text) {
    port_.Tell(text, "Error", MessageIcon::Error);
    request_.result.store(LoadRequest::Failed);
}

bool LoadWorker::LoadChanceCardContainer(const fs::path& objects) {
    const bool wasAvailable = context_.chanceCardsDisabled == 0;
    if (LoadGameIFF(context_.chanceCardsIFF, objects, ChanceCardsName, port_)) {
        Status(ChanceCardsName);
        if (context_.chanceCardsIFF.LoadAllChunks()) {
            context_.chanceCardsDisabled = 0;
            return true;
        }
        if (wasAvailable) Warn("CarPortal.iff has been damaged!\n\nChance Card editing has been disabled.");
    } else if (wasAvailable) {
        Warn("Cannot load the CarPortal.iff file!\n\nChance Card editing has been disabled.");
    }
    // After one warning a reload with the file still unusable stays quiet.
    context_.chanceCardsDisabled = 1;
    return false;
}

bool LoadWorker::LoadCareersContainer(const fs::path& expansion, const fs::path& data) {
    struct Candidate {
        const fs::path& folder;
        const char* name;
        const char* status;
        const char* relative;
    };
    const Candidate candidates[] = {
        {expansion, "Work.iff", "Work.iff", "ExpansionShared/Work.iff"},
        {data, "Careers.iff", "Careers.iff", "GameData/Careers.iff"},
        {data, "Careers", "Careers.iff", "GameData/Careers"},
    };
    context_.careersFile.clear();
    for (const Candidate& candidate : candidates) {
        if (LoadGameIFF(context_.careersIFF, candidate.folder, candidate.name, port_)) {
            Status(candidate.status);
            context_.careersFile = candidate.relative;
            return true;
        }
    }
    if (context_.expansion3Flag == "1" || context_.expansion4Flag == "1")
        Fail("Can't locate/open/load the Work.iff file!");
    else
        Fail("Can't locate/open/load the Careers or Careers.iff file!");
    return false;
}

void LoadWorker::Run() {
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

    if (Cancelled()) return;
    if (!context_.careersIFF.LoadAllChunks()) {
        Fail("Invalid Careers file!");
        return;
    }

    if (Cancelled()) return;
    Status("Loading careers...");
    if (!context_.careerSet.LoadCareers(context_.careersIFF)) {
        Fail("Cannot load the careers!");
        return;
    }

    if (Cancelled()) return;
    if (context_.chanceCardsDisabled == 0) {
        Status("Loading Chance Cards...");
        if (!context_.careerSet.LoadChanceCards(context_.chanceCardsIFF)) {
            // Cards decoded before the card texts turned out unreadable would point at texts
            // that are not there; with editing off they are dropped rather than kept half-read.
            for (ChanceCard& card : context_.careerSet.cards) card = ChanceCard{};
            Warn("Cannot load the Chance Cards!\n\nChance Card editing has been disabled.");
            context_.chanceCardsDisabled = 1;
        }
    }

    if (Cancelled()) return;
    if (!OpenGameFile(context_.popupBitmapFile, graphics, PopupStripName, port_)) {
        Fail("Cannot load the JobIconMultiPopup.BMP file!");
        return;
    }
    Status("JobIconMultiPopup.BMP");
    if (!context_.iconStrips.LoadPopupStrip(*context_.popupBitmapFile)) {
        Fail("Cannot load the JobIconMultiPopup.BMP file!");
        return;
    }

    // No check for Cancel here: the button strip is loaded all the same.
    if (!OpenGameFile(context_.buttonsBitmapFile, graphics, ButtonStripName, port_)) {
        Fail("Cannot load the JobIconMultiButton.BMP file!");
        return;
    }
    Status("JobIconMultiButton.BMP");
    if (!context_.iconStrips.LoadButtonStrip(*context_.buttonsBitmapFile)) {
        Fail("Cannot load the JobIconMultiButton.BMP file!");
        return;
    }
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
