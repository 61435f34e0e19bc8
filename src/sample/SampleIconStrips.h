#pragma once

#include "sample/SampleCareerData.h"

#include <cstdint>
#include <vector>

namespace tw {

// The two icon strips of the sample installation as 8-bit BMP files with a 256-colour table,
// as the game ships its strips. Icon n (n × icon height from the top) belongs to the career
// with id n: a background in the career's colour with a darker frame, its shape and its two
// letters; rows without a career stay grey.
std::vector<std::uint8_t> MakeSampleButtonStrip(const SampleCareerData& careers);
std::vector<std::uint8_t> MakeSamplePopupStrip(const SampleCareerData& careers);

}  // namespace tw
