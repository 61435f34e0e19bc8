#include "locate/HeroicGameSettings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#ifndef _WIN32
#include "locate/YamlScalar.h"
#endif

namespace tw {
namespace {

// Runs on Windows too, where it shows that the JSON library works in the cross build.
TEST(LauncherSettingsTest, HeroicSettingsNameTheirPrefixesOrSayWhatIsWrong) {
    const struct {
        std::string json;
        std::vector<std::string> prefixes;
        const char* error;  // a part of the message; null when the text is sound
    } cases[] = {
        {R"({"Sims": {"winePrefix": "/p/Sims", "wineVersion": {"type": "wine"}}, "version": "v0", "explicit": true})",
         {"/p/Sims"}, nullptr},
        {R"({"Sims": {"winePrefix": ""}, "Other": {"autoInstallDxvk": true}})", {}, nullptr},
        {R"({"Sims": {"winePrefix": 7}})", {}, "\"winePrefix\" of \"Sims\" is a JSON number, not a text"},
        {R"(["/p/Sims"])", {}, "the top level is a JSON array"},
        {R"({"Sims": {"winePrefix": "/p/)", {}, "parse error at line 1"},
        {"", {}, "unexpected end of input"},
        {"{\"Sims\": {\"winePrefix\": \"/p/\xFF\"}}", {}, "UTF-8"},
        {std::string(100000, '['), {}, "parse error"},
    };
    for (const auto& c : cases) {
        const std::string shown = c.json.substr(0, 60);
        const Expected<std::vector<std::string>> prefixes = ParseHeroicWinePrefixes(c.json);
        const std::string error = prefixes.Reason();
        EXPECT_EQ(prefixes.Ok(), c.error == nullptr) << shown << ": " << error;
        EXPECT_EQ(prefixes.ValueOr({}), c.prefixes) << shown;
        EXPECT_NE(error.find(c.error != nullptr ? c.error : ""), std::string::npos) << shown << ": " << error;
    }
}

#ifndef _WIN32

TEST(LauncherSettingsTest, YamlPathLeadsToItsLastTextOnly) {
    const std::vector<std::string_view> gamePrefix = {"game", "prefix"};
    const struct {
        const char* what;
        std::string yaml;
        std::optional<std::string> value;
        const char* error = nullptr;
    } cases[] = {
        {"Lutris's layout", "game:\n  exe: /p/drive_c/x.exe\n  prefix: /p\nsystem: {}\nwine:\n  version: lutris-7\n", "/p"},
        {"same key in another section", "system:\n  prefix: /s\ngame:\n  prefix: /g\n", "/g"},
        {"key one level too high", "prefix: /top\ngame:\n  exe: x\n", std::nullopt},
        {"flow style and quotes", "{game: {prefix: '/with space'}}", "/with space"},
        {"below a sequence", "game:\n  - prefix: /s\n", std::nullopt},
        {"complex key before the path", "? [a, b]\n: x\ngame:\n  ? {k: v}\n  : y\n  prefix: /p\n", "/p"},
        {"repeated key: the last value", "game:\n  prefix: /a\ngame:\n  prefix: /b\n", "/b"},
        {"repeated key: a later plain value", "game:\n  prefix: /a\ngame: 1\n", std::nullopt},
        {"path ends in a mapping", "game:\n  prefix:\n    x: /p\n", std::nullopt},
        {"null", "game:\n  prefix: ~\n", std::nullopt},
        {"alias not followed", "base: &b /p\ngame:\n  prefix: *b\n", std::nullopt},
        {"empty text", "", std::nullopt},
        {"unclosed flow", "game: [\n", std::nullopt, "line 2, column 1: did not find expected node content"},
        {"tab indentation", "game:\n\tprefix: /p\n", std::nullopt, "line 2"},
        {"second document", "game:\n  prefix: /a\n---\ngame:\n  prefix: /b\n", std::nullopt, "line 3, column 1: a second document"},
        {"nested too deep", std::string(YamlMaxDepth + 1, '['), std::nullopt, "nested deeper than 64 levels"},
        {"invalid UTF-8", "game:\n  prefix: /p\xC3\x28\n", std::nullopt, "UTF-8"},
    };
    for (const auto& c : cases) {
        const Expected<std::optional<std::string>> value = FindYamlScalar(c.yaml, gamePrefix);
        const std::string error = value.Reason();
        EXPECT_EQ(value.Ok(), c.error == nullptr) << c.what << ": " << error;
        EXPECT_EQ(value.ValueOr(std::nullopt), c.value) << c.what;
        EXPECT_NE(error.find(c.error != nullptr ? c.error : ""), std::string::npos) << c.what << ": " << error;
    }
}

#endif

}  // namespace
}  // namespace tw
