#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace tw {

// `bytes` random bytes from the system's source of randomness, as lower-case hexadecimal: the
// unpredictable part of the names of temporary files, so that nobody can plant something at a
// name before the program creates it.
std::string RandomHex(std::size_t bytes);

// A fresh name in the folder of `target`, made from its name, a random part and `ending`
// ("Work.iff" -> ".Work.iff.tw-<24 hex digits>.new"): hidden where the system hides dot files.
std::filesystem::path FreshNameBeside(const std::filesystem::path& target, const char* ending);
// Whether `name` is one that FreshNameBeside gives beside `target` with `ending`.
bool IsFreshNameBeside(const std::filesystem::path& name, const std::filesystem::path& target, const char* ending);

}  // namespace tw
