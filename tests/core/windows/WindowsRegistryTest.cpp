// The game's registry key as the location code reads it, written with the registry's own
// functions the way the game's installer leaves it. Only Windows (and Wine) has a registry to
// write; elsewhere the key comes from a Wine prefix's file and is tested with that.
#ifdef _WIN32

#include "locate/GameLocation.h"
#include "locate/RegistryKey.h"
#include "util/HostPath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "util/Win32.h"

namespace tw {
namespace {

const std::string GameKeyPath = "Software\\Maxis\\The Sims";
const wchar_t* const GameKeyWide = L"Software\\Maxis\\The Sims";
const wchar_t* const MaxisKeyWide = L"Software\\Maxis";
// Every key these tests write carries this value, so that a key left behind by a crashed run is
// told apart from the game's own, which must never be touched.
const wchar_t* const MarkerName = L"TrackwrightTestKey";

constexpr REGSAM View32 = KEY_WOW64_32KEY;
constexpr REGSAM View64 = KEY_WOW64_64KEY;

// UTF-16LE bytes of `text`, with or without the terminating zero, as RegSetValueExW stores them.
std::string Utf16Bytes(const std::wstring& text, bool withZero) {
    std::string bytes;
    for (wchar_t ch : text) {
        bytes += static_cast<char>(ch & 0xFF);
        bytes += static_cast<char>((ch >> 8) & 0xFF);
    }
    if (withZero) bytes.append(2, '\0');
    return bytes;
}

// `text` in the system's ANSI code page: the form in which the program keeps folder names.
std::string Ansi(const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                        nullptr);
    return bytes;
}

std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

bool KeyExists(HKEY root, const wchar_t* path, REGSAM view) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool HasMarker(HKEY root, REGSAM view) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, GameKeyWide, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS) return false;
    const bool marked = RegQueryValueExW(key, MarkerName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return marked;
}

// The game's key in one root, written and removed by the test. Tests of this kind may run as
// parallel processes (ctest), so one named mutex keeps them from sharing the key.
class GameKeyWriter {
public:
    GameKeyWriter() {
        mutex_ = CreateMutexW(nullptr, FALSE, L"Local\\TrackwrightGameKeyTest");
        if (mutex_ != nullptr) WaitForSingleObject(mutex_, 60000);
    }
    ~GameKeyWriter() {
        RemoveAll();
        if (mutex_ != nullptr) {
            ReleaseMutex(mutex_);
            CloseHandle(mutex_);
        }
    }
    GameKeyWriter(const GameKeyWriter&) = delete;
    GameKeyWriter& operator=(const GameKeyWriter&) = delete;

    // Empty when the tests may use `root`: no game key of a real installation in either view
    // (one left by an earlier run is removed), and the key can be created. Otherwise why not.
    std::string Prepare(HKEY root) {
        root_ = root;
        for (REGSAM view : {View32, View64}) {
            if (!KeyExists(root_, GameKeyWide, view)) continue;
            if (!HasMarker(root_, view)) return "this machine holds the game's own registry key";
            RegDeleteKeyExW(root_, GameKeyWide, view, 0);
        }
        for (REGSAM view : {View32, View64}) maxisExisted_[view == View32 ? 0 : 1] = KeyExists(root_, MaxisKeyWide, view);
        HKEY key = nullptr;
        const LONG status = RegCreateKeyExW(root_, GameKeyWide, 0, nullptr, 0, KEY_SET_VALUE | View32, nullptr, &key,
                                            nullptr);
        if (status != ERROR_SUCCESS) return "the key cannot be created (error " + std::to_string(status) + ")";
        const DWORD marker = 1;
        RegSetValueExW(key, MarkerName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&marker), sizeof marker);
        RegCloseKey(key);
        prepared_ = true;
        RemoveAll();
        return {};
    }

    // Creates the key in `view` (marked as the test's) if needed and sets one value.
    void Set(REGSAM view, const std::wstring& name, DWORD type, const std::string& data) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(root_, GameKeyWide, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const DWORD marker = 1;
        EXPECT_EQ(RegSetValueExW(key, MarkerName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&marker), sizeof marker),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                                 static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS)
            << "value " << std::string(name.begin(), name.end());
        RegCloseKey(key);
    }

    void SetText(REGSAM view, const std::wstring& name, const std::wstring& text) {
        Set(view, name, REG_SZ, Utf16Bytes(text, true));
    }

    // Removes the key from both views, and "Software\Maxis" where the test made it.
    void RemoveAll() {
        if (root_ == nullptr) return;
        for (REGSAM view : {View32, View64}) {
            if (HasMarker(root_, view)) RegDeleteKeyExW(root_, GameKeyWide, view, 0);
            // Fails, as it should, while anything else lies below it.
            if (prepared_ && !maxisExisted_[view == View32 ? 0 : 1]) RegDeleteKeyExW(root_, MaxisKeyWide, view, 0);
        }
    }

private:
    HANDLE mutex_ = nullptr;
    HKEY root_ = nullptr;
    bool prepared_ = false;
    bool maxisExisted_[2] = {true, true};
};

std::string Describe(const RegistryKey& key) {
    std::string text = key.where + (key.found ? " (found)" : " (not found)");
    for (const auto& [name, value] : key.values) text += "\n  " + name + " = \"" + value + "\"";
    return text;
}

std::string TraceText(const LocateResult& result) {
    std::string text;
    for (const LocateStep& step : result.trace) {
        text += std::string(step.chosen ? "* " : "  ") + std::string(LocateSourceName(step.source)) + " | " +
                step.candidate + " | " + step.outcome + "\n";
    }
    return text;
}

// The locator with nothing but the registry to go on: no variables, so no remembered folder,
// and Program Files pointing nowhere.
LocateResult LocateFromRegistryOnly() {
    LocateOptions options;
    options.environment = [](const std::string& name) -> std::optional<std::string> {
        if (name == "ProgramFiles") return "C:\\trackwright-test-nowhere";
        return std::nullopt;
    };
    return LocateGame(options);
}

// --- The reader ----------------------------------------------------------------------------

TEST(WindowsRegistryTest, ValuesAreTextUpToTheirFirstZeroWhateverTheirType) {
    struct Case {
        const char* name;
        DWORD type;
        std::string data;  // the bytes as stored
        std::optional<std::string> text;
    };
    const std::wstring latin1 = L"C:\\Spiel \u00e4";
    const Case cases[] = {
        {"SzWithZero", REG_SZ, Utf16Bytes(L"C:\\Program Files\\Maxis\\The Sims\\", true),
         "C:\\Program Files\\Maxis\\The Sims\\"},
        {"SzWithoutZero", REG_SZ, Utf16Bytes(L"1", false), "1"},
        {"SzEmpty", REG_SZ, Utf16Bytes(L"", true), ""},
        // Letters beyond ASCII arrive in the ANSI code page, as the file layer expects them.
        {"SzLatin1", REG_SZ, Utf16Bytes(latin1, true), Ansi(latin1)},
        {"BinaryText", REG_BINARY, "1", "1"},
        {"BinaryFolder", REG_BINARY, "D:\\Sims", "D:\\Sims"},
        {"BinaryEmbeddedZero", REG_BINARY, std::string("1\0garbage", 9), "1"},
        {"BinaryLeadingZero", REG_BINARY, std::string("\0abc", 4), ""},
        {"BinaryEmpty", REG_BINARY, "", ""},
        // Not expanded: the text is what is stored.
        {"ExpandSz", REG_EXPAND_SZ, Utf16Bytes(L"%ProgramFiles%\\Maxis", true), "%ProgramFiles%\\Maxis"},
        {"MultiSz", REG_MULTI_SZ, Utf16Bytes(std::wstring(L"one\0two\0", 8), true), "one"},
        {"DwordOfAText", REG_DWORD, std::string("1\0\0\0", 4), "1"},
        {"Missing", REG_NONE, "", std::nullopt},
    };

    GameKeyWriter writer;
    RegistryRoot root = RegistryRoot::LocalMachine;
    std::string why = writer.Prepare(HKEY_LOCAL_MACHINE);
    if (!why.empty()) {
        // Without the right to write the machine's keys the same reader is checked on the user's.
        std::cout << "HKEY_LOCAL_MACHINE not usable (" << why << "); reading HKEY_CURRENT_USER instead\n";
        root = RegistryRoot::CurrentUser;
        why = writer.Prepare(HKEY_CURRENT_USER);
        if (!why.empty()) GTEST_SKIP() << why;
    }

    std::vector<std::string> names;
    for (const Case& c : cases) {
        names.push_back(c.name);
        if (c.text) writer.Set(View32, Widen(c.name), c.type, c.data);
    }
    const RegistryKey key = ReadSystemRegistry(root, GameKeyPath, names);
    ASSERT_TRUE(key.found) << Describe(key);
    if (root == RegistryRoot::LocalMachine) {
        EXPECT_NE(key.where.find("32-bit view"), std::string::npos) << Describe(key);
    }
    for (const Case& c : cases) {
        const std::string* value = key.Value(c.name);
        if (!c.text) {
            EXPECT_EQ(value, nullptr) << c.name << "\n" << Describe(key);
        } else if (value == nullptr) {
            ADD_FAILURE() << c.name << " was not read\n" << Describe(key);
        } else {
            EXPECT_EQ(*value, *c.text) << c.name;
        }
    }
}

// --- The game's key through the locator ----------------------------------------------------

class WindowsGameKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string why = writer.Prepare(HKEY_LOCAL_MACHINE);
        if (!why.empty()) GTEST_SKIP() << "HKEY_LOCAL_MACHINE not usable: " << why;
    }

    GameKeyWriter writer;
};

TEST_F(WindowsGameKeyTest, FolderAndExpansionTextsComeFromTheThirtyTwoBitView) {
    const std::wstring folder = L"C:\\Spiel \u00e4\\The Sims";
    writer.SetText(View32, L"SIMS_DATA", folder);
    writer.Set(View32, L"EP3Installed", REG_BINARY, "1");
    // EP4Installed absent: an empty text and nothing to report.

    // The 32-bit view is where a 32-bit installer's keys lie on 64-bit Windows.
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\Maxis\\The Sims", View64));

    const LocateResult result = LocateFromRegistryOnly();
    EXPECT_EQ(result.location.source, LocateSource::Registry) << TraceText(result);
    EXPECT_EQ(result.location.gameFolder, Ansi(folder));
    EXPECT_EQ(PathFromBytes(result.location.gameFolder), std::filesystem::path(folder));
    EXPECT_EQ(result.location.expansion3Flag, "1");
    EXPECT_EQ(result.location.expansion4Flag, "");
    ASSERT_FALSE(result.trace.empty());
    EXPECT_NE(result.trace.back().candidate.find("32-bit view"), std::string::npos) << TraceText(result);
}

TEST_F(WindowsGameKeyTest, ViewHoldingTheFolderWinsThirtyTwoBitFirst) {
    struct Case {
        const char* what;
        std::optional<std::wstring> folder32;  // nullopt: no SIMS_DATA in that view's key
        bool key32;
        std::optional<std::wstring> folder64;
        bool key64;
        LocateSource source;
        std::string gameFolder;
        std::string expansion3;  // each view's key has EP3Installed "32" or "64" to show whose it is
    };
    const Case cases[] = {
        {"both views hold a folder", L"C:\\Sims32", true, L"C:\\Sims64", true, LocateSource::Registry, "C:\\Sims32",
         "32"},
        {"only the 64-bit view holds a folder", std::nullopt, true, L"C:\\Sims64", true, LocateSource::Registry,
         "C:\\Sims64", "64"},
        {"only a 64-bit key", std::nullopt, false, L"C:\\Sims64", true, LocateSource::Registry, "C:\\Sims64", "64"},
        // A key without a folder still gives its expansion texts.
        {"no folder in either view", std::nullopt, true, std::nullopt, false, LocateSource::None, "", "32"},
        {"no key at all", std::nullopt, false, std::nullopt, false, LocateSource::None, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writer.RemoveAll();
        if (c.key32) writer.SetText(View32, L"EP3Installed", L"32");
        if (c.folder32) writer.SetText(View32, L"SIMS_DATA", *c.folder32);
        if (c.key64) writer.SetText(View64, L"EP3Installed", L"64");
        if (c.folder64) writer.SetText(View64, L"SIMS_DATA", *c.folder64);

        const LocateResult result = LocateFromRegistryOnly();
        EXPECT_EQ(result.location.source, c.source) << TraceText(result);
        EXPECT_EQ(result.location.gameFolder, c.gameFolder) << TraceText(result);
        EXPECT_EQ(result.location.expansion3Flag, c.expansion3) << TraceText(result);
        EXPECT_EQ(result.location.expansion4Flag, "");
    }
}

}  // namespace
}  // namespace tw

#endif
