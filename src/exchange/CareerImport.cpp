#include "exchange/CareerImport.h"

#include "exchange/ExchangeFormat.h"
#include "exchange/ExchangeMessages.h"
#include "exchange/TrackImporter.h"
#include "iff/IFFFile.h"
#include "iff/ResourceType.h"
#include "model/CareerSet.h"
#include "util/ByteReader.h"
#include "util/FileStream.h"
#include "util/HostPath.h"
#include "util/MemoryStream.h"
#include "util/UserPort.h"

#include <new>
#include <vector>

namespace tw {
namespace {

// An exchange file opened for reading, with its information header read. The container keeps
// its own handle on the file until it is destroyed.
struct OpenedExchangeFile {
    ChunkStore store;
    IFFFile container{store};
    std::vector<std::uint8_t> information;
    std::uint32_t exportType = 0;
};

bool Refuse(UserPort& port, const char* message, const std::string& detail = {}) {
    port.Tell(message, ErrorTitle, MessageIcon::Error, detail);
    return false;
}

bool OpenExchangeFile(const std::filesystem::path& path, UserPort& port, OpenedExchangeFile& file) {
    {
        // Others may go on reading the file while we do, but not change it under us.
        const auto stream = FileStream::TryOpen(path, FileMode::ReadShared);
        if (!stream) return Refuse(port, "Couldn't open this file!", PathText(path) + ": " + stream.Reason());
        file.container.AttachFile(**stream);
    }
    if (!file.container.OpenIFFFile(nullptr, true))
        return Refuse(port, "Error while opening this file with OpenIFFFile()!",
                      PathText(path) + ": " + file.container.OpenProblem());
    const std::string noInformation = PathText(path) + ": it has no information header (INFO 0), which career files have";
    try {
        MemoryStream info;
        if (!file.container.WriteChunkData(TypeINFO, 0, info)) return Refuse(port, "Not a career file!", noInformation);
        file.information = info.Copy();
    } catch (const std::bad_alloc&) {
        return Refuse(port, "Not a career file!", noInformation);
    }
    if (file.information.size() < 4)
        return Refuse(port, "Incorrect information header!",
                      PathText(path) + ": the information header holds " + std::to_string(file.information.size()) +
                          " bytes, fewer than 4");
    file.exportType = LoadU32Le(file.information.data());
    if (file.exportType != ExportTypeTrack && file.exportType != ExportTypeBackup)
        return Refuse(port, "Incorrect type!",
                      PathText(path) + ": the file's type is " + std::to_string(file.exportType) +
                          "; career files are of type 1 (one career) or 2 (a backup)");
    return true;
}

}  // namespace

bool ImportCareerTrack(IFFFile& container, std::uint32_t target, std::uint16_t id, CareerSet& careers,
                       IconStrips& icons, UserPort& port) {
    TrackImporter importer(careers, icons, port);
    if (!importer.Stage(container, target, id)) return false;
    importer.Apply();
    return true;
}

bool RestoreCareers(IFFFile& container, std::span<const std::uint8_t> information, CareerSet& careers,
                    IconStrips& icons, UserPort& port) {
    if (information.size() < InformationHeaderSize) return Refuse(port, "Incorrect information header!");
    TrackImporter importer(careers, icons, port);
    std::vector<bool> staged(careers.Count(), false);
    // The career indices follow the header; a trailing 1 to 3 bytes are no index.
    ByteReader indices(information, InformationHeaderSize);
    while (indices.Remaining() >= 4) {
        const std::uint32_t career = indices.U32Le();
        // A backup of a game with more careers cannot be restored here: its tracks are matched
        // by index, and this game has no career to take them.
        if (career >= careers.Count() || career >= 0xFFFF) {
            importer.Abandon();
            return Refuse(port, "This backup holds a career that this game does not have!");
        }
        // An index listed again names the same chunks again, which would stage the same track:
        // skipping it keeps a header full of repeats from costing a decode each.
        if (staged[career]) continue;
        if (!importer.Stage(container, career, static_cast<std::uint16_t>(career + 1))) return false;
        staged[career] = true;
    }
    importer.Apply();
    return true;
}

std::optional<std::uint32_t> ReadExportTypeOfFile(const std::filesystem::path& path, UserPort& port) {
    OpenedExchangeFile file;
    if (!OpenExchangeFile(path, port, file)) return std::nullopt;
    return file.exportType;
}

ImportResult ImportExchangeFile(const std::filesystem::path& path, CareerSet& careers, IconStrips& icons,
                                UserPort& port, std::optional<std::uint32_t> onlyType,
                                std::optional<std::uint32_t> selected) {
    using Outcome = ImportResult::Outcome;
    OpenedExchangeFile file;
    if (!OpenExchangeFile(path, port, file)) return {Outcome::Failed};
    if (onlyType && *onlyType != file.exportType) return {Outcome::WrongType};

    if (file.exportType == ExportTypeTrack) {
        // The game's careers cannot be added to: an imported track always replaces one.
        const auto target = port.ChooseCareerToReplace(careers, selected);
        if (!target) return {Outcome::Cancelled};
        if (!ImportCareerTrack(file.container, *target, 0, careers, icons, port)) return {Outcome::Failed};
        port.Tell("Successfully imported!", ProductTitle, MessageIcon::Information);
        return {Outcome::CareerReplaced, *target};
    }

    const Answer answer = port.Ask(Message{
        "This file contains a backup of all careers.\n\nAre you sure you want to restore the careers?",
        QuestionTitle, MessageIcon::Question, MessageButtons::YesNo});
    if (answer != Answer::Yes) return {Outcome::Cancelled};
    if (!RestoreCareers(file.container, file.information, careers, icons, port)) return {Outcome::Failed};
    port.Tell("Successfully restored!", port.ApplicationName(), MessageIcon::Information);
    return {Outcome::AllRestored};
}

ImportResult CareerImportCommand(CareerSet& careers, IconStrips& icons, UserPort& port,
                                 std::optional<std::uint32_t> selected) {
    FileChoice choice;
    // Any file may be tried: one saved under another name is still found.
    choice.filter = ExchangeOpenFilter;
    choice.initialName = ExchangeInitialName;
    choice.mustExist = true;
    choice.hideReadOnly = true;
    const auto path = port.ChooseOpenFile(choice);
    if (!path) return {};
    return ImportExchangeFile(*path, careers, icons, port, std::nullopt, selected);
}

}  // namespace tw
