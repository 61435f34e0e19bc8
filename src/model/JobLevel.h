#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tw {

// One job level of a career: 21 numbers and 5 internal texts.
struct JobLevel {
    static constexpr std::size_t ValueCount = 21;
    static constexpr std::size_t TextCount = 5;
    // The values that rules and dialogs name.
    static constexpr std::size_t Friends = 0;
    static constexpr std::size_t LastSkill = 6;
    static constexpr std::size_t Salary = 17;
    static constexpr std::size_t BeginHour = 18;
    static constexpr std::size_t EndHour = 19;
    static constexpr std::size_t CarPool = 20;

    // Values: 0 friends, 1 cooking, 2 mechanical, 3 charisma, 4 body, 5 logic, 6 creativity,
    // 7 to 9 kept unchanged, 10 hunger, 11 comfort, 12 hygiene, 13 bladder, 14 energy, 15 fun,
    // 16 social (changes per hour), 17 salary, 18 begin hour, 19 end hour, 20 car pool.
    std::array<std::int32_t, ValueCount> values{};
    // Texts: 0 internal job name, 1 male skin, 2 female skin, 3 texture, 4 accessory.
    std::array<std::string, TextCount> texts;

    bool operator==(const JobLevel&) const = default;
};

}  // namespace tw
