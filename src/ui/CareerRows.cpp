#include "ui/CareerRows.h"

#include <algorithm>

#if __has_include("model/CareerSet.h")
#include "model/CareerSet.h"
#define TW_HAVE_CAREER_SET 1
#endif

namespace tw {

#ifdef TW_HAVE_CAREER_SET

std::vector<CareerRow> CareerRowsOf(const CareerSet& careers) {
    std::vector<CareerRow> rows;
    // The count and the two arrays are filled together by the load; a career missing from
    // either array is left out rather than read past its end.
    const std::size_t count = std::min<std::size_t>({careers.careerCount, careers.ids.size(), careers.tracks.size()});
    rows.reserve(count);
    for (std::size_t i = 0; i < count; ++i) rows.push_back(CareerRow{careers.ids[i], careers.tracks[i].name});
    return rows;
}

#else

// FIXME: the career set is not part of this tree yet; until it is, no career can be offered.
std::vector<CareerRow> CareerRowsOf(const CareerSet&) { return {}; }

#endif

}  // namespace tw
