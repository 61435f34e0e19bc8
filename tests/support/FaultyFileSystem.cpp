#include "support/FaultyFileSystem.h"

#include "util/FileError.h"
#include "util/MemoryStream.h"

namespace tw::test {
namespace {

constexpr const char* StepNames[] = {"Create", "Write",      "Flush",        "Replace",     "MoveNew",
                                     "Link",   "Remove",     "SyncFolder",   "CreateFolder", "RemoveFolder",
                                     "Lock",   "Read"};

// A file being written: its writes and flushes are steps of their own.
class FaultyStream final : public Stream {
public:
    FaultyStream(FaultyFileSystem& files, std::unique_ptr<Stream> inner, std::filesystem::path path)
        : files_(files), inner_(std::move(inner)), path_(std::move(path)) {}

    void Seek(std::int64_t offset, SeekOrigin origin) override { inner_->Seek(offset, origin); }
    std::size_t Read(std::span<std::uint8_t> into) override { return inner_->Read(into); }
    void Write(std::span<const std::uint8_t> bytes) override {
        if (files_.Take(FaultyFileSystem::Step::Write, path_)) inner_->Write(bytes);
    }
    using Stream::Write;
    std::uint64_t Length() const override { return inner_->Length(); }
    std::uint64_t Position() const override { return inner_->Position(); }
    void Truncate(std::uint64_t length) override { inner_->Truncate(length); }
    // The step counts, but the disk is not asked: what a flush makes durable cannot be seen from
    // inside the program, and hundreds of saves would spend their time waiting for the disk.
    void Flush() override { files_.Take(FaultyFileSystem::Step::Flush, path_); }
    std::unique_ptr<Stream> Duplicate() const override { return inner_->Duplicate(); }
    std::filesystem::path Path() const override { return path_; }

private:
    FaultyFileSystem& files_;
    std::unique_ptr<Stream> inner_;
    std::filesystem::path path_;
};

}  // namespace

void FaultyFileSystem::Restart() {
    steps_ = 0;
    for (std::size_t& count : ofKind_) count = 0;
    reads_ = 0;
    killed_ = false;
    failed_ = false;
    log_.clear();
    faultStep_.clear();
}

bool FaultyFileSystem::Take(Step kind, const std::filesystem::path& path) {
    if (killed_) return false;
    ++steps_;
    const std::size_t nth = ++ofKind_[static_cast<int>(kind)];
    log_.push_back(std::string(StepNames[static_cast<int>(kind)]) + " " + path.string());
    if (killAt_ != 0 && steps_ == killAt_) {
        killed_ = true;
        faultStep_ = log_.back();
        throw SimulatedKill{};
    }
    const bool held = !failOn_.empty() && path.string().find(failOn_) != std::string::npos &&
                      (kind == Step::Replace || kind == Step::MoveNew || kind == Step::Remove || kind == Step::Link ||
                       kind == Step::CreateFolder || kind == Step::RemoveFolder);
    if (held) {
        failed_ = true;
        faultStep_ = log_.back();
        throw FileError("The process cannot access the file because it is being used by another process (injected)");
    }
    if (failAt_ != 0 && (failKind_ == kind || failKind_ == Step::Any) &&
        (failKind_ == Step::Any ? steps_ : nth) == failAt_) {
        failed_ = true;
        faultStep_ = log_.back();
        throw FileError("No space left on device (injected)");
    }
    return true;
}

std::unique_ptr<Stream> FaultyFileSystem::CreateNew(const std::filesystem::path& path,
                                                    const std::filesystem::path* like) {
    // After a kill nothing reaches the disk; what is written goes nowhere.
    if (!Take(Step::Create, path)) return std::make_unique<MemoryStream>();
    return std::make_unique<FaultyStream>(*this, HostFileSystem().CreateNew(path, like), path);
}

void FaultyFileSystem::Replace(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (Take(Step::Replace, to)) HostFileSystem().Replace(from, to);
}

void FaultyFileSystem::MoveNew(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (Take(Step::MoveNew, to)) HostFileSystem().MoveNew(from, to);
}

bool FaultyFileSystem::Link(const std::filesystem::path& existing, const std::filesystem::path& link) {
    if (!Take(Step::Link, link)) return true;
    return HostFileSystem().Link(existing, link);
}

void FaultyFileSystem::Remove(const std::filesystem::path& path) {
    if (Take(Step::Remove, path)) HostFileSystem().Remove(path);
}

void FaultyFileSystem::CreateFolder(const std::filesystem::path& path) {
    if (Take(Step::CreateFolder, path)) HostFileSystem().CreateFolder(path);
}

void FaultyFileSystem::RemoveFolder(const std::filesystem::path& path) {
    if (Take(Step::RemoveFolder, path)) HostFileSystem().RemoveFolder(path);
}

// Counted, not done: see the stream's Flush.
void FaultyFileSystem::SyncFolder(const std::filesystem::path& folder) { Take(Step::SyncFolder, folder); }

bool FaultyFileSystem::Exists(const std::filesystem::path& path) { return HostFileSystem().Exists(path); }

void FaultyFileSystem::Lock(FileLock& lock, FileLock::Kind kind) {
    if (Take(Step::Lock, {})) lock.Lock(kind);
}

std::string FaultyFileSystem::ReadOwn(const std::filesystem::path& path, std::size_t maxBytes) {
    if (failKind_ == Step::Read && ++reads_ == failAt_) {
        failed_ = true;
        faultStep_ = "Read " + path.string();
        throw FileError("Input/output error (injected)");
    }
    return HostFileSystem().ReadOwn(path, maxBytes);
}

}  // namespace tw::test
