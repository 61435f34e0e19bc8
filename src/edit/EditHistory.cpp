#include "edit/EditHistory.h"

#include <algorithm>

namespace tw {

void EditHistory::Add(EditStep step) {
    const bool merges = mergeOpen_ && !step.mergeKey.empty() && done_ > 0 && done_ == steps_.size() &&
                        steps_[done_ - 1].mergeKey == step.mergeKey && clean_ != done_;
    if (merges) {
        steps_[done_ - 1].after = std::move(step.after);
        return;
    }
    if (done_ < steps_.size()) {
        // The undone steps are gone; if the clean point was among them, it cannot come back.
        if (clean_ && *clean_ > done_) clean_.reset();
        sharedWithClean_ = std::min(sharedWithClean_, done_);
        steps_.resize(done_);
    }
    mergeOpen_ = !step.mergeKey.empty();
    steps_.push_back(std::move(step));
    ++done_;
}

const EditStep* EditHistory::StepBack() {
    if (!CanUndo()) return nullptr;
    mergeOpen_ = false;
    return &steps_[--done_];
}

const EditStep* EditHistory::StepForward() {
    if (!CanRedo()) return nullptr;
    mergeOpen_ = false;
    return &steps_[done_++];
}

std::vector<const EditStep*> EditHistory::DoneSinceClean() const {
    std::vector<const EditStep*> done;
    for (std::size_t step = sharedWithClean_; step < done_; ++step) done.push_back(&steps_[step]);
    return done;
}

void EditHistory::Clear() {
    steps_.clear();
    done_ = 0;
    clean_ = 0;
    sharedWithClean_ = 0;
    mergeOpen_ = false;
}

}  // namespace tw
