#include "far/FARFile.h"
#include "far/FARWriter.h"

#include "support/ScriptedPort.h"
#include "util/ByteReader.h"
#include "util/ByteWriter.h"
#include "util/FileError.h"
#include "util/MemoryStream.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tw {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// Archive bytes: header, the entries' data one after another, then the directory.
struct FarEntryLayout {
    std::string name;
    std::vector<std::uint8_t> data;
};

std::vector<std::uint8_t> Archive(const std::vector<FarEntryLayout>& entries) {
    FARWriter writer;
    for (const FarEntryLayout& e : entries) writer.Add(e.name, e.data);
    return writer.Bytes();
}

// A memory stream that counts reads (shared by its duplicates) and can be told to fail.
class ProbeStream final : public Stream {
public:
    struct Shared {
        int reads = 0;
        bool failReads = false;
        bool failWrites = false;
    };

    explicit ProbeStream(std::vector<std::uint8_t> bytes)
        : inner_(std::make_unique<MemoryStream>(std::move(bytes))), shared_(std::make_shared<Shared>()) {}

    void Seek(std::int64_t offset, SeekOrigin origin) override { inner_->Seek(offset, origin); }
    std::size_t Read(std::span<std::uint8_t> into) override {
        ++shared_->reads;
        if (shared_->failReads) throw FileError("The device is not ready.");
        return inner_->Read(into);
    }
    void Write(std::span<const std::uint8_t> bytes) override {
        if (shared_->failWrites) throw FileError("There is not enough space on the disk.");
        inner_->Write(bytes);
    }
    using Stream::Write;
    std::uint64_t Length() const override { return inner_->Length(); }
    std::uint64_t Position() const override { return inner_->Position(); }
    void Truncate(std::uint64_t length) override { inner_->Truncate(length); }
    std::unique_ptr<Stream> Duplicate() const override {
        auto copy = std::unique_ptr<ProbeStream>(new ProbeStream());
        copy->inner_ = inner_->Duplicate();
        copy->shared_ = shared_;
        return copy;
    }

    Shared& State() { return *shared_; }

private:
    ProbeStream() = default;
    std::unique_ptr<Stream> inner_;
    std::shared_ptr<Shared> shared_;
};

std::vector<std::uint8_t> Header(const char* signature, std::uint32_t version, std::uint32_t directoryOffset) {
    ByteWriter out;
    out.PutText(std::string_view(signature, 8));
    out.PutU32Le(version);
    out.PutU32Le(directoryOffset);
    return out.Take();
}

std::vector<std::uint8_t> Concat(std::vector<std::uint8_t> a, const std::vector<std::uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<std::uint8_t> WithoutLast(std::vector<std::uint8_t> bytes) {
    bytes.pop_back();
    return bytes;
}

std::vector<std::uint8_t> U32(std::uint32_t v) {
    ByteWriter out;
    out.PutU32Le(v);
    return out.Take();
}

TEST(FARFileTest, ReadDirectoryResultsAndErrorCodes) {
    // One whole entry at offset 16: size 1, second size 1, data offset 16, name length 1, "a".
    std::vector<std::uint8_t> oneEntry;
    for (std::uint32_t v : {1u, 1u, 16u, 1u}) oneEntry = Concat(oneEntry, U32(v));
    oneEntry.push_back('a');

    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        bool ok;
        int code;
    };
    const std::vector<Case> cases = {
        {"15 bytes", WithoutLast(Header("FAR!byAZ", 1, 16)), false, FARFile::ErrorNotFAR},
        {"empty archive, offset + 4 equals the length", Concat(Header("FAR!byAZ", 1, 16), U32(0)), true, 0},
        {"directory offset 17", Concat(Header("FAR!byAZ", 1, 17), U32(0)), false, FARFile::ErrorBadDirectory},
        {"directory offset 0", Concat(Header("FAR!byAZ", 1, 0), U32(0)), false, FARFile::ErrorBadDirectory},
        {"directory offset far past the end", Concat(Header("FAR!byAZ", 1, 0xFFFFFFFF), U32(0)), false,
         FARFile::ErrorBadDirectory},
        {"lower-case F", Concat(Header("fAR!byAZ", 1, 16), U32(0)), false, FARFile::ErrorNotFAR},
        {"upper-case y", Concat(Header("FAR!bYAZ", 1, 16), U32(0)), false, FARFile::ErrorNotFAR},
        {"lower-case Z", Concat(Header("FAR!byAz", 1, 16), U32(0)), false, FARFile::ErrorNotFAR},
        {"version 2", Concat(Header("FAR!byAZ", 2, 16), U32(0)), false, FARFile::ErrorBadVersion},
        {"version 0", Concat(Header("FAR!byAZ", 0, 16), U32(0)), false, FARFile::ErrorBadVersion},
        {"one entry", Concat(Concat(Header("FAR!byAZ", 1, 16), U32(1)), oneEntry), true, 0},
        {"count 2, one entry present", Concat(Concat(Header("FAR!byAZ", 1, 16), U32(2)), oneEntry), false,
         FARFile::ErrorBadDirectory},
        {"count 0xFFFFFFFF", Concat(Concat(Header("FAR!byAZ", 1, 16), U32(0xFFFFFFFF)), oneEntry), false,
         FARFile::ErrorBadDirectory},
        {"entry header cut short", Concat(Concat(Header("FAR!byAZ", 1, 16), U32(1)), U32(5)), false,
         FARFile::ErrorBadDirectory},
        {"name running past the end", Concat(Concat(Header("FAR!byAZ", 1, 16), U32(1)), WithoutLast(oneEntry)), false,
         FARFile::ErrorBadDirectory},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryStream file(c.bytes);
        FARFile archive(file);
        int code = -1;
        EXPECT_EQ(archive.ReadDirectory(&code), c.ok);
        EXPECT_EQ(code, c.code);
        if (!c.ok) {
            EXPECT_EQ(archive.EntryCount(), 0u);
        }
    }
}

TEST(FARFileTest, NoArchiveAttachedIsCodeOne) {
    FARFile archive;
    int code = -1;
    EXPECT_FALSE(archive.ReadDirectory(&code));
    EXPECT_EQ(code, FARFile::ErrorNoArchive);
    EXPECT_FALSE(archive.ReadDirectory());  // the code is optional
}

TEST(FARFileTest, FailedReadDropsEntriesOfAnEarlierRead) {
    const std::vector<std::uint8_t> good = Archive({{"a.iff", Bytes("xyz")}});
    MemoryStream file(good);
    FARFile archive(file);
    ASSERT_TRUE(archive.ReadDirectory());
    ASSERT_EQ(archive.EntryCount(), 1u);
    std::vector<std::uint8_t> bad = good;
    bad[8] = 2;  // version
    MemoryStream badFile(bad);
    archive.AttachArchive(badFile);
    int code = -1;
    EXPECT_FALSE(archive.ReadDirectory(&code));
    EXPECT_EQ(code, FARFile::ErrorBadVersion);
    EXPECT_EQ(archive.EntryCount(), 0u);
}

TEST(FARFileTest, EntriesKeepDirectoryOrderAndStoredFields) {
    std::vector<std::uint8_t> bytes = Archive({{"UIGraphics\\One.bmp", Bytes("11")}, {"two", Bytes("2222")}});
    // A name holding a NUL byte ends there; its stored length is kept. Bytes after the last
    // entry are ignored.
    bytes[bytes.size() - 2] = 0;
    bytes.push_back(0xEE);
    bytes.push_back(0xEE);
    MemoryStream file(bytes);
    FARFile archive(file);
    ASSERT_TRUE(archive.ReadDirectory());

    std::vector<FAREntry> seen;
    for (auto position = archive.FirstEntryPosition(); position != FARFile::NoPosition;)
        seen.push_back(archive.NextEntry(position));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].name, "UIGraphics\\One.bmp");
    EXPECT_EQ(seen[0].size, 2u);
    EXPECT_EQ(seen[0].secondSize, 2u);
    EXPECT_EQ(seen[0].dataOffset, 16u);
    EXPECT_EQ(seen[0].nameLength, 18u);
    EXPECT_EQ(seen[1].name, "t");
    EXPECT_EQ(seen[1].nameLength, 3u);
    EXPECT_EQ(seen[1].dataOffset, 18u);
    EXPECT_FALSE(seen[0].data);
}

TEST(FARFileTest, FindEntryComparesWholeNamesWithoutCase) {
    MemoryStream file(Archive({{"CPANEL\\BUTTONS\\JOBICONMULTIBUTTON.BMP", Bytes("first")},
                               {"cpanel\\Buttons\\JobIconMultiButton.bmp", Bytes("second")},
                               {"Work.iff", Bytes("w")}}));
    FARFile archive(file);
    ASSERT_TRUE(archive.ReadDirectory());
    EXPECT_EQ(FindEntry(archive, "cpanel\\Buttons\\JobIconMultiButton.BMP"), 0u);  // first match wins
    EXPECT_EQ(FindEntry(archive, "WORK.IFF"), 2u);
    EXPECT_EQ(FindEntry(archive, "JobIconMultiButton.BMP"), std::nullopt);  // folders are part of the name
    EXPECT_EQ(FindEntry(archive, "cpanel/Buttons/JobIconMultiButton.BMP"), std::nullopt);
    EXPECT_EQ(FindEntry(archive, "Work.if"), std::nullopt);
    EXPECT_EQ(FindEntry(archive, "Work.iff "), std::nullopt);
}

TEST(FARFileTest, DataPastTheEndReadsTheDirectoryButCannotBeExtracted) {
    std::vector<std::uint8_t> bytes = Archive({{"a", Bytes("abcd")}, {"b", Bytes("ef")}, {"empty", {}}});
    // Entry "a": size 4 at offset 16; make its size run one byte past the file's end.
    const std::size_t directory = LoadU32Le(&bytes[12]);
    const auto pastEnd = static_cast<std::uint32_t>(bytes.size() - 16 + 1);
    bytes[directory + 4] = static_cast<std::uint8_t>(pastEnd);
    bytes[directory + 5] = static_cast<std::uint8_t>(pastEnd >> 8);
    MemoryStream file(bytes);
    FARFile archive(file);
    ASSERT_TRUE(archive.ReadDirectory());
    ASSERT_EQ(archive.EntryCount(), 3u);

    MemoryStream target;
    EXPECT_FALSE(archive.ExtractEntryToFile(0, target));
    EXPECT_FALSE(archive.ExtractEntryToFile(2, target));  // size 0
    EXPECT_FALSE(archive.ExtractEntryToFile(3, target));  // no such index
    EXPECT_EQ(target.Length(), 0u);
    EXPECT_FALSE(archive.Entries()[0].data);  // a failure leaves the entry without data

    ASSERT_TRUE(archive.ExtractEntryToFile(1, target));
    EXPECT_EQ(target.Copy(), Bytes("ef"));
}

TEST(FARFileTest, EntryWithDataOffsetZeroCannotBeRead) {
    std::vector<std::uint8_t> bytes = Archive({{"a", Bytes("abcd")}});
    const std::size_t directory = LoadU32Le(&bytes[12]);
    bytes[directory + 12] = 0;  // data offset 16 -> 0
    MemoryStream file(bytes);
    FARFile archive(file);
    ASSERT_TRUE(archive.ReadDirectory());
    const std::uint8_t* data = nullptr;
    std::uint32_t size = 0;
    EXPECT_FALSE(archive.GetEntryData(0, data, size));
}

TEST(FARFileTest, ExtractingTwiceReadsTheArchiveOnce) {
    ProbeStream file(Archive({{"a", Bytes("hello")}, {"b", Bytes("world")}}));
    FARFile archive(file);
    ASSERT_TRUE(archive.ReadDirectory());
    EXPECT_EQ(file.State().reads, 2);  // header, then the whole directory in one read

    file.State().reads = 0;
    MemoryStream first;
    MemoryStream second;
    ASSERT_TRUE(archive.ExtractEntryToFile(1, first));
    ASSERT_TRUE(archive.ExtractEntryToFile(1, second));
    EXPECT_EQ(file.State().reads, 1);
    EXPECT_EQ(first.Copy(), Bytes("world"));
    EXPECT_EQ(second.Copy(), Bytes("world"));

    // Copies of the entry share the bytes that were read.
    auto position = FARFile::EntryPosition{1};
    const FAREntry copy = archive.NextEntry(position);
    EXPECT_EQ(position, FARFile::NoPosition);
    ASSERT_TRUE(copy.data);
    EXPECT_EQ(copy.data.get(), archive.Entries()[1].data.get());
}

TEST(FARFileTest, ExtractionWritesAtTheTargetsPosition) {
    MemoryStream file(Archive({{"a", Bytes("XY")}}));
    FARFile archive(file);
    ASSERT_TRUE(archive.ReadDirectory());
    MemoryStream target(Bytes("0123"));
    target.Seek(1);
    ASSERT_TRUE(archive.ExtractEntryToFile(0, target));
    EXPECT_EQ(target.Copy(), Bytes("0XY3"));
    EXPECT_EQ(target.Position(), 3u);
}

TEST(FARFileTest, ClosingKeepsBytesAlreadyRead) {
    MemoryStream file(Archive({{"a", Bytes("kept")}, {"b", Bytes("lost")}}));
    FARFile archive(file);
    ASSERT_TRUE(archive.ReadDirectory());
    MemoryStream target;
    ASSERT_TRUE(archive.ExtractEntryToFile(0, target));
    archive.CloseArchive();
    EXPECT_FALSE(archive.HasArchive());
    EXPECT_EQ(archive.Length(), 0u);
    EXPECT_EQ(archive.Entries()[1].dataOffset, 0u);

    MemoryStream again;
    EXPECT_TRUE(archive.ExtractEntryToFile(0, again));
    EXPECT_EQ(again.Copy(), Bytes("kept"));
    EXPECT_FALSE(archive.ExtractEntryToFile(1, again));
    archive.CloseArchive();  // closing twice is harmless
}

TEST(FARFileTest, ArchiveShrunkSinceAttachingDoesNotExtractZeros) {
    MemoryStream file(Archive({{"a", Bytes("abcdef")}}));
    FARFile archive(file);
    ASSERT_TRUE(archive.ReadDirectory());
    file.Truncate(18);  // the duplicate shares the content; the entry's bytes are now cut short
    MemoryStream target;
    EXPECT_FALSE(archive.ExtractEntryToFile(0, target));
    EXPECT_EQ(target.Length(), 0u);
}

TEST(FARFileTest, ReadErrorsAreShownWithTheApplicationsName) {
    ProbeStream file(Archive({{"a", Bytes("abc")}}));
    test::ScriptedPort port;
    port.applicationName = "Trackwright";
    FARFile archive(file, &port);
    file.State().failReads = true;
    int code = -1;
    EXPECT_FALSE(archive.ReadDirectory(&code));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(archive.EntryCount(), 0u);
    ASSERT_EQ(port.calls.size(), 1u);
    EXPECT_EQ(port.Shown(), std::vector<std::string>{"Trackwright: The device is not ready."});
    EXPECT_EQ(port.calls[0].message.icon, MessageIcon::Error);

    file.State().failReads = false;
    ASSERT_TRUE(archive.ReadDirectory());
    file.State().failReads = true;
    MemoryStream target;
    EXPECT_FALSE(archive.ExtractEntryToFile(0, target));
    EXPECT_EQ(port.calls.size(), 2u);
    EXPECT_FALSE(archive.Entries()[0].data);
}

TEST(FARFileTest, WriteErrorsOfTheTargetAreShown) {
    MemoryStream file(Archive({{"a", Bytes("abc")}}));
    test::ScriptedPort port;
    FARFile archive(file, &port);
    ASSERT_TRUE(archive.ReadDirectory());
    ProbeStream target(std::vector<std::uint8_t>{});
    target.State().failWrites = true;
    EXPECT_FALSE(archive.ExtractEntryToFile(0, target));
    EXPECT_EQ(port.Shown(), std::vector<std::string>{"trackwright: There is not enough space on the disk."});

    // Without a port the failure is only the result.
    FARFile quiet(file);
    ASSERT_TRUE(quiet.ReadDirectory());
    EXPECT_FALSE(quiet.ExtractEntryToFile(0, target));
}

}  // namespace
}  // namespace tw
