#include "edit/CareerRows.h"

#include "model/CareerSet.h"

namespace tw {

std::vector<CareerRow> CareerRowsOf(const CareerSet& careers) {
    std::vector<CareerRow> rows;
    rows.reserve(careers.Count());
    for (const Career& career : careers.careers) rows.push_back(CareerRow{career.id, career.track.name});
    return rows;
}

}  // namespace tw
