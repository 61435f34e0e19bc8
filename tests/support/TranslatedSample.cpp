#include "support/TranslatedSample.h"

#include "cli/CliCommands.h"
#include "exchange/PoFile.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace tw::test {

int RunCliOn(const std::filesystem::path& game, std::vector<std::string> args) {
    args.insert(args.begin(), {"--game", game.string()});
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const int status = cli::RunCli(args, "trackwright-cli", out, err);
    std::fclose(out);
    std::fclose(err);
    return status;
}

bool WriteTranslatedSample(const std::filesystem::path& game) {
    if (RunCliOn(game, {"sample", game.string()}) != cli::ExitSuccess) return false;
    const std::filesystem::path file = game.parent_path() / "translated-sample.po";
    for (const int slot : {0, 3}) {
        if (RunCliOn(game, {"texts", "export", "--language", std::to_string(slot), file.string()}) != cli::ExitSuccess)
            return false;
        std::ifstream in(file, std::ios::binary);
        Expected<PoCatalog> catalog = ReadPo(std::string(std::istreambuf_iterator<char>(in), {}));
        if (!catalog) return false;
        for (std::size_t i = 0; i < catalog->entries.size(); ++i) {
            PoEntry& entry = catalog->entries[i];
            const std::string number = std::to_string(i);
            entry.str = slot == 0 ? "Text " + number + " with \"quotes\", a \\ and caf\xC3\xA9\nsecond line"
                                  : "\xC3\x9C" "bersetzung " + number + "\n\"zwei\"";
            entry.translatorComments = {"note " + number};
        }
        std::ofstream(file, std::ios::binary) << WritePo(*catalog);
        if (RunCliOn(game, {"texts", "import", file.string()}) != cli::ExitSuccess) return false;
    }
    return true;
}

}  // namespace tw::test
