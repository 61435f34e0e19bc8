#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tw {

class CareerSet;

// One career as the career lists show it: its resource number and its internal name (bytes in
// the internal code page). Its position in the list is its index into the career set.
struct CareerRow {
    std::uint16_t id = 0;
    std::string name;
};

// The rows of every career of the set, in career order.
std::vector<CareerRow> CareerRowsOf(const CareerSet& careers);

}  // namespace tw
