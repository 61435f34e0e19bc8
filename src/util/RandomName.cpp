#include "util/RandomName.h"

#include <random>
#include <string_view>

namespace tw {

std::string RandomHex(std::size_t bytes) {
    static constexpr char Digits[] = "0123456789abcdef";
    // A fresh device each time: it holds no state worth sharing, and the names are rare.
    std::random_device device;
    std::string text;
    text.reserve(bytes * 2);
    unsigned bits = 0;
    int left = 0;
    for (std::size_t i = 0; i < bytes; ++i) {
        if (left == 0) {
            bits = device();
            left = 4;
        }
        const unsigned byte = bits & 0xFFu;
        bits >>= 8;
        --left;
        text += Digits[byte >> 4];
        text += Digits[byte & 15];
    }
    return text;
}

std::filesystem::path FreshNameBeside(const std::filesystem::path& target, const char* ending) {
    std::filesystem::path name = target.parent_path();
    name /= "." + target.filename().string() + ".tw-" + RandomHex(12) + ending;
    return name;
}

bool IsFreshNameBeside(const std::filesystem::path& name, const std::filesystem::path& target, const char* ending) {
    if (name.parent_path() != target.parent_path()) return false;
    const std::string prefix = "." + target.filename().string() + ".tw-";
    const std::string text = name.filename().string();
    const std::string_view end(ending);
    constexpr std::size_t RandomDigits = 24;
    if (text.size() != prefix.size() + RandomDigits + end.size() || !text.starts_with(prefix) || !text.ends_with(end))
        return false;
    for (std::size_t i = prefix.size(); i < prefix.size() + RandomDigits; ++i)
        if (!((text[i] >= '0' && text[i] <= '9') || (text[i] >= 'a' && text[i] <= 'f'))) return false;
    return true;
}

}  // namespace tw
