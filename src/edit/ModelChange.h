#pragma once

#include "edit/EditHistory.h"
#include "icons/Bitmap.h"
#include "model/CardItem.h"

#include <string>
#include <vector>

namespace tw {

// One difference between the model and the files as last loaded or saved, where a person finds
// it (career, job level, language) and what it was and is.
struct ModelChange {
    enum class Kind {
        CareerImported,   // an import over the career; `after` is its internal name now
        CareersRestored,  // every career restored from a backup
        Text,             // a text, `before` and `after` as UTF-8
        Number,           // a number (a job value, the level count), in decimal
        CardItems,        // a chance card's items
        Icon,             // a career's icon; a missing icon is an empty bitmap
    };

    Kind kind = Kind::Text;
    EditPlace place;
    // What changed, as the editor names it ("Career Name", "Salary", "Popup Icon").
    std::string field;
    std::string before;
    std::string after;
    std::vector<CardItem> itemsBefore;
    std::vector<CardItem> itemsAfter;
    Bitmap iconBefore;
    Bitmap iconAfter;
};

}  // namespace tw
