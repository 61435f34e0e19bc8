#include "exchange/CareerExport.h"

#include "exchange/ExchangeFormat.h"
#include "exchange/ExchangeMessages.h"
#include "icons/BitmapFile.h"
#include "icons/IconStrips.h"
#include "iff/IFFFile.h"
#include "iff/ResourceType.h"
#include "model/CareerSet.h"
#include "text/TextCodec.h"
#include "util/ByteWriter.h"
#include "util/FileError.h"
#include "util/HostPath.h"
#include "util/MemoryStream.h"
#include "util/ReplaceFileWhole.h"
#include "util/UserPort.h"

#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tw {
namespace {

// The largest chunk id of a backup: career index + 1 must fit the 16-bit id.
constexpr std::uint32_t MaxBackupCareers = 0xFFFF;

std::string IconMessage(const char* which) {
    return std::string("Can't load the ") + which + " bitmap!\n\nContact the author of this program!\n\n" + ContactLine;
}

// Adds a chunk holding `bytes`.
void AddBytesChunk(IFFFile& container, ResourceType type, std::uint16_t id, const std::string& label,
                   std::vector<std::uint8_t> bytes) {
    container.AddChunk(type, id, label, std::move(bytes));
}

// Adds the BMP chunk of an icon; an icon that could not be cut out gives an empty chunk.
void AddIconChunk(IFFFile& container, ResourceType type, std::uint16_t id, const char* label, const Bitmap* icon) {
    std::optional<std::vector<std::uint8_t>> bytes;
    if (icon != nullptr) bytes = EncodeBitmapFile(*icon);
    AddBytesChunk(container, type, id, label, bytes.value_or(std::vector<std::uint8_t>{}));
}

// Adds a resource's chunk; false when the resource cannot be encoded.
bool AddResourceChunk(IFFFile& container, ResourceType type, std::uint16_t id, const std::string& label,
                      GameResource& resource) {
    std::vector<std::uint8_t> bytes;
    if (!resource.Encode(bytes)) return false;
    AddBytesChunk(container, type, id, label, std::move(bytes));
    return true;
}

// Writes `container` over `path`: the whole file is built in memory first, then replaces any
// file at `path` in one step, so a failure never leaves a half-written file behind.
bool WriteContainerFile(IFFFile& container, const std::filesystem::path& path, UserPort& port) {
    MemoryStream image;
    if (const Status saved = container.SaveIFFFile(&image); !saved) {
        port.Tell("Unable to save the IFF file", FatalErrorTitle, MessageIcon::Error, saved.Reason());
        return false;
    }
    const auto bytes = image.Bytes();
    const Status written = ReplaceFileWhole(path, [bytes](Stream& file) {
        file.Write(bytes);
        return true;
    });
    if (!written) {
        port.Tell("Couldn't create this file!", ErrorTitle, MessageIcon::Error, PathText(path) + ": " + written.Reason());
        return false;
    }
    return true;
}

FileChoice ExchangeSaveChoice(std::string initialName) {
    FileChoice choice;
    choice.filter = ExchangeFileFilter;
    choice.initialName = std::move(initialName);
    // A name typed without an extension gets one, so that Import's filter lists the file.
    choice.defaultExtension = ExchangeExtension;
    choice.promptOverwrite = true;
    choice.existingFoldersOnly = true;
    return choice;
}

}  // namespace

std::string ExportFileName(const CareerSet& careers, std::uint32_t career) {
    if (career >= careers.Count()) return ExchangeInitialName;
    std::string name = DecodeToUtf8(careers.careers[career].track.name, CodePage::Windows1252);
    // Characters that no file name may hold on Windows (and "/" nowhere) become "_".
    constexpr std::string_view Forbidden = "<>:\"/\\|?*";
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 0x20 || Forbidden.find(c) != std::string_view::npos) c = '_';
    // Windows drops spaces and dots at the end of a file name; a name of nothing else is none.
    while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.pop_back();
    const std::size_t start = name.find_first_not_of(' ');
    if (start == std::string::npos) return ExchangeInitialName;
    return name.substr(start) + "." + ExchangeExtension;
}

bool ExportCareerTrack(IFFFile& container, std::uint32_t career, std::uint16_t id, const CareerSet& careers,
                       const IconStrips& icons, UserPort& port) {
    if (career >= careers.Count()) return false;
    const Career& exported = careers.careers[career];
    try {
        // Encoding may adjust a resource's format flags, so it works on copies: an export leaves
        // the model exactly as it was.
        CareerTrack track = exported.track;
        const std::string name = track.name;
        if (!AddResourceChunk(container, TypeCARExport, id, name, track)) return false;
        StringTable texts = exported.texts.table;
        if (!AddResourceChunk(container, TypeSTR, id, name, texts)) return false;

        AddBytesChunk(container, TypeCARD, id, name, EncodeCardBlocks(careers, career));

        const std::uint16_t iconNumber = exported.id;
        Bitmap popup;
        Bitmap button;
        const bool havePopup = icons.GetPopupIcon(iconNumber, popup);
        if (!havePopup) port.Tell(IconMessage("Popup"), ErrorTitle, MessageIcon::Error);
        const bool haveButton = icons.GetButtonIcon(iconNumber, button);
        if (!haveButton) port.Tell(IconMessage("Button"), ErrorTitle, MessageIcon::Error);
        AddIconChunk(container, TypeBMP1, id, PopupLabel, havePopup ? &popup : nullptr);
        AddIconChunk(container, TypeBMP2, id, ButtonLabel, haveButton ? &button : nullptr);

        AddBytesChunk(container, TypeINFO, id, InformationLabel, MakeInformationHeader(ExportTypeTrack));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool ExportCareerToFile(const std::filesystem::path& path, std::uint32_t career, const CareerSet& careers,
                        const IconStrips& icons, UserPort& port) {
    ChunkStore store;
    IFFFile container(store);
    if (!ExportCareerTrack(container, career, 0, careers, icons, port)) return false;
    if (!WriteContainerFile(container, path, port)) return false;
    port.Tell("Successfully exported!", ProductTitle, MessageIcon::Information);
    return true;
}

bool BackupToFile(const std::filesystem::path& path, const CareerSet& careers, const IconStrips& icons,
                  UserPort& port) {
    if (careers.Count() >= MaxBackupCareers) return false;
    // A backup restores careers by their place: one with a career missing would restore the
    // wrong careers, and the missing one not at all.
    if (!careers.leftOut.empty()) {
        std::string ids;
        for (std::uint16_t id : careers.leftOut) ids += (ids.empty() ? "#" : ", #") + std::to_string(id);
        port.Tell("The backup cannot hold every career: " + ids +
                      " cannot be read from the game's files (see the warning after the load). Nothing was written.",
                  "Error!", MessageIcon::Error);
        return false;
    }
    ChunkStore store;
    IFFFile container(store);
    try {
        ByteWriter info(MakeInformationHeader(ExportTypeBackup));
        for (std::uint32_t career = 0; career < careers.Count(); ++career) {
            info.PutU32Le(career);
            if (!ExportCareerTrack(container, career, static_cast<std::uint16_t>(career + 1), careers, icons, port))
                return false;
        }
        AddBytesChunk(container, TypeINFO, 0, InformationLabel, info.Take());
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!WriteContainerFile(container, path, port)) return false;
    port.Tell("Successfully backed up!\n\nTo restore the careers, use \"Import\" in the \"Career\" menu.",
              port.ApplicationName(), MessageIcon::Information);
    return true;
}

bool CareerExportCommand(std::optional<std::uint32_t> selectedCareer, const CareerSet& careers,
                         const IconStrips& icons, UserPort& port) {
    if (!selectedCareer) return false;
    const auto path = port.ChooseSaveFile(ExchangeSaveChoice(ExportFileName(careers, *selectedCareer)));
    if (!path) return false;
    return ExportCareerToFile(*path, *selectedCareer, careers, icons, port);
}

bool CareerBackupCommand(const CareerSet& careers, const IconStrips& icons, UserPort& port) {
    const auto path = port.ChooseSaveFile(ExchangeSaveChoice(BackupInitialName));
    if (!path) return false;
    return BackupToFile(*path, careers, icons, port);
}

}  // namespace tw
