#include "cli/GameFilesReport.h"

#include "gamefiles/GameFileFinding.h"
#include "util/HostPath.h"

namespace tw::cli {
namespace {

// A game name or relative path with '/' between its parts, as the JSON dump names files.
std::string Slashed(std::string name) {
    for (char& c : name)
        if (c == '\\') c = '/';
    return name;
}

std::string Describe(const std::filesystem::path& gameFolder, const GameFileFinding& finding) {
    switch (finding.where) {
        case GameFileFinding::Where::Missing: return "not found";
        case GameFileFinding::Where::Loose: return Slashed(finding.gameName);
        case GameFileFinding::Where::InArchive: {
            std::error_code ec;
            const auto relative = std::filesystem::relative(finding.path, gameFolder, ec);
            return Slashed(finding.gameName) + " (in " + Slashed(PathText(ec ? finding.path : relative)) + ")";
        }
    }
    return "not found";
}

}  // namespace

std::string DescribeProblems(const std::vector<GameFileProblem>& problems) {
    if (problems.empty()) return "problems: none\n";
    std::string text = "problems:\n";
    std::string list = ListProblems(problems);
    // "- file: ..." lines, indented like the rest.
    for (std::size_t start = 0; start < list.size();) {
        const std::size_t end = list.find('\n', start);
        text += "  " + list.substr(start + 2, end - start - 2) + "\n";
        start = end + 1;
    }
    return text;
}

std::string DescribeLocation(const LocateResult& found) {
    const GameLocation& at = found.location;
    std::string text;
    text += "gameFolder: " + at.gameFolder + "\n";
    text += "EP3Installed: " + at.expansion3Flag + "\n";
    text += "EP4Installed: " + at.expansion4Flag + "\n";
    text += "source: " + std::string(LocateSourceName(at.source)) + "\n";
    if (!at.gameFolder.empty()) {
        const auto folder = PathFromBytes(at.gameFolder);
        text += "careersFile: " + Describe(folder, FindCareersFile(folder)) + "\n";
        text += "chanceCardsFile: " + Describe(folder, FindGameFile(folder, "GameData\\Objects\\", "CarPortal.iff")) + "\n";
        text += "popupStrip: " +
                Describe(folder, FindGameFile(folder, "UIGraphics\\", "cpanel\\Backgrounds\\JobIconMultiPopup.BMP")) + "\n";
        text += "buttonStrip: " +
                Describe(folder, FindGameFile(folder, "UIGraphics\\", "cpanel\\Buttons\\JobIconMultiButton.BMP")) + "\n";
    }
    text += "tried:\n";
    for (const LocateStep& step : found.trace) {
        text += "  " + std::string(LocateSourceName(step.source));
        if (!step.candidate.empty()) text += ": " + step.candidate;
        text += " -> " + step.outcome;
        if (step.chosen) text += " (chosen)";
        text += "\n";
    }
    return text;
}

}  // namespace tw::cli
