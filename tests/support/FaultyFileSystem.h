#pragma once

#include "util/FileSystem.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tw::test {

// Thrown at the moment a FaultyFileSystem "kills" the program. Not a std::exception, so that no
// handler of the program catches it by accident.
struct SimulatedKill {};

// The machine's file system with faults on demand, for proving that the game's files survive
// them. Every operation that changes the disk counts as one step (creating a file, each write,
// each flush, each move, link, removal and folder sync). A test can make one step fail as a full
// disk or a read-only folder would (FileError), or stop the program at one step: that step and
// every later one then do nothing at all, as after a kill, and SimulatedKill is thrown.
// Flushes and folder syncs are counted as steps but not passed on to the disk.
class FaultyFileSystem final : public FileSystem {
public:
    enum class Step { Create, Write, Flush, Replace, MoveNew, Link, Remove, SyncFolder, CreateFolder, RemoveFolder, Lock, Read, Any };

    // The `nth` (from 1) step of `kind` fails with FileError; 0 for never.
    void FailAt(Step kind, std::size_t nth) {
        failKind_ = kind;
        failAt_ = nth;
    }
    // Every move and removal of a name that holds `part` fails, as when another program holds
    // that file open without sharing it; empty for none.
    void FailOn(std::string part) { failOn_ = std::move(part); }
    // The program stops at the `nth` (from 1) step of any kind; 0 for never.
    void KillAt(std::size_t nth) { killAt_ = nth; }
    // Counting starts again (the faults asked for stay).
    void Restart();

    bool Killed() const { return killed_; }
    bool Failed() const { return failed_; }
    std::size_t Steps() const { return steps_; }
    // The steps taken, as "Replace .../Work.iff", for a failing test to show.
    const std::vector<std::string>& Log() const { return log_; }
    // The step that failed or killed, as logged.
    const std::string& FaultStep() const { return faultStep_; }

    std::unique_ptr<Stream> CreateNew(const std::filesystem::path& path, const std::filesystem::path* like) override;
    void Replace(const std::filesystem::path& from, const std::filesystem::path& to) override;
    void MoveNew(const std::filesystem::path& from, const std::filesystem::path& to) override;
    bool Link(const std::filesystem::path& existing, const std::filesystem::path& link) override;
    void Remove(const std::filesystem::path& path) override;
    void CreateFolder(const std::filesystem::path& path) override;
    void RemoveFolder(const std::filesystem::path& path) override;
    void SyncFolder(const std::filesystem::path& folder) override;
    bool Exists(const std::filesystem::path& path) override;
    void Lock(FileLock& lock, FileLock::Kind kind) override;
    // Reads change nothing and are not steps; FailAt(Step::Read, n) fails the nth all the same.
    std::string ReadOwn(const std::filesystem::path& path, std::size_t maxBytes) override;

    // Whether the step may go on: false once killed (the step then does nothing); throws at the
    // step that is to fail or to kill.
    bool Take(Step kind, const std::filesystem::path& path);

private:
    std::size_t steps_ = 0;
    std::size_t ofKind_[static_cast<int>(Step::Any)] = {};
    Step failKind_ = Step::Any;
    std::size_t failAt_ = 0;
    std::size_t killAt_ = 0;
    std::size_t reads_ = 0;
    bool killed_ = false;
    bool failed_ = false;
    std::vector<std::string> log_;
    std::string faultStep_;
    std::string failOn_;
};

}  // namespace tw::test
