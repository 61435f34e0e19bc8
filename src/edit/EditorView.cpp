#include "edit/EditorView.h"

#include "edit/EditSession.h"

namespace tw {

std::optional<CareerTexts::Text> EditorView::TextOf(Field field) {
    switch (field) {
        case CareerName: return CareerTexts::Text::CareerName;
        case MaleOffer: return CareerTexts::Text::MaleOffer;
        case FemaleOffer: return CareerTexts::Text::FemaleOffer;
        case MaleJobName: return CareerTexts::Text::MaleJobName;
        case FemaleJobName: return CareerTexts::Text::FemaleJobName;
        case JobDescription: return CareerTexts::Text::JobDescription;
        default: return std::nullopt;
    }
}

void EditorView::ChooseCareer(std::optional<std::uint32_t> career, int jobRow) {
    if (!jobRowParked_) rememberedJobRow_ = jobRow >= 0 ? jobRow : 0;
    if (career && session_.CareerAt(*career) == nullptr) career.reset();
    career_ = career;
    jobRowParked_ = !career_;
    level_.reset();
    TakeCareerTexts();
    TakeJobTexts();
}

void EditorView::ChooseLevel(std::optional<std::uint32_t> level) {
    const Career* career = career_ ? session_.CareerAt(*career_) : nullptr;
    const bool exists = career != nullptr && level && *level < career->LevelCount() && *level <= 0xFFFFu;
    level_ = exists ? std::optional<std::uint16_t>(static_cast<std::uint16_t>(*level)) : std::nullopt;
    TakeJobTexts();
}

void EditorView::ChooseLanguage(std::uint16_t slot) {
    if (slot >= CareerTexts::MenuSlotCount) return;
    language_ = slot;
}

void EditorView::Refresh() {
    if (career_ && session_.CareerAt(*career_) == nullptr) {
        ChooseCareer(std::nullopt, rememberedJobRow_);
        return;
    }
    TakeCareerTexts();
    // The level is held to the career's levels as they are now.
    ChooseLevel(level_ ? std::optional<std::uint32_t>(*level_) : std::nullopt);
}

bool EditorView::FieldEnabled(Field field) const {
    if (field < MaleJobName) return career_.has_value();
    return level_.has_value() && *level_ < CareerTexts::LevelsWithTexts;
}

bool EditorView::CanOpenChanceCards() const {
    return career_ && level_ && session_.ChanceCardEditable(*career_, *level_);
}

void EditorView::TakeCareerTexts() {
    const Career* career = career_ ? session_.CareerAt(*career_) : nullptr;
    bytes_[InternalCareerName] = career != nullptr ? career->track.name : std::string();
    for (const Field field : {CareerName, MaleOffer, FemaleOffer}) bytes_[field] = TextBytes(field);
}

void EditorView::TakeJobTexts() {
    for (const Field field : {MaleJobName, FemaleJobName, JobDescription})
        bytes_[field] = level_ ? TextBytes(field) : std::string();
}

std::string EditorView::TextBytes(Field field) const {
    // A row that the table lacks, or a level without texts, shows as empty.
    const Career* career = career_ ? session_.CareerAt(*career_) : nullptr;
    const std::optional<CareerTexts::Text> text = TextOf(field);
    return career != nullptr && text ? career->texts.Get(*text, level_.value_or(0), language_) : std::string();
}

}  // namespace tw
