#include "cli/CareerChoice.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <vector>

namespace tw::cli {
namespace {

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// None for a number too large for any career, which then names none.
std::optional<std::uint32_t> Number(std::string_view digits) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return value;
}

// "a", "a and b", "a, b and c".
std::string Joined(const std::vector<std::string>& parts) {
    std::string joined;
    for (std::size_t i = 0; i < parts.size(); ++i)
        joined += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
    return joined;
}

// The careers' ids as runs: "#1 to #8, #10".
std::string IdRuns(const CareerSet& careers) {
    std::vector<std::uint32_t> ids;
    for (const Career& career : careers.careers) ids.push_back(career.id);
    std::sort(ids.begin(), ids.end());
    std::vector<std::string> runs;
    for (std::size_t first = 0; first < ids.size();) {
        std::size_t last = first;
        while (last + 1 < ids.size() && ids[last + 1] == ids[last] + 1) ++last;
        runs.push_back("#" + std::to_string(ids[first]) + (last > first ? " to #" + std::to_string(ids[last]) : ""));
        first = last + 1;
    }
    return Joined(runs);
}

std::string IdAndIndex(const CareerSet& careers, std::uint32_t index) {
    return "#" + std::to_string(careers.careers[index].id) + " (index " + std::to_string(index) + ")";
}

}  // namespace

CareerChoice ChooseCareer(const CareerSet& careers, const std::string& text) {
    const auto count = static_cast<std::uint32_t>(careers.Count());
    const std::string valid = count == 0 ? "the game has no careers" : "";
    if (text.size() > 1 && text[0] == '#' && AllDigits(text.substr(1))) {
        const std::optional<std::uint32_t> id = Number(text.substr(1));
        for (std::uint32_t index = 0; id && index < count; ++index)
            if (careers.careers[index].id == *id) return {index, {}};
        return {std::nullopt, "There is no career with id " + text.substr(1) + " (" +
                                  (count == 0 ? valid : IdRuns(careers)) + ")."};
    }
    if (AllDigits(text)) {
        const std::optional<std::uint32_t> index = Number(text);
        if (index && *index < count) return {index, {}};
        return {std::nullopt, "There is no career with index " + text + " (" +
                                  (count == 0 ? valid : "0 to " + std::to_string(count - 1)) + ")."};
    }
    std::vector<std::uint32_t> named;
    for (std::uint32_t index = 0; index < count; ++index)
        if (careers.careers[index].track.name == text) named.push_back(index);
    if (named.size() == 1) return {named.front(), {}};
    if (named.empty())
        return {std::nullopt, "There is no career named \"" + text +
                                  "\" (\"dump\" lists the careers with their ids and internal names)."};
    std::vector<std::string> which;
    for (const std::uint32_t index : named) which.push_back(IdAndIndex(careers, index));
    return {std::nullopt, std::to_string(named.size()) + " careers are named \"" + text + "\": " + Joined(which) +
                              "; name one by its #ID or index."};
}

}  // namespace tw::cli
