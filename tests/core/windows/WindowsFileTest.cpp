// File sharing, atomic replacement and UTF-16 paths as they behave on Windows itself. On other
// systems the share modes do not exist and these tests are not built.
#ifdef _WIN32

#include "iff/IFFFile.h"
#include "support/IffBytes.h"
#include "util/FileError.h"
#include "util/FileStream.h"
#include "util/MemoryStream.h"
#include "util/ReplaceFileWhole.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "util/Win32.h"

namespace tw {
namespace {

namespace fs = std::filesystem;
using test::IffBytes;
using test::ToBytes;

// A fresh folder whose name needs UTF-16: letters of three scripts that no single code page
// holds together, so any narrow-string call on the way to the system would fail to find it.
class NonAsciiFolder {
public:
    NonAsciiFolder() {
        static std::atomic<unsigned> counter{0};
        path_ = fs::temp_directory_path() /
                (L"Trackwright Prüfung Ελληνικά 日本語 " + std::to_wstring(GetCurrentProcessId()) + L"-" +
                 std::to_wstring(counter++));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~NonAsciiFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    NonAsciiFolder(const NonAsciiFolder&) = delete;
    NonAsciiFolder& operator=(const NonAsciiFolder&) = delete;

    const fs::path& Path() const { return path_; }
    fs::path File(const wchar_t* name) const { return path_ / name; }
    std::vector<fs::path> Entries() const {
        std::vector<fs::path> names;
        for (const auto& entry : fs::directory_iterator(path_)) names.push_back(entry.path().filename());
        return names;
    }

private:
    fs::path path_;
};

// Opens the way another program would: raw CreateFileW with the given access and sharing.
HANDLE OpenAsOtherProgram(const fs::path& path, DWORD access, DWORD share) {
    return CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool OtherProgramCanOpen(const fs::path& path, DWORD access, DWORD share) {
    HANDLE h = OpenAsOtherProgram(path, access, share);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The file's bytes as any reader sees them, whoever holds it.
std::string Content(const fs::path& path) {
    HANDLE h = OpenAsOtherProgram(path, GENERIC_READ, ShareAll);
    if (h == INVALID_HANDLE_VALUE) return "<cannot open>";
    std::string text(4096, '\0');
    DWORD got = 0;
    const BOOL ok = ReadFile(h, text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
    CloseHandle(h);
    if (!ok) return "<cannot read>";
    text.resize(got);
    return text;
}

void PutFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    fs::remove(path);
    auto file = FileStream::Open(path, FileMode::CreateExclusive);
    file->Write(bytes);
}

std::string ReadWhole(Stream& stream) {
    const std::vector<std::uint8_t> bytes = stream.ReadAll();
    return std::string(bytes.begin(), bytes.end());
}

// --- Share modes ---------------------------------------------------------------------------

struct SecondOpen {
    const char* name;
    std::function<bool(const fs::path&)> opens;
};

bool OursOpens(const fs::path& path, FileMode mode) { return FileStream::TryOpen(path, mode).Ok(); }

const SecondOpen ReaderSharingWrite{"another program reading (sharing read and write)", [](const fs::path& p) {
    return OtherProgramCanOpen(p, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
}};
const SecondOpen WriterSharingAll{"another program writing (sharing everything)", [](const fs::path& p) {
    return OtherProgramCanOpen(p, GENERIC_WRITE, ShareAll);
}};
const SecondOpen Deleter{"another program deleting", [](const fs::path& p) { return OtherProgramCanOpen(p, DELETE, ShareAll); }};
const SecondOpen OurReader{"ReadShared", [](const fs::path& p) { return OursOpens(p, FileMode::ReadShared); }};
const SecondOpen OurWriter{"ReadWriteShared", [](const fs::path& p) { return OursOpens(p, FileMode::ReadWriteShared); }};
const SecondOpen OurCreator{"CreateReadWriteShared", [](const fs::path& p) {
    return OursOpens(p, FileMode::CreateReadWriteShared);
}};
const SecondOpen OurExclusive{"CreateExclusive", [](const fs::path& p) { return OursOpens(p, FileMode::CreateExclusive); }};

TEST(FileStreamShareTest, HeldFileLetsOthersReadButNobodyWrite) {
    struct Case {
        FileMode held;
        SecondOpen second;
        bool opens;
    };
    const Case cases[] = {
        // The game files while the editor holds them: readable, not writable, not deletable.
        {FileMode::ReadWriteShared, ReaderSharingWrite, true},
        {FileMode::ReadWriteShared, WriterSharingAll, false},
        {FileMode::ReadWriteShared, Deleter, false},
        {FileMode::ReadWriteShared, OurWriter, false},
        {FileMode::ReadWriteShared, OurCreator, false},
        {FileMode::ReadWriteShared, OurExclusive, false},
        // Our own readers deny writing, which a file already open for writing cannot grant.
        {FileMode::ReadWriteShared, OurReader, false},
        {FileMode::CreateReadWriteShared, ReaderSharingWrite, true},
        {FileMode::CreateReadWriteShared, WriterSharingAll, false},
        // Files opened only for reading: any number of readers, no writer.
        {FileMode::ReadShared, OurReader, true},
        {FileMode::ReadShared, ReaderSharingWrite, true},
        {FileMode::ReadShared, OurWriter, false},
        {FileMode::ReadShared, WriterSharingAll, false},
        // Exported files are written shared with nobody.
        {FileMode::CreateExclusive, ReaderSharingWrite, false},
        {FileMode::CreateExclusive, OurReader, false},
    };
    NonAsciiFolder folder;
    const fs::path path = folder.File(L"Work.iff");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("held in mode ") + std::to_string(static_cast<int>(c.held)) + ", then " +
                     c.second.name);
        PutFile(path, ToBytes("career data"));
        {
            // An exclusive creation only makes new files.
            if (c.held == FileMode::CreateExclusive) fs::remove(path);
            auto held = FileStream::Open(path, c.held);
            if (c.held == FileMode::CreateReadWriteShared || c.held == FileMode::CreateExclusive)
                held->Write(ToBytes("career data"));
            EXPECT_EQ(c.second.opens(path), c.opens);
        }
        // A refused open must not have emptied or changed the file on its way.
        EXPECT_EQ(Content(path), "career data");
        // Once the holder has closed it, anybody may write again.
        EXPECT_TRUE(WriterSharingAll.opens(path));
    }
}

TEST(FileStreamShareTest, DuplicateKeepsTheFileHeldUntilTheLastCopyCloses) {
    NonAsciiFolder folder;
    const fs::path path = folder.File(L"Careers.iff");
    PutFile(path, ToBytes("abc"));
    auto original = FileStream::Open(path, FileMode::ReadWriteShared);
    std::unique_ptr<Stream> copy = original->Duplicate();
    original.reset();
    EXPECT_FALSE(WriterSharingAll.opens(path));
    EXPECT_EQ(ReadWhole(*copy), "abc");
    copy.reset();
    EXPECT_TRUE(WriterSharingAll.opens(path));
}

TEST(FileStreamShareTest, MissingFileInNonAsciiFolderGivesTheSystemsText) {
    NonAsciiFolder folder;
    const Expected<std::unique_ptr<FileStream>> opened = FileStream::TryOpen(folder.File(L"Карьера.iff"), FileMode::ReadShared);
    EXPECT_FALSE(opened);
    EXPECT_FALSE(opened.Reason().empty());
    EXPECT_FALSE(fs::exists(folder.File(L"Карьера.iff")));
}

// --- Atomic replacement --------------------------------------------------------------------

bool WriteText(Stream& stream, const std::string& text) {
    stream.Write(ToBytes(text));
    return true;
}

TEST(ReplaceFileWholeWindowsTest, ReplacesHeldFileInNonAsciiFolderAndHoldsTheNewOne) {
    // The held stream comes back in its own mode on the new content; a create mode must not
    // empty the file it reopens.
    const std::optional<FileMode> heldModes[] = {std::nullopt, FileMode::ReadWriteShared,
                                                 FileMode::CreateReadWriteShared};
    for (const auto& mode : heldModes) {
        SCOPED_TRACE(mode ? std::to_string(static_cast<int>(*mode)) : std::string("not held"));
        NonAsciiFolder folder;
        const fs::path path = folder.File(L"JobIconMultiButton Ü.BMP");
        PutFile(path, ToBytes("old strip"));
        std::unique_ptr<FileStream> held;
        if (mode) {
            held = FileStream::Open(path, *mode);
            if (*mode == FileMode::CreateReadWriteShared) held->Write(ToBytes("old strip"));
        }

        const Status replaced = ReplaceFileWhole(path, [](Stream& s) { return WriteText(s, "new strip, longer"); }, held.get());
        ASSERT_TRUE(replaced) << replaced.Reason();
        EXPECT_EQ(Content(path), "new strip, longer");
        EXPECT_EQ(folder.Entries(), std::vector<fs::path>{path.filename()});
        if (held) {
            ASSERT_TRUE(held->IsOpen());
            EXPECT_EQ(held->Mode(), *mode);
            EXPECT_EQ(ReadWhole(*held), "new strip, longer");
            EXPECT_FALSE(WriterSharingAll.opens(path));
        }
    }
}

TEST(ReplaceFileWholeWindowsTest, FailureBeforeTheReplaceKeepsTheOriginal) {
    struct Case {
        const char* name;
        std::function<bool(Stream&)> write;
        std::function<HANDLE(const fs::path&)> interfere;  // something else holding the target
        bool systemText;  // whether the platform's description is expected in the error
    };
    const auto noInterference = [](const fs::path&) { return INVALID_HANDLE_VALUE; };
    const Case cases[] = {
        {"writer declines after writing part", [](Stream& s) { return !WriteText(s, "half"); }, noInterference, false},
        {"writer fails with a file error", [](Stream& s) -> bool {
             WriteText(s, "half");
             throw FileError("The disk is full.");
         },
         noInterference, true},
        {"another program reads the target without delete sharing",
         [](Stream& s) { return WriteText(s, "new"); },
         [](const fs::path& p) { return OpenAsOtherProgram(p, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE); },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NonAsciiFolder folder;
        const fs::path path = folder.File(L"CarPortal.iff");
        PutFile(path, ToBytes("original"));
        auto held = FileStream::Open(path, FileMode::ReadShared);
        HANDLE other = c.interfere(path);

        const Status replaced = ReplaceFileWhole(path, c.write, held.get());
        EXPECT_FALSE(replaced);
        EXPECT_EQ(!replaced.Reason().empty(), c.systemText) << replaced.Reason();

        if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
        EXPECT_EQ(Content(path), "original");
        EXPECT_EQ(folder.Entries(), std::vector<fs::path>{path.filename()}) << "the temporary file is left behind";
        // The program's own handle is back on the old file.
        ASSERT_TRUE(held->IsOpen());
        EXPECT_EQ(ReadWhole(*held), "original");
    }
}

// --- Saving a container over its own file --------------------------------------------------

std::vector<std::uint8_t> TwoChunkContainer() {
    IffBytes file;
    file.Chunk(TypeSTR, 7, ToBytes("old text"), "Ελληνικά");
    file.Chunk(TypeCARR, 2, ToBytes("track"));
    return file.bytes;
}

std::string ChunkText(IFFFile& container, ResourceType type, std::uint16_t id) {
    MemoryStream out;
    if (!container.WriteChunkData(type, id, out)) return "<missing>";
    const std::vector<std::uint8_t> bytes = out.Copy();
    return std::string(bytes.begin(), bytes.end());
}

TEST(IFFFileWindowsTest, SaveOverAttachedFileInNonAsciiFolder) {
    NonAsciiFolder folder;
    const fs::path path = folder.File(L"Work.iff");
    PutFile(path, TwoChunkContainer());

    ChunkStore store;
    IFFFile container(store);
    {
        // As the load does: the container keeps its own duplicate, the local handle goes.
        auto file = FileStream::Open(path, FileMode::ReadWriteShared);
        container.AttachFile(*file);
    }
    ASSERT_TRUE(container.OpenIFFFile(nullptr, true));
    ASSERT_TRUE(container.LoadAllChunks());
    MemoryStream changed(ToBytes("new text"));
    ASSERT_TRUE(container.ReplaceChunkData(TypeSTR, 7, changed));

    ASSERT_TRUE(container.SaveIFFFile());
    EXPECT_EQ(folder.Entries(), std::vector<fs::path>{path.filename()});
    // Still held against writers, and lazy reads now come from the new file.
    EXPECT_FALSE(WriterSharingAll.opens(path));
    ASSERT_TRUE(container.OpenIFFFile(nullptr, true));
    EXPECT_EQ(ChunkText(container, TypeSTR, 7), "new text");
    EXPECT_EQ(ChunkText(container, TypeCARR, 2), "track");
    container.CloseFile();

    ChunkStore otherStore;
    IFFFile reread(otherStore);
    auto file = FileStream::Open(path, FileMode::ReadShared);
    reread.AttachFile(*file);
    ASSERT_TRUE(reread.OpenIFFFile(nullptr, true));
    EXPECT_EQ(ChunkText(reread, TypeSTR, 7), "new text");
    EXPECT_EQ(ChunkText(reread, TypeCARR, 2), "track");
}

TEST(IFFFileWindowsTest, SaveFailsAndKeepsTheFileWhileAnotherHandleIsOpen) {
    NonAsciiFolder folder;
    const fs::path path = folder.File(L"Careers.iff");
    const std::vector<std::uint8_t> original = TwoChunkContainer();
    PutFile(path, original);

    ChunkStore store;
    IFFFile container(store);
    auto file = FileStream::Open(path, FileMode::ReadWriteShared);
    container.AttachFile(*file);  // `file` stays open: a second holder of the same handle
    ASSERT_TRUE(container.OpenIFFFile(nullptr, true));
    ASSERT_TRUE(container.LoadAllChunks());
    MemoryStream changed(ToBytes("new text"));
    ASSERT_TRUE(container.ReplaceChunkData(TypeSTR, 7, changed));

    EXPECT_FALSE(container.SaveIFFFile());
    EXPECT_EQ(Content(path), std::string(original.begin(), original.end()));
    EXPECT_EQ(folder.Entries(), std::vector<fs::path>{path.filename()});
    // The edit is still in memory, so a later save can succeed once the other handle is gone.
    file.reset();
    EXPECT_TRUE(container.SaveIFFFile());
    container.CloseFile();
    ChunkStore otherStore;
    IFFFile reread(otherStore);
    auto again = FileStream::Open(path, FileMode::ReadShared);
    reread.AttachFile(*again);
    ASSERT_TRUE(reread.OpenIFFFile(nullptr, true));
    EXPECT_EQ(ChunkText(reread, TypeSTR, 7), "new text");
}

}  // namespace
}  // namespace tw

#endif  // _WIN32
