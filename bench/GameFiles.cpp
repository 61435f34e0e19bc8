// Load, save and resave of the sample installation, at its own size and with its careers repeated
// ten and a hundred times, each beside the time to merely read or copy the same files' bytes.

#include "edit/EditSession.h"
#include "edit/GameSave.h"
#include "gamefiles/GameContext.h"
#include "gamefiles/GameLoad.h"
#include "sample/SampleInstallation.h"
#include "util/FileStream.h"
#include "util/ReplaceFileWhole.h"

#include <benchmark/benchmark.h>

#include <array>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Any message but the save's closing one means the run is not measuring what it claims to.
class SilentPort final : public tw::UserPort {
public:
    tw::Answer Ask(const tw::Message& message) override {
        if (message.text != "Operation complete!") failures.push_back(message.title + ": " + message.text);
        return tw::Answer::Cancel;
    }
    std::optional<fs::path> ChooseOpenFile(const tw::FileChoice&) override { return std::nullopt; }
    std::optional<fs::path> ChooseSaveFile(const tw::FileChoice&) override { return std::nullopt; }
    std::string ApplicationName() const override { return "bench"; }
    std::optional<std::uint32_t> ChooseCareerToReplace(const tw::CareerSet&, std::optional<std::uint32_t>) override {
        return std::nullopt;
    }
    std::optional<fs::path> ChooseFolder(const std::string&) override { return std::nullopt; }
    void ShowStatus(const std::string&) override {}

    std::vector<std::string> failures;
};

const std::array<const char*, 4> GameFiles = {
    "ExpansionShared/Work.iff", "GameData/Objects/CarPortal.iff", "UIGraphics/cpanel/Buttons/JobIconMultiButton.BMP",
    "UIGraphics/cpanel/Backgrounds/JobIconMultiPopup.BMP"};

// A game folder with the program's state and kept originals beside it, never in the home folder.
struct Folders {
    fs::path game;
    fs::path state;
    fs::path originals;

    void Point(tw::GameContext& context) const {
        context.gameFolder = game.string();
        context.installationOptions.stateRoot = state;
        context.installationOptions.originalsRoot = originals;
    }
};

// One installation per size, written, loaded once (which takes the archived files out) and
// saved once (which keeps the originals and turns the strips into the 24-bit files that every
// later save writes): what follows is the steady state of every later save.
const Folders& Installation(std::uint32_t copies) {
    static std::map<std::uint32_t, Folders> made;
    auto found = made.find(copies);
    if (found != made.end()) return found->second;
    const fs::path base = fs::temp_directory_path() / ("tw-bench-" + std::to_string(copies));
    const Folders folders{base, base.string() + "-state", base.string() + "-originals"};
    for (const fs::path& dir : {folders.game, folders.state, folders.originals}) fs::remove_all(dir);
    if (const tw::Status written = tw::WriteSampleInstallation(folders.game, copies); !written)
        throw std::runtime_error(written.Reason());
    SilentPort port;
    tw::GameContext context;
    folders.Point(context);
    if (tw::RunLoad(context, port) != 1 || !tw::SaveGameFiles(context, port) || !port.failures.empty())
        throw std::runtime_error("the sample installation does not load and save");
    return made.emplace(copies, folders).first->second;
}

std::uint32_t Copies(const benchmark::State& state) { return static_cast<std::uint32_t>(state.range(0)); }

std::uint64_t Bytes(const fs::path& dir) {
    std::uint64_t total = 0;
    for (const char* file : GameFiles) total += fs::file_size(dir / file);
    return total;
}

void Finish(benchmark::State& state, const Folders& folders, const SilentPort& port) {
    if (!port.failures.empty()) state.SkipWithError(port.failures.front().c_str());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Bytes(folders.game)));
    state.counters["bytes"] = static_cast<double>(Bytes(folders.game));
}

void Load(benchmark::State& state) {
    const Folders& folders = Installation(Copies(state));
    SilentPort port;
    for (auto _ : state) {
        tw::GameContext context;
        folders.Point(context);
        if (tw::RunLoad(context, port) != 1) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(context.careerSet.Count());
    }
    Finish(state, folders, port);
}

void ReadSameBytes(benchmark::State& state) {
    const Folders& folders = Installation(Copies(state));
    SilentPort port;
    for (auto _ : state) {
        for (const char* file : GameFiles) {
            auto stream = tw::FileStream::Open(folders.game / file, tw::FileMode::ReadWriteShared);
            std::vector<std::uint8_t> bytes = stream->ReadAll();
            benchmark::DoNotOptimize(bytes.data());
        }
    }
    Finish(state, folders, port);
}

void Save(benchmark::State& state) {
    const Folders& folders = Installation(Copies(state));
    SilentPort port;
    tw::GameContext context;
    folders.Point(context);
    if (tw::RunLoad(context, port) != 1) state.SkipWithError("load failed");
    for (auto _ : state)
        if (!tw::SaveGameFiles(context, port)) state.SkipWithError("save failed");
    Finish(state, folders, port);
}

// What `trackwright-cli resave` does: take the installation, load it, save every file and load
// them again.
void Resave(benchmark::State& state) {
    const Folders& folders = Installation(Copies(state));
    SilentPort port;
    const tw::LoadRunner load = [&port](tw::GameContext& context) { return tw::RunLoad(context, port); };
    for (auto _ : state) {
        tw::EditSession session;
        folders.Point(session.Context());
        if (!session.Context().TakeInstallation(tw::Installation::Intent::Write) || session.Load(load) != 1) {
            state.SkipWithError("load failed");
            break;
        }
        const tw::SaveOutcome outcome = session.Save(port, [&] { return session.Reload(load); });
        if (!outcome.saved || outcome.reloadResult != 1) state.SkipWithError("resave failed");
    }
    Finish(state, folders, port);
}

// The floor of a resave: each of the same files read and written back the safe way (a temporary
// file, flushed to the disk and moved over the old one).
void SafeCopy(benchmark::State& state) {
    const Folders& folders = Installation(Copies(state));
    SilentPort port;
    for (auto _ : state) {
        for (const char* file : GameFiles) {
            const fs::path path = folders.game / file;
            const std::vector<std::uint8_t> bytes = tw::FileStream::Open(path, tw::FileMode::ReadShared)->ReadAll();
            const tw::Status written = tw::ReplaceFileWhole(path, [&bytes](tw::Stream& target) {
                target.Write(std::span<const std::uint8_t>(bytes));
                return true;
            });
            if (!written) state.SkipWithError("write failed");
        }
    }
    Finish(state, folders, port);
}

// The same bytes written over the files in place, without flushing them to the disk: the floor
// below which no save can go.
void OverwriteSameBytes(benchmark::State& state) {
    const Folders& folders = Installation(Copies(state));
    SilentPort port;
    std::vector<std::vector<std::uint8_t>> contents;
    for (const char* file : GameFiles)
        contents.push_back(tw::FileStream::Open(folders.game / file, tw::FileMode::ReadShared)->ReadAll());
    for (auto _ : state) {
        for (std::size_t i = 0; i < GameFiles.size(); ++i) {
            auto stream = tw::FileStream::Open(folders.game / GameFiles[i], tw::FileMode::CreateReadWriteShared);
            stream->Write(std::span<const std::uint8_t>(contents[i]));
        }
    }
    Finish(state, folders, port);
}

// The load runs on a worker thread, so processor time is the whole process's.
#define TW_BENCH(name) \
    BENCHMARK(name)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()

TW_BENCH(Load);
TW_BENCH(ReadSameBytes);
TW_BENCH(Save);
TW_BENCH(Resave);
TW_BENCH(SafeCopy);
TW_BENCH(OverwriteSameBytes);

}  // namespace

BENCHMARK_MAIN();
