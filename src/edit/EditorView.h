#pragma once

#include "model/CareerTexts.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace tw {

class EditSession;

// What the editor's main window shows of an editing session, without its widgets: which career,
// job level and language are selected, the bytes each of the seven text fields shows, and what may
// be used while they are selected. The window hands in what the person selects and what the fields
// come to hold; everything else it shows it takes from here.
class EditorView {
public:
    // The seven text fields, in tab order.
    enum Field {
        InternalCareerName,
        CareerName,
        MaleOffer,
        FemaleOffer,
        MaleJobName,
        FemaleJobName,
        JobDescription,
        FieldCount
    };

    explicit EditorView(const EditSession& session) : session_(session) {}

    // The career text that a field shows; none for the internal career name.
    static std::optional<CareerTexts::Text> TextOf(Field field);

    // --- Selection --------------------------------------------------------------------------

    // The career list's selection changed to `career` (an index in the career set; none, or one
    // that does not exist, for no career). `jobRow` is the job list's selected row just before
    // (-1 for none): it is kept across careers, and kept too while no career is selected, so
    // that the moment in between does not forget it. The texts of the career are taken afresh;
    // no level is selected until ChooseLevel.
    void ChooseCareer(std::optional<std::uint32_t> career, int jobRow);
    // The job row to select in a newly shown career.
    int RememberedJobRow() const { return rememberedJobRow_; }
    // The job list's selection changed to `level` (none, or one past the career's levels, for no
    // level).
    void ChooseLevel(std::optional<std::uint32_t> level);
    // The language of the fields. Its texts are taken by the next Refresh, once what the fields
    // hold has been read back in the language they show.
    void ChooseLanguage(std::uint16_t slot);
    // Every text taken afresh from the model, in the chosen language, after a change of language
    // or an edit elsewhere (an undo, an import); a career or level that is gone is no longer
    // selected.
    void Refresh();

    std::optional<std::uint32_t> SelectedCareer() const { return career_; }
    std::optional<std::uint16_t> SelectedLevel() const { return level_; }
    std::uint16_t Language() const { return language_; }

    // --- Texts ------------------------------------------------------------------------------

    // The bytes a field shows, in its code page: the internal code page for the internal name,
    // the language's for the others. Empty where the career or level has no such text.
    const std::string& Bytes(Field field) const { return bytes_[field]; }
    // The fields have been filled: what they hold is read back in the language of this moment.
    void MarkShown() { shownLanguage_ = language_; }
    std::uint16_t ShownLanguage() const { return shownLanguage_; }
    // What the person's typing in `field` comes to, as bytes of its code page.
    void SetBytes(Field field, std::string bytes) { bytes_[field] = std::move(bytes); }

    // --- What may be used -------------------------------------------------------------------

    bool FieldEnabled(Field field) const;
    bool CanModifyIcons() const { return career_.has_value(); }
    bool CanOpenJobDetails() const { return level_.has_value(); }
    bool CanOpenChanceCards() const;

private:
    // The texts of the career (the first four fields) or of its level (the last three).
    void TakeCareerTexts();
    void TakeJobTexts();
    std::string TextBytes(Field field) const;

    const EditSession& session_;
    std::optional<std::uint32_t> career_;
    std::optional<std::uint16_t> level_;
    std::uint16_t language_ = 0;
    std::uint16_t shownLanguage_ = 0;
    int rememberedJobRow_ = 0;
    bool jobRowParked_ = false;
    std::array<std::string, FieldCount> bytes_;
};

}  // namespace tw
