#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

namespace tw {

class CareerSet;
class IconStrips;
class IFFFile;
class UserPort;

// What an import changed, so that the window can refresh its career list and mark the model
// changed.
struct ImportResult {
    enum class Outcome {
        Cancelled,       // the person said no, or chose nothing
        Failed,          // the file was refused; the person has been told why
        WrongType,       // the file is of another export type than the caller allows (not told)
        CareerReplaced,  // career `careerIndex` was replaced by an exported track
        AllRestored,     // the careers of a backup were restored
    };
    Outcome outcome = Outcome::Cancelled;
    std::uint32_t careerIndex = 0;

    bool Changed() const { return outcome == Outcome::CareerReplaced || outcome == Outcome::AllRestored; }
};

// Replaces career `target` by the track with chunk id `id` of `container`: job levels, texts,
// chance cards and both icons; the career keeps its own resource id and icon rows. Every
// failure is told to the person; a failed import changes nothing.
bool ImportCareerTrack(IFFFile& container, std::uint32_t target, std::uint16_t id, CareerSet& careers,
                       IconStrips& icons, UserPort& port);

// Restores the careers listed in a backup's information header (`information`, the whole INFO
// id 0 data), each from its own chunks, at the index it was taken from. Checks every track first
// and replaces nothing unless all are good: an index this game has no career for, or a track
// that fails a check, is told to the person and leaves every career as it was.
bool RestoreCareers(IFFFile& container, std::span<const std::uint8_t> information, CareerSet& careers,
                    IconStrips& icons, UserPort& port);

// The export type of an exchange file: 1 (an exported career track) or 2 (a backup). None, after
// telling the person why, for a file that cannot be opened, is not a container, has no
// information header or has one of another type.
std::optional<std::uint32_t> ReadExportTypeOfFile(const std::filesystem::path& path, UserPort& port);

// Imports the exchange file at `path`: an exported track over the career that
// port.ChooseCareerToReplace picks (offering the `selected` one first), or, when the person
// confirms the restore question, every career of a backup. With `onlyType`, a file of the other
// export type is left alone with outcome WrongType and no message. Success is told to the person.
ImportResult ImportExchangeFile(const std::filesystem::path& path, CareerSet& careers, IconStrips& icons,
                                UserPort& port, std::optional<std::uint32_t> onlyType = std::nullopt,
                                std::optional<std::uint32_t> selected = std::nullopt);

// Career > Import: asks for the file, then ImportExchangeFile.
ImportResult CareerImportCommand(CareerSet& careers, IconStrips& icons, UserPort& port,
                                 std::optional<std::uint32_t> selected = std::nullopt);

}  // namespace tw
