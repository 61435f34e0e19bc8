#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tw::test {

// trackwright-cli run on the game in `game`; its exit status, its output dropped.
int RunCliOn(const std::filesystem::path& game, std::vector<std::string> args);

// Writes a sample installation into `game` whose USEnglish texts hold line breaks, quotes, a
// backslash and "é" and whose German texts and comments translate them. False on any failure.
bool WriteTranslatedSample(const std::filesystem::path& game);

}  // namespace tw::test
