#include "locate/WineRegistry.h"

#include <gtest/gtest.h>

#include "core/locate/LocationFixture.h"
#include "locate/RegistryKey.h"
#include "locate/WinePrefix.h"

namespace tw {
namespace {

using test::TempFolder;

// As Wine writes it, with every value form it uses.
constexpr std::string_view Sample = R"(WINE REGISTRY Version 2
;; All keys relative to \\Machine

#arch=win64

[Software\\Maxis\\The Sims] 1700000000
#time=1d9c0ffee
"SIMS_DATA"="C:\\Program Files\\Maxis\\The Sims \xdc \"q\"\\"
"EP3Installed"="1"
"Escapes"="a\tb\101\x0041c\[\]"
"Multi"=str(7):"one\0two\0"
"Expand"=str(2):"%ProgramFiles%"
"Bin"=hex:31,32,00,33,\
  34
"Wide"=hex(2):41,00,42,00,00,00
"Dword"=dword:00000001
@="default"

[Software\\Wow6432Node\\Maxis\\The Sims] 1700000000
"EP4Installed"="1"
)";

std::string TextOf(const WineRegistry& registry, std::string_view key, std::string_view name) {
    const WineRegistry::Value* value = registry.FindValue(key, name);
    return value == nullptr ? "<absent>" : WineRegistry::Text(*value);
}

TEST(WineRegistryTest, ReadsEveryValueFormAsTextUpToItsFirstZero) {
    WineRegistry registry;
    const Status parsed = registry.Parse(Sample);
    ASSERT_TRUE(parsed) << parsed.Reason();
    EXPECT_EQ(registry.KeyCount(), 2u);
    const std::string_view key = "software\\MAXIS\\the sims";
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"SIMS_DATA", "C:\\Program Files\\Maxis\\The Sims \xC3\x9C \"q\"\\"},  // U+00DC in UTF-8
        {"ep3installed", "1"},
        {"Escapes", "a\tbAAc[]"},
        {"Multi", "one"},
        {"Expand", "%ProgramFiles%"},
        {"Bin", "12"},
        {"Wide", "AB"},
        {"Dword", "\x01"},
        {"", "default"},
        {"EP4Installed", "<absent>"},
    };
    for (const auto& c : cases) EXPECT_EQ(TextOf(registry, key, c.name), c.text) << c.name;
    EXPECT_EQ(registry.FindValue(key, "Bin")->data, std::string("12\0" "34", 5));
    EXPECT_EQ(registry.FindValue(key, "Wide")->type, WineRegistry::TypeExpandSz);
}

TEST(WineRegistryTest, RefusesMalformedTextWithTheLine) {
    const std::string header = "WINE REGISTRY Version 2\n";
    const std::string key = header + "[Software\\\\Maxis]\n";
    const struct {
        const char* what;
        std::string text;
        const char* error;
    } cases[] = {
        {"no header", "[A]\n", "line 1: not a Wine registry file"},
        {"value before a key", header + "\"a\"=\"b\"\n", "line 2: a value before the first key"},
        {"unclosed string", key + "\"a\"=\"b\n", "line 3: string value: no closing \""},
        {"backslash at the end", key + "\"a\"=\"b\\", "line 3: string value: a backslash at the end"},
        {"unknown escape", key + "\"a\"=\"\\q\"\n", "unknown escape \\q"},
        {"\\x without digits", key + "\"a\"=\"\\xg\"\n", "\\x without hex digits"},
        {"unclosed key", header + "[Software\\\\Maxis\n", "line 2: key name: no closing ]"},
        {"text after a key", header + "[A] 12 x\n", "unexpected text after the key name"},
        {"text after a string", key + "\"a\"=\"b\" c\n", "unexpected text after the string value"},
        {"hex continued past the end", key + "\"a\"=hex:01,\\\n", "line 3: hex data continues past the end"},
        {"hex digit missing", key + "\"a\"=hex:01,2\n", "expected two hex digits"},
        {"hex ending in a comma", key + "\"a\"=hex:01,\n", "hex data ends with a comma"},
        {"hex without commas", key + "\"a\"=hex:01 02\n", "expected a comma"},
        {"long dword", key + "\"a\"=dword:000000001\n", "more than eight hex digits"},
        {"unknown form", key + "\"a\"=qword:1\n", "unknown value form"},
        {"missing =", key + "\"a\" \"b\"\n", "expected = after the value name"},
        {"stray text", key + "junk\n", "expected a key, a value or a comment"},
        {"zero byte", key + std::string("\"a\"=\"\0\"\n", 8), "a zero byte"},
    };
    for (const auto& c : cases) {
        WineRegistry registry;
        ASSERT_TRUE(registry.Parse(Sample));
        const Status parsed = registry.Parse(c.text);
        EXPECT_FALSE(parsed) << c.what;
        EXPECT_NE(parsed.Reason().find(c.error), std::string::npos) << c.what << ": " << parsed.Reason();
        EXPECT_EQ(registry.KeyCount(), 0u) << c.what;
    }
}

TEST(WineRegistryTest, GameKeyPrefersTheFormHoldingTheFolder) {
    WineRegistry registry;
    ASSERT_TRUE(registry.Parse(Sample));
    const std::vector<std::string> names = {"SIMS_DATA", "EP3Installed", "EP4Installed"};
    // The 32-bit form exists but has no SIMS_DATA: the plain form, which has it, is taken.
    RegistryKey key = ReadWineKey(registry, "Software\\Maxis\\The Sims", names);
    EXPECT_TRUE(key.found);
    EXPECT_EQ(key.where, "Software\\Maxis\\The Sims");
    EXPECT_EQ(key.Value("EP4Installed"), nullptr);

    ASSERT_TRUE(registry.Parse("WINE REGISTRY Version 2\n[Software\\\\Wow6432Node\\\\Maxis\\\\The Sims]\n"
                               "\"EP4Installed\"=\"1\"\n[Software\\\\Maxis\\\\The Sims]\n"));
    key = ReadWineKey(registry, "Software\\Maxis\\The Sims", names);
    EXPECT_EQ(key.where, "Software\\Wow6432Node\\Maxis\\The Sims");
    ASSERT_NE(key.Value("EP4Installed"), nullptr);
    EXPECT_EQ(*key.Value("EP4Installed"), "1");

    EXPECT_FALSE(ReadWineKey(registry, "Software\\Other", names).found);
}

#ifndef _WIN32
TEST(WineRegistryTest, PrefixTurnsWindowsPathsIntoHostPaths) {
    TempFolder temp;
    const std::filesystem::path prefix = temp.Folder("prefix");
    temp.Folder("prefix/drive_c/Program Files (x86)/Maxis/The Sims");
    temp.Folder("elsewhere/Games");
    temp.Folder("prefix/dosdevices");
    std::filesystem::create_directory_symlink("../drive_c", prefix / "dosdevices/c:");
    std::filesystem::create_directory_symlink(temp.Path() / "elsewhere", prefix / "dosdevices/d:");
    const WinePrefix wine(prefix);
    const std::filesystem::path driveC = std::filesystem::canonical(prefix / "drive_c");
    const std::filesystem::path driveD = std::filesystem::canonical(temp.Path() / "elsewhere");
    struct Case {
        const char* windows;
        std::optional<std::filesystem::path> host;
    };
    const Case cases[] = {
        {"C:\\PROGRAM FILES (X86)\\maxis\\The Sims\\", driveC / "Program Files (x86)/Maxis/The Sims"},
        {"c:/Program Files (x86)/Maxis/New", driveC / "Program Files (x86)/Maxis/New"},
        {"D:\\games", driveD / "Games"},
        {"E:\\Games", std::nullopt},
        {"\\\\server\\share", std::nullopt},
        {"The Sims", std::nullopt},
    };
    for (const Case& c : cases) {
        const Expected<std::filesystem::path> host = wine.HostPathOf(c.windows);
        EXPECT_EQ(host ? std::optional(*host) : std::nullopt, c.host) << c.windows;
        if (!c.host) {
            EXPECT_FALSE(host.Reason().empty()) << c.windows;
        }
    }

    // A prefix without dosdevices still has its drive_c as C:.
    TempFolder bare;
    bare.Folder("drive_c/Games");
    EXPECT_EQ(WinePrefix(bare.Path()).HostPathOf("C:\\games").ValueOr({}), bare.Path() / "drive_c/Games");
}
#endif

}  // namespace
}  // namespace tw
