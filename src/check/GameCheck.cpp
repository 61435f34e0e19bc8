#include "check/GameCheck.h"

#include "check/CareerRules.h"
#include "check/SaveDifferences.h"

#include <algorithm>

namespace tw {

std::vector<Finding> DamagedFindings(const std::vector<GameFileProblem>& problems) {
    std::vector<Finding> found;
    for (const GameFileProblem& problem : problems) {
        Finding finding;
        finding.kind = Finding::Kind::Damaged;
        finding.file = problem.file;
        // Type 0 stands for bytes that belong to no chunk.
        if (problem.chunk.type != 0) {
            finding.type = TypeName(problem.chunk.type);
            finding.id = problem.chunk.id;
            finding.label = problem.chunk.label;
        }
        finding.message = problem.chunk.reason;
        if (!problem.chunk.keptBySave) finding.message += "; a save would lose it, so saving is refused";
        found.push_back(std::move(finding));
    }
    return found;
}

std::vector<Finding> CheckGame(GameContext& context) {
    std::vector<Finding> found = DamagedFindings(context.Problems());
    // Chance cards that do not load at all name no chunk; the load warned of them all the same.
    constexpr const char* CardsFile = "GameData/Objects/CarPortal.iff";
    const bool cardsNamed = std::any_of(found.begin(), found.end(), [](const Finding& f) { return f.file == CardsFile; });
    if (context.chanceCardsDisabled != 0 && !cardsNamed) {
        Finding cards;
        cards.kind = Finding::Kind::Damaged;
        cards.file = CardsFile;
        cards.message = "the chance cards cannot be loaded";
        if (!context.chanceCardsIFF.OpenProblem().empty()) cards.message += ": " + context.chanceCardsIFF.OpenProblem();
        cards.message += "; chance-card editing is off and a save leaves the file as it is";
        found.push_back(std::move(cards));
    }
    std::vector<Finding> changes = SaveDifferences(context);
    found.insert(found.end(), changes.begin(), changes.end());
    std::vector<Finding> rules =
        CheckCareerRules(context.careerSet, context.iconStrips, context.chanceCardsDisabled == 0);
    found.insert(found.end(), rules.begin(), rules.end());
    return found;
}

}  // namespace tw
