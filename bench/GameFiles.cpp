// Load and save of the sample installation, at its own size and with its careers repeated a
// hundred times, each beside the time to merely read or write the same files' bytes.

#include "gamefiles/GameContext.h"
#include "gamefiles/GameLoad.h"
#include "gamefiles/GameSave.h"
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

// Any message means the run is not measuring what it claims to.
class SilentPort final : public tw::UserPort {
public:
    tw::Answer Ask(const tw::Message& message) override {
        failures.push_back(message.title + ": " + message.text);
        return tw::Answer::Cancel;
    }
    std::optional<fs::path> ChooseOpenFile(const tw::FileChoice&) override { return std::nullopt; }
    std::optional<fs::path> ChooseSaveFile(const tw::FileChoice&) override { return std::nullopt; }
    std::string ApplicationName() const override { return "bench"; }
    std::optional<std::uint32_t> ChooseCareerToReplace(const tw::CareerSet&) override { return std::nullopt; }
    std::optional<fs::path> ChooseFolder(const std::string&) override { return std::nullopt; }
    void ShowStatus(const std::string&) override {}

    std::vector<std::string> failures;
};

const std::array<const char*, 4> GameFiles = {
    "ExpansionShared/Work.iff", "GameData/Objects/CarPortal.iff", "UIGraphics/cpanel/Buttons/JobIconMultiButton.BMP",
    "UIGraphics/cpanel/Backgrounds/JobIconMultiPopup.BMP"};

// One installation per size, written, loaded once (which takes the archived files out) and
// saved once (which turns the strips into the 24-bit files that every later save writes).
const fs::path& Installation(std::uint32_t copies) {
    static std::map<std::uint32_t, fs::path> made;
    auto found = made.find(copies);
    if (found != made.end()) return found->second;
    const fs::path dir = fs::temp_directory_path() / ("tw-bench-" + std::to_string(copies));
    fs::remove_all(dir);
    std::string error;
    if (!tw::WriteSampleInstallation(dir, &error, copies)) throw std::runtime_error(error);
    SilentPort port;
    tw::GameContext context;
    context.gameFolder = dir.string();
    if (tw::RunLoad(context, port) != 1 || !tw::SaveGameFiles(context, port))
        throw std::runtime_error("the sample installation does not load and save");
    return made.emplace(copies, dir).first->second;
}

std::uint32_t Copies(const benchmark::State& state) { return static_cast<std::uint32_t>(state.range(0)); }

std::uint64_t Bytes(const fs::path& dir) {
    std::uint64_t total = 0;
    for (const char* file : GameFiles) total += fs::file_size(dir / file);
    return total;
}

void Load(benchmark::State& state) {
    const fs::path& dir = Installation(Copies(state));
    SilentPort port;
    for (auto _ : state) {
        tw::GameContext context;
        context.gameFolder = dir.string();
        if (tw::RunLoad(context, port) != 1) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(context.careerSet.Count());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Bytes(dir)));
}

void ReadSameBytes(benchmark::State& state) {
    const fs::path& dir = Installation(Copies(state));
    for (auto _ : state) {
        for (const char* file : GameFiles) {
            auto stream = tw::FileStream::Open(dir / file, tw::FileMode::ReadWriteShared);
            std::vector<std::uint8_t> bytes = stream->ReadAll();
            benchmark::DoNotOptimize(bytes.data());
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Bytes(dir)));
}

void Save(benchmark::State& state) {
    const fs::path& dir = Installation(Copies(state));
    SilentPort port;
    tw::GameContext context;
    context.gameFolder = dir.string();
    if (tw::RunLoad(context, port) != 1) state.SkipWithError("load failed");
    for (auto _ : state)
        if (!tw::SaveGameFiles(context, port)) state.SkipWithError("save failed");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Bytes(dir)));
}

// The same bytes written the same safe way as a save writes them: into a temporary file that
// is flushed to the disk and moved over the old one.
void WriteSameBytes(benchmark::State& state) {
    const fs::path& dir = Installation(Copies(state));
    std::vector<std::vector<std::uint8_t>> contents;
    for (const char* file : GameFiles) contents.push_back(tw::FileStream::Open(dir / file, tw::FileMode::ReadShared)->ReadAll());
    for (auto _ : state) {
        for (std::size_t i = 0; i < GameFiles.size(); ++i) {
            const auto& bytes = contents[i];
            const bool written = tw::ReplaceFileWhole(dir / GameFiles[i], [&bytes](tw::Stream& target) {
                target.Write(std::span<const std::uint8_t>(bytes));
                return true;
            });
            if (!written) state.SkipWithError("write failed");
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Bytes(dir)));
}

// The same bytes written over the files in place, without flushing them to the disk: the floor
// below which no save can go.
void OverwriteSameBytes(benchmark::State& state) {
    const fs::path& dir = Installation(Copies(state));
    std::vector<std::vector<std::uint8_t>> contents;
    for (const char* file : GameFiles) contents.push_back(tw::FileStream::Open(dir / file, tw::FileMode::ReadShared)->ReadAll());
    for (auto _ : state) {
        for (std::size_t i = 0; i < GameFiles.size(); ++i) {
            auto stream = tw::FileStream::Open(dir / GameFiles[i], tw::FileMode::CreateReadWriteShared);
            stream->Write(std::span<const std::uint8_t>(contents[i]));
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Bytes(dir)));
}

BENCHMARK(Load)->Arg(1)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ReadSameBytes)->Arg(1)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Save)->Arg(1)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(WriteSameBytes)->Arg(1)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(OverwriteSameBytes)->Arg(1)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
