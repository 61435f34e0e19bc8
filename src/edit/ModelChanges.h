#pragma once

#include "edit/ModelChange.h"
#include "edit/ModelSnapshot.h"
#include "icons/IconStrips.h"
#include "model/CareerSet.h"

#include <vector>

namespace tw {

// Every difference between `before` and the model (`careers`, `icons`), career by career in
// career order: the internal name, the texts in every language (values and comments), the job
// levels' values and internal texts, the chance cards (items, text in every language, and the
// text row only where neither of those differs), the two icons; then the card texts that no card
// holds, each named as the unused card text row it is. Careers are matched by their index,
// and a career that only one side has is passed over.
std::vector<ModelChange> ListChanges(const ModelSnapshot& before, const CareerSet& careers, const IconStrips& icons);

}  // namespace tw
