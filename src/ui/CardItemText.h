#pragma once

#include <string>

#include "model/CardItem.h"

namespace tw {

// The row that stands for an item in a chance card's item list, e.g. "Budget: add 1000" or
// "Job: Promotion Level set to 3". Unknown parts read "unknown"; an unknown kind gives "".
std::string CardItemRowText(const CardItem& item);

}  // namespace tw
