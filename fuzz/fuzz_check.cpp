// `check` on damaged installations: it never crashes, never writes, and every finding says what
// and where.
//
// Each input damages one game file of a fresh copy of the sample (made once per process, with the
// careers container written loose so that it can be damaged like the others):
//   byte 0  which file: 0 the careers container, 1 the chance-card container, 2 the button strip,
//           3 the popup strip (modulo 4)
//   byte 1  even: the rest of the input replaces the whole file; odd: the rest is a sequence of
//           4-byte patches, a 24-bit big-endian offset (modulo the file's size) and the byte put there
// The copy is loaded as the command line loads it for reading and checked. What must hold: the
// game folder holds the same files with the same bytes afterwards; every finding has a message, a
// rule finding a rule name, a damaged one a file; every problem of the load is a damaged finding,
// and so are chance cards that do not load at all.
#include "check/GameCheck.h"
#include "gamefiles/GameFileLookup.h"
#include "gamefiles/GameLoad.h"
#include "sample/SampleInstallation.h"
#include "util/ConsolePort.h"
#include "util/HostPath.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace tw;
using Bytes = std::vector<std::uint8_t>;

const char* const Files[] = {"ExpansionShared/Work.iff", "GameData/Objects/CarPortal.iff",
                             "UIGraphics/cpanel/Buttons/JobIconMultiButton.BMP",
                             "UIGraphics/cpanel/Backgrounds/JobIconMultiPopup.BMP"};

Bytes Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Write(const fs::path& path, const Bytes& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::map<std::string, Bytes> Contents(const fs::path& root) {
    std::map<std::string, Bytes> contents;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        contents[entry.path().lexically_relative(root).generic_string()] =
            entry.is_regular_file() ? Read(entry.path()) : Bytes{};
    return contents;
}

struct World {
    fs::path root, sample, game, state, originals;
    std::FILE* quiet = nullptr;

    World() {
        std::string name = (fs::temp_directory_path() / "tw-fuzz-check-XXXXXX").string();
        if (mkdtemp(name.data()) == nullptr) std::abort();
        root = name;
        sample = root / "sample";
        game = root / "game";
        state = root / "state";
        originals = root / "originals";
        if (!WriteSampleInstallation(sample).Ok()) std::abort();
        quiet = std::fopen("/dev/null", "w");
        if (quiet == nullptr) std::abort();
        // The careers container only an archive holds, written loose.
        ConsolePort port("fuzz_check", quiet);
        GameFileSource source;
        Expected<std::unique_ptr<Stream>> work =
            OpenGameStream(sample / "ExpansionShared", "Work.iff", port, false, source);
        if (!work) std::abort();
        Write(sample / Files[0], (*work)->ReadAll());
    }
    ~World() {
        std::fclose(quiet);
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
};

World& TheWorld() {
    static World world;
    return world;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    World& world = TheWorld();
    std::error_code ignored;
    fs::remove_all(world.game, ignored);
    fs::copy(world.sample, world.game, fs::copy_options::recursive);
    if (size >= 2) {
        const fs::path file = world.game / Files[data[0] % 4];
        Bytes bytes = Read(file);
        if (data[1] % 2 == 0) {
            bytes.assign(data + 2, data + size);
        } else if (!bytes.empty()) {
            for (std::size_t at = 2; at + 4 <= size; at += 4) {
                const std::size_t offset =
                    (std::size_t{data[at]} << 16 | std::size_t{data[at + 1]} << 8 | data[at + 2]) % bytes.size();
                bytes[offset] = data[at + 3];
            }
        }
        Write(file, bytes);
    }
    const auto before = Contents(world.game);

    GameContext context;
    context.gameFolder = BytesFromPath(world.game).value_or(world.game.string());
    context.installationOptions.stateRoot = world.state;
    context.installationOptions.originalsRoot = world.originals;
    ConsolePort port("fuzz_check", world.quiet);
    if (RunLoad(context, port) == LoadRequest::Loaded) {
        const std::vector<Finding> findings = CheckGame(context);
        for (const Finding& finding : findings) {
            if (finding.message.empty()) std::abort();
            if (finding.kind == Finding::Kind::Rule && finding.rule.empty()) std::abort();
            if (finding.kind == Finding::Kind::Damaged && finding.file.empty()) std::abort();
        }
        const auto damaged = static_cast<std::size_t>(std::count_if(
            findings.begin(), findings.end(), [](const Finding& f) { return f.kind == Finding::Kind::Damaged; }));
        // Chance cards that do not load at all are one more.
        const std::size_t problems = context.Problems().size();
        if (damaged < problems || damaged > problems + 1) std::abort();
        if (damaged == problems + 1 && context.chanceCardsDisabled == 0) std::abort();
    }
    if (Contents(world.game) != before) std::abort();
    return 0;
}
