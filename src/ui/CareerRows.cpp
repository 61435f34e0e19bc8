#include "ui/CareerRows.h"

#include <algorithm>

#include "model/CareerSet.h"

namespace tw {

std::vector<CareerRow> CareerRowsOf(const CareerSet& careers) {
    std::vector<CareerRow> rows;
    // The count and the two arrays are filled together by the load; a career missing from
    // either array is left out rather than read past its end.
    const std::size_t count = std::min<std::size_t>({careers.careerCount, careers.ids.size(), careers.tracks.size()});
    rows.reserve(count);
    for (std::size_t i = 0; i < count; ++i) rows.push_back(CareerRow{careers.ids[i], careers.tracks[i].name});
    return rows;
}

}  // namespace tw
