// trackwright-cli: the editor's load, save and exchange operations without a window.
#include "cli/CliCommands.h"

#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include "util/Win32.h"
#include <shellapi.h>
#endif

namespace {

#ifdef _WIN32
// The arguments in the ANSI code page, the form in which the program keeps game folders and file
// names as bytes; taken from the wide command line so nothing passes through a console code page.
std::vector<std::string> Arguments(int, char**) {
    std::vector<std::string> args;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) return args;
    for (int i = 1; i < count; ++i) {
        const int length = WideCharToMultiByte(CP_ACP, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string text(length > 0 ? static_cast<std::size_t>(length - 1) : 0, '\0');
        if (length > 1) WideCharToMultiByte(CP_ACP, 0, wide[i], -1, text.data(), length, nullptr, nullptr);
        args.push_back(std::move(text));
    }
    LocalFree(wide);
    return args;
}
#else
std::vector<std::string> Arguments(int argc, char** argv) { return {argv + 1, argv + argc}; }
#endif

}  // namespace

int main(int argc, char** argv) {
    const std::string name =
        argc > 0 && argv[0] != nullptr ? std::filesystem::path(argv[0]).stem().string() : "trackwright-cli";
    return tw::cli::RunCli(Arguments(argc, argv), name, stdout, stderr);
}
