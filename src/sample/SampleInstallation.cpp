#include "sample/SampleInstallation.h"

#include "far/FARWriter.h"
#include "iff/ChunkStore.h"
#include "iff/IFFFile.h"
#include "model/CareerSet.h"
#include "sample/SampleCareerData.h"
#include "sample/SampleIconStrips.h"
#include "util/FileError.h"
#include "util/FileStream.h"
#include "util/HostPath.h"
#include "util/MemoryStream.h"

#include <algorithm>
#include <span>
#include <system_error>
#include <vector>

namespace tw {
namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<std::uint8_t>;

Bytes ToBytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

bool AddResource(IFFFile& container, ResourceType type, std::uint16_t id, const std::string& label, GameResource& resource) {
    MemoryStream encoded;
    return resource.WriteToStream(encoded) && container.AddChunk(type, id, label, encoded);
}

// The careers container: each career's CARR, its texts (STR# with the same id) and its
// job-name table (STR# id + 1000). The tracks are stored out of id order, as nothing requires
// the game's files to sort them.
bool MakeCareersContainer(SampleCareerData& data, Bytes& out) {
    ChunkStore store;
    IFFFile container(store);
    std::vector<Career>& careers = data.careers.careers;
    const std::size_t count = careers.size();
    std::vector<std::size_t> order;
    for (std::size_t k = 1; k < count; k += 2) order.push_back(k);
    for (std::size_t k = 0; k < count; k += 2) order.push_back(k);
    for (std::size_t k : order)
        if (!AddResource(container, TypeCARR, careers[k].id, careers[k].track.name, careers[k].track)) return false;
    for (Career& career : careers)
        if (!AddResource(container, TypeSTR, career.id, career.track.name, career.texts.table)) return false;
    for (Career& career : careers) {
        const auto id = static_cast<std::uint16_t>(career.id + CareerSet::JobNamesIdOffset);
        if (!AddResource(container, TypeSTR, id, "Strings", career.texts.table)) return false;
    }
    MemoryStream file;
    if (!container.SaveIFFFile(&file).Ok()) return false;
    out = file.Copy();
    return true;
}

// The chance-card container, its card code generated from the cards exactly as a save of the
// editor generates it.
bool MakeChanceCardContainer(SampleCareerData& data, Bytes& out) {
    ChunkStore store;
    IFFFile container(store);
    MemoryStream file;
    container.AttachFile(file);
    if (!AddResource(container, TypeSTR, CardTexts::TableId, "Chance Card Text", data.careers.cardTexts.table))
        return false;

    CareerSet set;
    set.careers = data.careers.careers;
    ChunkHandle texts = 0;
    if (!container.FindChunk(texts, TypeSTR, CardTexts::TableId) || !set.cardTexts.table.LoadFromIFF(container, texts))
        return false;
    if (!set.SaveChanceCards(container).Ok()) return false;
    // The container wrote itself over the memory file it holds a duplicate of.
    out = file.Copy();
    return true;
}

// Each file is new: written whole under its own name or not at all, never over anything.
Status WriteFile(const fs::path& path, const Bytes& bytes) {
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    if (ec) return Failure(PathText(path.parent_path()) + ": " + ec.message(), ErrorKind::System);
    try {
        auto file = FileStream::Open(path, FileMode::CreateExclusive);
        file->Write(std::span<const std::uint8_t>(bytes));
        file->Flush();
    } catch (const FileError& e) {
        return Failure(PathText(path) + ": " + e.what(), ErrorKind::System);
    }
    return {};
}

// Refuses a `dir` that holds anything (a missing folder holds nothing).
Status RefuseUnlessEmpty(const fs::path& dir) {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(dir, ec);
    if (status.type() == fs::file_type::not_found) return {};
    if (!fs::is_directory(dir, ec)) return Failure(PathText(dir) + ": not a folder");
    if (!fs::is_empty(dir, ec) || ec)
        return Failure(PathText(dir) + ": the folder is not empty, and a sample installation is only written into an empty one");
    return {};
}

}  // namespace

Status WriteSampleInstallation(const fs::path& dir, std::uint32_t copies) {
    if (Status empty = RefuseUnlessEmpty(dir); !empty) return empty;
    SampleCareerData careers = BuildSampleCareerData(std::max<std::uint32_t>(copies, 1));

    Bytes careersFile;
    if (!MakeCareersContainer(careers, careersFile)) return Failure("The sample careers could not be encoded.");
    Bytes chanceCardFile;
    if (!MakeChanceCardContainer(careers, chanceCardFile)) return Failure("The sample chance cards could not be encoded.");

    FARWriter expansionArchive;
    expansionArchive.Add("ReadMe.txt", ToBytes("Sample installation written by Trackwright. The careers container "
                                               "lives only in this archive until the first load takes it out.\r\n"));
    expansionArchive.Add("WORK.IFF", careersFile);

    FARWriter graphicsArchive;
    graphicsArchive.Add("cpanel\\Backgrounds\\ReadMe.txt",
                        ToBytes("The popup icon strip lives only in this archive until the first load takes it out.\r\n"));
    graphicsArchive.Add("CPanel\\BACKGROUNDS\\jobiconmultipopup.bmp", MakeSamplePopupStrip(careers));

    const struct {
        const char* name;
        Bytes bytes;
    } files[] = {
        {"ExpansionShared\\ExpansionShared.far", expansionArchive.Bytes()},
        {"GameData\\Objects\\CarPortal.iff", chanceCardFile},
        {"UIGraphics\\cpanel\\Buttons\\JobIconMultiButton.BMP", MakeSampleButtonStrip(careers)},
        {"UIGraphics\\UIGraphics.far", graphicsArchive.Bytes()},
    };
    for (const auto& file : files)
        if (Status written = WriteFile(HostPath(dir, file.name), file.bytes); !written) return written;
    return {};
}

}  // namespace tw
