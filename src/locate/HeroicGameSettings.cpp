#include "locate/HeroicGameSettings.h"

#include <exception>

#include <nlohmann/json.hpp>

namespace tw {

Expected<std::vector<std::string>> ParseHeroicWinePrefixes(std::string_view jsonText) {
    std::vector<std::string> prefixes;
    auto fail = [](std::string why) -> Expected<std::vector<std::string>> {
        return Failure(std::move(why), ErrorKind::Damaged);
    };
    try {
        // The parser keeps its own stack, so deep nesting costs memory, not the call stack.
        const nlohmann::json root = nlohmann::json::parse(jsonText);
        if (!root.is_object()) return fail(std::string("the top level is a JSON ") + root.type_name() + ", not an object");
        for (const auto& [name, game] : root.items()) {
            if (!game.is_object()) continue;
            const auto prefix = game.find("winePrefix");
            if (prefix == game.end()) continue;
            if (!prefix->is_string()) {
                return fail("\"winePrefix\" of \"" + name + "\" is a JSON " + prefix->type_name() + ", not a text");
            }
            const std::string& text = prefix->get_ref<const std::string&>();
            if (!text.empty()) prefixes.push_back(text);
        }
    } catch (const nlohmann::json::parse_error& e) {
        // "[json.exception.parse_error.101] parse error at line 2, column 1: ..." without its tag.
        std::string what = e.what();
        const std::size_t tag = what.find("] ");
        return fail(tag == std::string::npos ? what : what.substr(tag + 2));
    } catch (const std::exception& e) {
        return fail(e.what());
    }
    return prefixes;
}

}  // namespace tw
