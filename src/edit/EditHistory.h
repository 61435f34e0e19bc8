#pragma once

#include "edit/ModelPart.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tw {

// Where an edit happened: the career, job level and language a person would look at to see it.
struct EditPlace {
    std::optional<std::uint32_t> career;
    std::optional<std::uint32_t> level;
    std::optional<std::uint16_t> language;

    bool operator==(const EditPlace&) const = default;
};

// One edit as the history keeps it: its name ("Career Name"), where it happened, and the parts of
// the model it changed as it found and as it left them.
struct EditStep {
    std::string name;
    EditPlace place;
    ModelPart before;
    ModelPart after;
    // Typing in one text: a later edit with the same key becomes part of this step.
    std::string mergeKey;
};

// The edits of one session in order, with the point that matches the files on disk.
class EditHistory {
public:
    // Adds a step after the current one (dropping any that were undone). A step whose merge key
    // equals the current step's, while merging is open, joins it instead.
    void Add(EditStep step);
    // The next edit starts a step of its own.
    void CloseMerging() { mergeOpen_ = false; }

    bool CanUndo() const { return done_ > 0; }
    // How many steps are done: one more after an edit that made a step of its own.
    std::size_t DoneCount() const { return done_; }
    bool CanRedo() const { return done_ < steps_.size(); }
    const EditStep* NextUndo() const { return CanUndo() ? &steps_[done_ - 1] : nullptr; }
    const EditStep* NextRedo() const { return CanRedo() ? &steps_[done_] : nullptr; }
    // Moves back or forward one step and returns it; the caller puts its part into the model.
    const EditStep* StepBack();
    const EditStep* StepForward();

    // The model now matches the files: this point is clean.
    void MarkClean() {
        clean_ = done_;
        sharedWithClean_ = done_;
    }
    bool AtCleanPoint() const { return clean_ == done_; }
    // The steps done since the model last matched the files, oldest first: those that lead from
    // the files' state to the model's. Empty when the model is at that state or only undone
    // past it.
    std::vector<const EditStep*> DoneSinceClean() const;
    // Forgets every step (a reload: the model is the files again).
    void Clear();

private:
    std::vector<EditStep> steps_;
    std::size_t done_ = 0;
    // The number of steps done when the model last matched the files; none once that state can
    // no longer be reached (it was undone past and then replaced by new edits).
    std::optional<std::size_t> clean_ = 0;
    // How many of the first steps the clean state and the model have in common: the clean point
    // while it can be reached, else where the history went another way.
    std::size_t sharedWithClean_ = 0;
    bool mergeOpen_ = false;
};

}  // namespace tw
