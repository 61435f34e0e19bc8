#include "store/GameChange.h"

#include "store/Installation.h"
#include "util/FileDigest.h"
#include "util/FileError.h"
#include "util/HashingStream.h"
#include "util/HostPath.h"
#include "util/OwnFolder.h"

#include <system_error>

namespace tw {
namespace {

namespace fs = std::filesystem;

bool NameTaken(const fs::path& path) {
    std::error_code ec;
    return fs::symlink_status(path, ec).type() != fs::file_type::not_found;
}

}  // namespace

GameChange::GameChange(Installation& installation)
    : installation_(installation), originals_(installation.Originals()), transaction_(installation.Begin()) {}

GameChange::~GameChange() = default;

std::size_t GameChange::Plan(std::size_t change, const fs::path& target, bool removes) {
    Planned planned;
    planned.target = target;
    planned.removes = removes;
    const fs::path relative = target.lexically_relative(installation_.GameFolder());
    const std::string text = relative.generic_string();
    if (!relative.empty() && !text.starts_with("..")) planned.relative = PathText(relative);
#ifdef _WIN32
    for (char& c : planned.relative)
        if (c == '\\') c = '/';
#endif
    planned_.push_back(std::move(planned));
    return change;
}

std::size_t GameChange::Replace(const fs::path& target) {
    return Plan(transaction_ ? transaction_->Replace(target) : planned_.size(), target, false);
}

std::size_t GameChange::Create(const fs::path& target) {
    return Plan(transaction_ ? transaction_->Create(target) : planned_.size(), target, false);
}

std::size_t GameChange::Remove(const fs::path& target) {
    return Plan(transaction_ ? transaction_->Remove(target) : planned_.size(), target, true);
}

Status GameChange::Prepare() {
    if (!transaction_) return Status::Failure("the game is open for reading only");
    if (originals_.Folder().empty())
        return Status::Failure("the original files cannot be kept: no home folder is set in the environment");
    // The store is the program's own: real folders of this user's, no link followed.
    const fs::path& base = installation_.OriginalsBase();
    if (Status own = MakeOwnFolders(base, originals_.Folder()); !own)
        return Status::Failure("the original files cannot be kept: " + own.Reason());
    if (Status read = originals_.Read(manifest_); !read) return read;
    if (Status recorded = RecordIdentity(installation_.Files(), originals_.Folder(), installation_.Identity(), installation_.GameFolder()); !recorded)
        return Status::Failure("the original files cannot be kept: " + recorded.Reason());
    manifest_.gameFolder = PathText(installation_.GameFolder());
    // A name in the store is replaced only when it is a plain file: what was planted there (a link
    // to elsewhere) is never written through.
    auto planStoreFile = [this](const fs::path& file, std::size_t& change) -> Status {
        std::error_code ec;
        const fs::file_type type = fs::symlink_status(file, ec).type();
        if (type == fs::file_type::not_found) {
            change = transaction_->Create(file);
            return {};
        }
        if (type != fs::file_type::regular)
            return Status::Failure("the original files cannot be kept: " + PathText(file) +
                                   " is not a plain file, which Trackwright does not write through");
        change = transaction_->Replace(file);
        return {};
    };

    // A file changed for the first time has its original kept, in the same transaction.
    for (std::size_t game = 0; game < planned_.size(); ++game) {
        const Planned& planned = planned_[game];
        if (planned.relative.empty() || manifest_.Find(planned.relative) != nullptr) continue;
        bool alreadyKept = false;
        for (const Keeping& keeping : keeping_) alreadyKept = alreadyKept || planned_[keeping.game].relative == planned.relative;
        if (alreadyKept) continue;
        Keeping keeping{game, 0, !NameTaken(planned.target)};
        if (!keeping.absent) {
            const fs::path copy = originals_.KeptCopy(planned.relative);
            if (Status own = MakeOwnFolders(base, copy.parent_path()); !own)
                return Status::Failure("the original files cannot be kept: " + own.Reason());
            // A copy without a record in the manifest is no kept original: it is taken anew.
            if (Status copyPlanned = planStoreFile(copy, keeping.change); !copyPlanned) return copyPlanned;
        }
        keeping_.push_back(keeping);
    }
    std::size_t manifest = 0;
    if (Status manifestPlanned = planStoreFile(originals_.Manifest(), manifest); !manifestPlanned) return manifestPlanned;
    manifestChange_ = manifest;
    return transaction_->Prepare();
}

Status GameChange::Write(std::size_t change, const std::function<Status(Stream&)>& write) {
    // The digest is finished at the commit: the hashing runs beside the flush and the next files.
    std::unique_ptr<BackgroundSha256> hashing;
    const Status status = transaction_->Write(change, [&](Stream& out) {
        HashingStream hashed(out);
        Status written = write(hashed);
        if (written) hashing = hashed.TakeHasher();
        return written;
    });
    if (!status) return status;
    Planned& planned = planned_.at(change);
    planned.hashing = std::move(hashing);
    if (planned.hashing) return {};
    try {
        planned.written = Sha256OfFile(transaction_->Temporary(change));
    } catch (const FileError& e) {
        return Status::Failure(PathText(transaction_->Temporary(change)) + ": " + e.what());
    }
    return {};
}

Status GameChange::WriteKeptCopies() {
    const std::string now = UtcTimestamp();
    for (const Keeping& keeping : keeping_) {
        const Planned& planned = planned_[keeping.game];
        KeptOriginal kept;
        kept.path = planned.relative;
        kept.keptAt = now;
        kept.absent = keeping.absent;
        if (!keeping.absent) {
            const Status copied = transaction_->Write(keeping.change, [&](Stream& out) {
                HashingStream hashing(out);
                CopyFileInto(planned.target, hashing);
                kept.size = hashing.Size();
                kept.sha256 = hashing.Digest().value_or("");
                return Status();
            });
            if (!copied) {
                failed_ = keeping.game;
                return Status::Failure("the original could not be kept: " + copied.Reason());
            }
        }
        manifest_.Add(std::move(kept));
    }
    return {};
}

Status GameChange::Commit() {
    if (!transaction_) return Status::Failure("the game is open for reading only");
    if (Status kept = WriteKeptCopies(); !kept) return kept;
    for (Planned& planned : planned_) {
        if (planned.hashing) planned.written = Sha256::ToHex(planned.hashing->Finish());
        planned.hashing.reset();
        if (KeptOriginal* record = planned.relative.empty() ? nullptr : manifest_.Find(planned.relative))
            record->lastWritten = planned.removes ? std::string() : planned.written;
    }
    const std::string manifest = EncodeKeptOriginals(manifest_);
    const Status written = transaction_->Write(*manifestChange_, [&](Stream& out) {
        out.Write(std::string_view(manifest));
        return Status();
    });
    if (!written) return Status::Failure("the record of the kept originals could not be written: " + written.Reason());
    return transaction_->Commit();
}

std::optional<std::size_t> GameChange::FailedChange() const {
    if (failed_) return failed_;
    const std::optional<std::size_t> failed = transaction_ ? transaction_->FailedChange() : std::nullopt;
    if (!failed) return std::nullopt;
    if (*failed < planned_.size()) return failed;
    for (const Keeping& keeping : keeping_)
        if (!keeping.absent && keeping.change == *failed) return keeping.game;
    return std::nullopt;
}

}  // namespace tw
