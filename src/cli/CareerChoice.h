#pragma once

#include "model/CareerSet.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tw::cli {

// The career that a command-line argument names, or why it names none.
struct CareerChoice {
    std::optional<std::uint32_t> index;
    std::string problem;  // a sentence for the "Error" message when there is no index
};

// "#ID" is the career's resource id, as the editor shows it; digits alone are its index in
// `careers`; anything else is an internal name, matched byte for byte, which must be one
// career's only. A number that names no career is answered with the numbers that do.
CareerChoice ChooseCareer(const CareerSet& careers, const std::string& text);

}  // namespace tw::cli
