#pragma once

#include "model/CareerSet.h"

#include <cstdint>
#include <vector>

namespace tw::test {

// The resource ids of the set's careers, in career order.
inline std::vector<std::uint16_t> CareerIds(const CareerSet& set) {
    std::vector<std::uint16_t> ids;
    for (const Career& career : set.careers) ids.push_back(career.id);
    return ids;
}

// Whether every card of every career is empty.
inline bool NoCards(const CareerSet& set) {
    for (const Career& career : set.careers)
        for (const ChanceCard& card : career.cards)
            if (!(card == ChanceCard{})) return false;
    return true;
}

}  // namespace tw::test
