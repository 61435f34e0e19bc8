#include "check/CareerRules.h"

#include "model/JobLevelRules.h"
#include "model/Languages.h"

#include <array>
#include <string>

namespace tw {
namespace {

constexpr std::size_t Friends = JobLevel::Friends;
constexpr std::size_t LastSkill = JobLevel::LastSkill;
constexpr std::size_t Salary = JobLevel::Salary;
constexpr std::size_t BeginHour = JobLevel::BeginHour;
constexpr std::size_t EndHour = JobLevel::EndHour;
constexpr std::size_t CarPool = JobLevel::CarPool;

constexpr std::array<const char*, JobLevel::ValueCount> ValueNames = {
    "friends", "cooking", "mechanical", "charisma", "body",       "logic",    "creativity",
    "value 7", "value 8", "value 9",    "hunger",   "comfort",    "hygiene",  "bladder",
    "energy",  "fun",     "social",     "salary",   "begin hour", "end hour", "car pool"};

std::string Name(const CareerSet& set, std::size_t index) { return set.CareerName(index); }

Finding RuleFinding(const Career& career, std::optional<std::uint32_t> level, std::string field, const char* rule,
                    std::string message, Finding::Severity severity = Finding::Severity::Problem) {
    Finding finding;
    finding.kind = Finding::Kind::Rule;
    finding.severity = severity;
    finding.career = career.id;
    finding.level = level;
    finding.field = std::move(field);
    finding.rule = rule;
    finding.message = std::move(message);
    return finding;
}

bool EmptyInEverySlot(const CareerTexts& texts, CareerTexts::Text text, std::uint32_t level) {
    for (std::uint16_t slot = 0; slot < StringTable::SlotCount; ++slot)
        if (!texts.Get(text, level, slot).empty()) return false;
    return true;
}

// The language slots that some career names itself in: the languages this installation uses.
LanguageSet UsedLanguages(const CareerSet& set) {
    LanguageSet used;
    for (const Career& career : set.careers)
        for (std::uint16_t slot = 0; slot < StringTable::SlotCount; ++slot)
            if (!career.texts.Get(CareerTexts::Text::CareerName, 0, slot).empty()) used.set(slot);
    return used;
}

std::string LanguageName(std::uint16_t slot) {
    return slot < LanguageNames.size() ? LanguageNames[slot] : "language slot " + std::to_string(slot);
}

void CheckLevels(const CareerSet& set, std::size_t index, std::vector<Finding>& found) {
    const Career& career = set.careers[index];
    const std::string name = Name(set, index);
    if (career.track.levels.empty())
        found.push_back(RuleFinding(career, std::nullopt, "levels", "no-levels",
                                    "The career " + name + " has no job levels; the game cannot place anybody in it."));
    for (std::uint32_t level = 0; level < career.LevelCount(); ++level) {
        const JobLevel& job = career.track.levels[level];
        const std::string where = "Level " + std::to_string(level) + " of " + name;
        if (level > 0) {
            const JobLevel& below = career.track.levels[level - 1];
            if (FallsFromBelow(job, below, Salary))
                found.push_back(RuleFinding(career, level, "salary", "salary-falls",
                                            where + " pays " + std::to_string(job.values[Salary]) +
                                                ", less than the level below (" + std::to_string(below.values[Salary]) +
                                                "): a promotion would cut the pay."));
            for (std::size_t v = Friends; v <= LastSkill; ++v) {
                if (!FallsFromBelow(job, below, v)) continue;
                const bool friends = v == Friends;
                found.push_back(RuleFinding(
                    career, level, ValueNames[v], friends ? "friends-below-level-below" : "skill-below-level-below",
                    where + " needs " + std::to_string(job.values[v]) + " " +
                        (friends ? std::string("friends") : std::string(ValueNames[v]) + " points") +
                        ", fewer than the level below (" + std::to_string(below.values[v]) + ")."));
            }
        }
        if (job.values[BeginHour] == job.values[EndHour])
            found.push_back(RuleFinding(career, level, "hours", "zero-hours",
                                        where + " begins and ends at " + std::to_string(job.values[BeginHour]) +
                                            ":00: a working day of zero hours."));
        // Above level 0 the lower bounds of friends and skills are the level below's, which the
        // rules above name.
        const Requirements below = RequirementsBelow(career.track, level);
        for (std::size_t v = 0; v < JobLevel::ValueCount; ++v) {
            const std::optional<ValueRange> range = JobValueRange(v, below);
            if (!range) continue;
            const std::int64_t value = job.values[v];
            const bool tooLow = (v > LastSkill || level == 0) && value < range->minimum;
            if (!tooLow && value <= range->maximum) continue;
            if (v == CarPool) {
                found.push_back(RuleFinding(career, level, ValueNames[v], "car-pool-unlisted",
                                            where + " uses car pool " + std::to_string(value) +
                                                ", which the list (0 to 8) does not name; the expansions use 9 to 11.",
                                            Finding::Severity::Note));
                continue;
            }
            found.push_back(RuleFinding(career, level, ValueNames[v], "value-out-of-range",
                                        where + ": " + ValueNames[v] + " is " + std::to_string(value) + ", outside " +
                                            std::to_string(range->minimum) + " to " + std::to_string(range->maximum) +
                                            "."));
        }
    }
}

void CheckTexts(const CareerSet& set, std::size_t index, LanguageSet used, std::vector<Finding>& found) {
    using Text = CareerTexts::Text;
    const Career& career = set.careers[index];
    const std::string name = Name(set, index);
    const std::uint32_t levels = std::min(career.LevelCount(), CareerTexts::LevelsWithTexts);
    for (std::uint32_t level = 0; level < levels; ++level) {
        for (const auto& [text, field] :
             {std::pair{Text::MaleJobName, "male job name"}, std::pair{Text::FemaleJobName, "female job name"}}) {
            if (!EmptyInEverySlot(career.texts, text, level)) continue;
            found.push_back(RuleFinding(career, level, field, "missing-job-name",
                                        "Level " + std::to_string(level) + " of " + name + " has no " + field +
                                            " in any language: the game shows an empty title."));
        }
    }
    // One finding per language: the first text missing in it names the place.
    for (std::uint16_t slot = 0; slot < StringTable::SlotCount; ++slot) {
        if (!used.test(slot)) continue;
        std::size_t missing = 0;
        std::optional<std::uint32_t> firstLevel;
        std::string firstField;
        auto note = [&](Text text, std::uint32_t level, const char* field, std::optional<std::uint32_t> shownLevel) {
            if (!career.texts.Get(text, level, slot).empty() || EmptyInEverySlot(career.texts, text, level)) return;
            if (missing++ == 0) {
                firstLevel = shownLevel;
                firstField = field;
            }
        };
        note(Text::CareerName, 0, "career name", std::nullopt);
        for (std::uint32_t level = 0; level < levels; ++level) {
            note(Text::MaleJobName, level, "male job name", level);
            note(Text::FemaleJobName, level, "female job name", level);
        }
        if (missing == 0) continue;
        Finding finding =
            RuleFinding(career, firstLevel, LanguageName(slot) + " " + firstField, "texts-missing-in-language",
                        name + " lacks " + std::to_string(missing) + " of its names in " + LanguageName(slot) +
                            ", which other careers use: players of that language see them empty.");
        found.push_back(std::move(finding));
    }
}

void CheckCards(const CareerSet& set, std::size_t index, std::vector<Finding>& found) {
    const Career& career = set.careers[index];
    for (std::uint32_t level = 0; level < Career::CardCount && level < career.LevelCount(); ++level) {
        const ChanceCard& card = career.cards[level];
        if (card.items.empty()) continue;
        bool anyText = false;
        for (std::uint16_t slot = 0; slot < StringTable::SlotCount && !anyText; ++slot) {
            const std::optional<std::string> text = set.cardTexts.Get(card.textRow, slot);
            anyText = text && !text->empty();
        }
        if (anyText) continue;
        found.push_back(RuleFinding(career, level, "card text", "empty-card-text",
                                    "The chance card of level " + std::to_string(level) + " of " + Name(set, index) +
                                        " has effects but no text: the game shows an empty card."));
    }
}

void CheckIcons(const CareerSet& set, std::size_t index, const IconStrips& icons, std::vector<Finding>& found) {
    const Career& career = set.careers[index];
    const bool button = career.id < icons.ButtonIconCount();
    const bool popup = career.id < icons.PopupIconCount();
    if (button && popup) return;
    const std::string strips = !button && !popup ? "either icon strip"
                               : button          ? "the popup strip"
                                                 : "the button strip";
    found.push_back(RuleFinding(career, std::nullopt, "icon", "no-icon",
                                "The career " + Name(set, index) + " (#" + std::to_string(career.id) +
                                    ") has no icon in " + strips + ": the game shows none or another career's."));
}

}  // namespace

std::vector<Finding> CheckCareerRules(const CareerSet& careers, const IconStrips& icons, bool cardsLoaded) {
    std::vector<Finding> found;
    const LanguageSet used = UsedLanguages(careers);
    for (std::size_t index = 0; index < careers.Count(); ++index) {
        CheckLevels(careers, index, found);
        CheckTexts(careers, index, used, found);
        if (cardsLoaded) CheckCards(careers, index, found);
        CheckIcons(careers, index, icons, found);
    }
    return found;
}

}  // namespace tw
