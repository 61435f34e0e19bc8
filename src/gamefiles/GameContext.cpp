#include "gamefiles/GameContext.h"

#include "text/TextCodec.h"
#include "util/HostPath.h"
#include "util/WriteAccess.h"

namespace tw {

std::string ListProblems(const std::vector<GameFileProblem>& problems) {
    std::string text;
    for (const GameFileProblem& problem : problems) {
        text += "- " + problem.file + ": ";
        if (problem.chunk.type != 0) {
            // Labels are the game's own texts, in its Western code page.
            text += DecodeToUtf8(TypeName(problem.chunk.type), CodePage::Windows1252) + " " +
                    std::to_string(problem.chunk.id);
            if (!problem.chunk.label.empty())
                text += " \"" + DecodeToUtf8(problem.chunk.label, CodePage::Windows1252) + "\"";
            text += ": ";
        }
        text += problem.chunk.reason + "\n";
    }
    return text;
}

Status GameContext::TakeInstallation(Installation::Intent intent) {
    const std::filesystem::path folder = PathFromBytes(gameFolder);
    if (installation && installation->GameFolder() == CanonicalFolder(folder) &&
        (intent == Installation::Intent::Read || installation->Writes()))
        return {};
    installation.reset();
    Expected<std::unique_ptr<Installation>> opened = Installation::Open(folder, installationOptions, intent);
    if (!opened) return std::move(opened).Err();
    installation = std::move(*opened);
    return {};
}

std::string CannotChangeText(const std::string& gameFolder, const Status& why) {
    return "The game in \"" + PathText(PathFromBytes(gameFolder)) + "\" cannot be changed: " + why.Reason() +
           ". Nothing was written.";
}

Status GameContext::CheckWritable() const {
    std::vector<std::filesystem::path> folders;
    for (const GameFileSource* source : {&careersSource, &chanceCardsSource, &buttonsSource, &popupSource}) {
        if (source == &chanceCardsSource && chanceCardsDisabled != 0) continue;
        if (!source->path.empty()) folders.push_back(source->path.parent_path());
    }
    if (installation) {
        if (!installation->StateFolder().empty()) folders.push_back(installation->StateFolder());
        if (!installation->Originals().Folder().empty()) folders.push_back(installation->Originals().Folder());
    }
    for (const std::filesystem::path& folder : folders)
        if (Status writable = CheckWritableFolder(folder); !writable) return writable;
    return {};
}

void GameContext::CloseBitmapFiles() {
    buttonsBitmapFile.reset();
    popupBitmapFile.reset();
}

std::vector<GameFileProblem> GameContext::Problems() const {
    std::vector<GameFileProblem> problems;
    for (const ChunkProblem& problem : careersIFF.Problems()) problems.push_back({careersFile, problem});
    for (const ChunkProblem& problem : chanceCardsIFF.Problems())
        problems.push_back({"GameData/Objects/CarPortal.iff", problem});
    return problems;
}

void GameContext::EmptyContainers() {
    careersIFF.Clear();
    chanceCardsIFF.Clear();
}

}  // namespace tw
