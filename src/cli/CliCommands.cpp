#include "cli/CliCommands.h"

#include "cli/CareerChoice.h"
#include "cli/CheckReport.h"
#include "cli/CliUsage.h"
#include "cli/GameFilesReport.h"
#include "cli/ModelDump.h"
#include "check/GameCheck.h"
#include "check/SaveDifferences.h"
#include "edit/EditSession.h"
#include "edit/GameSave.h"
#include "edit/OriginalsRestore.h"
#include "edit/TranslationCommands.h"
#include "exchange/CareerExport.h"
#include "exchange/CareerImport.h"
#include "exchange/ExchangeFormat.h"
#include "gamefiles/GameContext.h"
#include "gamefiles/GameLoad.h"
#include "locate/GameLocation.h"
#include "sample/SampleInstallation.h"
#include "util/ConsolePort.h"
#include "util/HostPath.h"
#include "util/JsonReader.h"
#include "util/ReadWholeFile.h"

#include <algorithm>
#include <exception>
#include <new>
#include <optional>

namespace tw::cli {
namespace {

// Far above the dump of any installation, and small enough to be read whole.
constexpr std::size_t MaxDocumentBytes = 64u << 20;

// Keeps a load's messages to itself: `locate` reports what the load found, not its boxes.
class QuietPort final : public UserPort {
public:
    Answer Ask(const Message& message) override {
        if (firstError.empty() && message.title == "Error") firstError = message.text;
        return message.buttons == MessageButtons::Ok ? Answer::Ok : Answer::No;
    }
    std::optional<std::filesystem::path> ChooseOpenFile(const FileChoice&) override { return std::nullopt; }
    std::optional<std::filesystem::path> ChooseSaveFile(const FileChoice&) override { return std::nullopt; }
    std::string ApplicationName() const override { return "trackwright-cli"; }
    std::optional<std::uint32_t> ChooseCareerToReplace(const CareerSet&, std::optional<std::uint32_t>) override {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> ChooseFolder(const std::string&) override { return std::nullopt; }
    void ShowStatus(const std::string&) override {}

    std::string firstError;
};

class Cli {
public:
    Cli(std::string applicationName, std::FILE* out, std::FILE* err, FileSystem* files)
        : out_(out), err_(err), port_(std::move(applicationName), err) {
        context_.installationOptions.files = files;
    }

    int Run(std::vector<std::string> args) {
        std::string gameOption;
        if (!args.empty() && args[0] == "--game") {
            // An empty folder would quietly mean "not given" and open some other installation.
            if (args.size() < 2 || args[1].empty()) return UsageError("--game needs a folder");
            gameOption = args[1];
            args.erase(args.begin(), args.begin() + 2);
        }
        if (args.empty()) return UsageError("no command given");
        const std::string command = args[0];
        if (command == "--help" || command == "-h" || command == "help") return Help(args);
        std::vector<std::string> rest(args.begin() + 1, args.end());
        // The commands that save may be told to save what a save would lose all the same.
        if (SavesTheGame(command) || (!rest.empty() && SavesTheGame(command + " " + rest[0]))) {
            const auto accept = std::find(rest.begin(), rest.end(), "--accept-loss");
            if (accept != rest.end()) {
                acceptLoss_ = true;
                rest.erase(accept);
            }
        }
        gameOption_ = gameOption;
        context_.installationOptions.holder = "trackwright-cli " + command;

        if (command == "sample") return rest.size() == 1 ? Sample(rest[0]) : UsageError("sample takes DIR");
        if (command == "locate") return rest.empty() ? Locate() : UsageError("locate takes no arguments");
        if (command == "dump") {
            if (rest.size() > 1 || (rest.size() == 1 && rest[0] != "--utf8")) return UsageError("dump takes only --utf8");
            return Dump(rest.size() == 1);
        }
        if (command == "check") {
            if (rest.size() > 1 || (rest.size() == 1 && rest[0] != "--json")) return UsageError("check takes only --json");
            return Check(rest.size() == 1);
        }
        if (command == "resave") return rest.empty() ? Resave() : UsageError("resave takes only --accept-loss");
        if (command == "export") {
            if (rest.size() != 2 || rest[0].empty()) return UsageError("export takes CAREER FILE");
            return Export(rest[0], rest[1]);
        }
        if (command == "backup") return rest.size() == 1 ? Backup(rest[0]) : UsageError("backup takes FILE");
        if (command == "import") {
            if (rest.size() != 2 || rest[1].empty()) return UsageError("import takes FILE CAREER");
            return Import(rest[0], rest[1]);
        }
        if (command == "restore") return rest.size() == 1 ? Restore(rest[0]) : UsageError("restore takes FILE");
        if (command == "apply") {
            const bool utf8 = rest.size() == 2 && rest[0] == "--utf8";
            if (rest.size() != (utf8 ? 2u : 1u) || rest.back() == "--utf8") return UsageError("apply takes [--utf8] FILE");
            return Apply(rest.back(), utf8);
        }
        if (command == "texts") return Texts(std::move(rest));
        if (command == "originals") return rest.empty() ? Originals() : UsageError("originals takes no arguments");
        if (command == "restore-originals") {
            if (rest.size() > 1 || (rest.size() == 1 && rest[0] != "--force"))
                return UsageError("restore-originals takes only --force");
            return RestoreOriginals(rest.size() == 1);
        }
        return UsageError("unknown command '" + command + "'");
    }

private:
    int UsageError(const std::string& why) {
        std::fprintf(err_, "trackwright-cli: %s\n%s", why.c_str(), Usage().c_str());
        return ExitUsage;
    }

    // `--help`, `-h` and `help` alone print the usage; `help COMMAND` that of the command.
    int Help(const std::vector<std::string>& args) {
        if (args[0] != "help" || args.size() == 1) {
            if (args.size() > 1) return UsageError(args[0] + " takes no arguments");
            std::fputs(Usage().c_str(), out_);
            return ExitSuccess;
        }
        if (args.size() > 2) return UsageError("help takes one COMMAND");
        const std::optional<std::string> usage = CommandUsage(args[1]);
        if (!usage) return UsageError("unknown command '" + args[1] + "'");
        std::fputs(usage->c_str(), out_);
        return ExitSuccess;
    }

    void Fail(const std::string& text) { port_.Tell(text, "Error", MessageIcon::Error); }

    LocateResult Locate(bool quiet) {
        LocateOptions options;
        options.gameFolder = gameOption_;
        LocateResult found = LocateGame(options);
        if (!quiet && found.location.gameFolder.empty())
            Fail("The game was not found. Name its folder with --game DIR or with the SIMS_DATA environment variable "
                 "(\"trackwright-cli locate\" lists where it looked).");
        return found;
    }

    // Finds and loads the game as the editor does at start-up; false after the messages. A
    // command that changes the game takes it first, and fails when another program has it or
    // when the files it would write cannot be written, before anything is changed.
    bool Load(Installation::Intent intent = Installation::Intent::Read) {
        const LocateResult found = Locate(false);
        if (found.location.gameFolder.empty()) return false;
        session_.UseLocation(found.location);
        if (intent == Installation::Intent::Write) {
            if (Status taken = context_.TakeInstallation(intent); !taken) {
                Fail(taken.Reason());
                return false;
            }
        }
        if (session_.Load([this](GameContext& c) { return RunLoad(c, port_); }) != LoadRequest::Loaded) return false;
        if (intent == Installation::Intent::Write) {
            if (Status writable = context_.CheckWritable(); !writable) {
                Fail(CannotChangeText(context_.gameFolder, writable));
                return false;
            }
            if (!acceptLoss_ && LossRefused()) return false;
        }
        return true;
    }

    // What a save of the game as loaded would lose, before any edit: such a save is refused, with
    // the losses named, unless --accept-loss says otherwise.
    bool LossRefused() {
        std::vector<Finding> losses = SaveDifferences(context_);
        std::erase_if(losses, [](const Finding& f) { return f.kind != Finding::Kind::Loss; });
        if (losses.empty()) return false;
        port_.Tell("A save would lose parts of the game's files that Trackwright cannot keep; nothing was written. "
                   "\"trackwright-cli check\" lists them; --accept-loss saves all the same.",
                   "Error", MessageIcon::Error, ListFindings(losses));
        return true;
    }

    // Lists what a save would change, the damaged parts and the careers the game would show
    // wrongly; reads only.
    int Check(bool json) {
        std::vector<Finding> findings;
        if (Load()) {
            findings = CheckGame(context_);
        } else {
            if (context_.gameFolder.empty()) return ExitFailure;
            // A game that is found but does not load is damaged: listed like any other damage,
            // with the load's reason, which a quiet load gives again.
            EditSession probe;
            probe.UseLocation(Locate(true).location);
            probe.Context().installationOptions = context_.installationOptions;
            QuietPort quiet;
            probe.Load([&quiet](GameContext& c) { return RunLoad(c, quiet); });
            findings = DamagedFindings(probe.Context().Problems());
            Finding unloaded;
            unloaded.kind = Finding::Kind::Damaged;
            unloaded.file = probe.Context().careersFile;
            unloaded.message = "the game does not load";
            if (!quiet.firstError.empty()) unloaded.message += ": " + ConsolePort::OneLine(quiet.firstError);
            findings.push_back(std::move(unloaded));
        }
        std::fputs((json ? CheckJson(findings) : CheckText(findings)).c_str(), out_);
        return std::any_of(findings.begin(), findings.end(), CountsAgainst) ? ExitFailure : ExitSuccess;
    }

    // File > Save: write every game file, reload, "Operation complete!".
    int Save() {
        const SaveOutcome outcome = session_.Save(port_, [this] {
            return session_.Reload([this](GameContext& c) { return RunLoad(c, port_); });
        });
        return outcome.saved && outcome.reloadResult == LoadRequest::Loaded ? ExitSuccess : ExitFailure;
    }

    // The loaded career that `text` names; none after the message.
    std::optional<std::uint32_t> Career(const std::string& text) {
        const CareerChoice choice = ChooseCareer(context_.careerSet, text);
        if (!choice.index) Fail(choice.problem);
        return choice.index;
    }

    int Sample(const std::string& dir) {
        if (dir.empty()) return UsageError("sample takes DIR");
        if (const Status written = WriteSampleInstallation(PathFromBytes(dir)); !written) {
            Fail("Couldn't write the sample installation: " + written.Reason());
            return ExitFailure;
        }
        return ExitSuccess;
    }

    int Locate() {
        const LocateResult found = Locate(true);
        std::fputs(DescribeLocation(found).c_str(), out_);
        if (found.location.gameFolder.empty()) return ExitFailure;
        // What a load would find unreadable, from a load that only reads and shows nothing.
        EditSession probe;
        probe.UseLocation(found.location);
        probe.Context().installationOptions = context_.installationOptions;
        QuietPort quiet;
        if (probe.Load([&quiet](GameContext& c) { return RunLoad(c, quiet); }) == LoadRequest::Loaded)
            std::fputs(DescribeProblems(probe.Context().Problems()).c_str(), out_);
        else
            std::fprintf(out_, "problems: the game does not load: %s\n", ConsolePort::OneLine(quiet.firstError).c_str());
        return ExitSuccess;
    }

    int Dump(bool utf8) {
        if (!Load()) return ExitFailure;
        DumpInput input;
        input.gameFolder = context_.gameFolder;
        input.careersFile = context_.careersFile;
        input.chanceCardsDisabled = context_.chanceCardsDisabled != 0;
        input.careers = &context_.careerSet;
        input.icons = &context_.iconStrips;
        const std::vector<GameFileProblem> problems = context_.Problems();
        input.problems = &problems;
        input.utf8 = utf8;
        std::fputs(DumpJson(input).c_str(), out_);
        return ExitSuccess;
    }

    int Resave() { return Load(Installation::Intent::Write) ? Save() : ExitFailure; }

    int Export(const std::string& career, const std::string& file) {
        if (!Load()) return ExitFailure;
        const std::optional<std::uint32_t> index = Career(career);
        if (!index) return ExitFailure;
        return ExportCareerToFile(PathFromBytes(file), *index, context_.careerSet, context_.iconStrips, port_)
                   ? ExitSuccess
                   : ExitFailure;
    }

    int Backup(const std::string& file) {
        if (!Load()) return ExitFailure;
        return BackupToFile(PathFromBytes(file), context_.careerSet, context_.iconStrips, port_) ? ExitSuccess
                                                                                                  : ExitFailure;
    }

    int Import(const std::string& file, const std::string& career) {
        if (!Load(Installation::Intent::Write)) return ExitFailure;
        port_.career = Career(career);
        if (!port_.career) return ExitFailure;
        const ImportResult result =
            ImportExchangeFile(PathFromBytes(file), context_.careerSet, context_.iconStrips, port_, ExportTypeTrack);
        if (result.outcome == ImportResult::Outcome::WrongType)
            Fail("This file is a backup of all careers; use \"restore\" for it.");
        return result.Changed() ? Save() : ExitFailure;
    }

    int Restore(const std::string& file) {
        if (!Load(Installation::Intent::Write)) return ExitFailure;
        port_.questionAnswer = Answer::Yes;
        const ImportResult result =
            ImportExchangeFile(PathFromBytes(file), context_.careerSet, context_.iconStrips, port_, ExportTypeBackup);
        if (result.outcome == ImportResult::Outcome::WrongType)
            Fail("This file holds a single career track; use \"import\" for it.");
        return result.Changed() ? Save() : ExitFailure;
    }

    // The document is read before the game is taken, so that a malformed one touches nothing, and
    // checked against a read of the game first, which takes no file out of the archives: a
    // refused document leaves the game folder as it was.
    int Apply(const std::string& file, bool utf8) {
        const Expected<std::string> read = ReadWholeFile(PathFromBytes(file), MaxDocumentBytes);
        if (!read) {
            std::fprintf(err_, "trackwright-cli: %s: %s\n", file.c_str(), read.Reason().c_str());
            return ExitFailure;
        }
        const std::string& text = *read;
        const Expected<JsonValue> document = ParseJson(text);
        if (!document) {
            std::fprintf(err_, "trackwright-cli: %s: %s\n", file.c_str(), document.Reason().c_str());
            return ExitFailure;
        }
        const DocumentTexts texts = utf8 ? DocumentTexts::Utf8 : DocumentTexts::Bytes;
        if (!Load()) return ExitFailure;
        const DocumentReading reading =
            ReadDocument(context_.careerSet, context_.chanceCardsDisabled != 0, *document, texts);
        if (Refused(file, reading.problems)) return ExitFailure;
        // Bytes copied between languages are what the document says; the game shows them otherwise.
        for (const JsonProblem& warning : reading.warnings)
            std::fprintf(err_, "trackwright-cli: %s: warning: %s\n", warning.path.c_str(), warning.reason.c_str());
        // Checked once more as it is applied: another program may have changed the game in between.
        if (!Load(Installation::Intent::Write)) return ExitFailure;
        if (Refused(file, session_.ApplyDocument(*document, texts))) return ExitFailure;
        return Save();
    }

    // Prints each problem of the document `file` at its path; true when there was any.
    bool Refused(const std::string& file, const std::vector<JsonProblem>& problems) {
        for (const JsonProblem& problem : problems) {
            const std::string& place = problem.path.empty() ? file : problem.path;
            std::fprintf(err_, "trackwright-cli: %s: %s\n", place.c_str(), problem.reason.c_str());
        }
        return !problems.empty();
    }

    // texts export --language L FILE.po, texts import [--language L] FILE.po.
    int Texts(std::vector<std::string> rest) {
        const bool exporting = !rest.empty() && rest[0] == "export";
        if (rest.empty() || (!exporting && rest[0] != "import")) return UsageError("texts takes export or import");
        const std::string usage =
            exporting ? "texts export takes --language L FILE.po" : "texts import takes [--language L] FILE.po";
        rest.erase(rest.begin());
        std::optional<std::uint16_t> slot;
        if (rest.size() >= 2 && rest[0] == "--language") {
            slot = TranslationSlotNamed(rest[1]);
            if (!slot) return UsageError("--language takes a slot 0 to 15 or a language's name, not '" + rest[1] + "'");
            rest.erase(rest.begin(), rest.begin() + 2);
        }
        if (rest.size() != 1 || rest[0].empty() || rest[0] == "--language" || (exporting && !slot))
            return UsageError(usage);
        return exporting ? ExportTexts(*slot, rest[0]) : ImportTexts(slot, rest[0]);
    }

    int ExportTexts(std::uint16_t slot, const std::string& file) {
        if (!Load()) return ExitFailure;
        if (const Status written = WriteTranslationsFile(PathFromBytes(file), session_, slot); !written) {
            port_.Tell("Couldn't create this file!", "Error", MessageIcon::Error, written.Reason());
            return ExitFailure;
        }
        return ExitSuccess;
    }

    // As with apply, the file is read and checked against a read of the game before the game is
    // taken, so that a refused file leaves the game folder as it was.
    int ImportTexts(std::optional<std::uint16_t> slot, const std::string& file) {
        const Expected<PoCatalog> catalog = ReadTranslationsFile(PathFromBytes(file));
        if (!catalog) {
            std::fprintf(err_, "trackwright-cli: %s\n", catalog.Reason().c_str());
            return ExitFailure;
        }
        if (!Load()) return ExitFailure;
        const TranslationImportResult checked = session_.ImportTranslations(*catalog, slot);
        if (Refused(file, checked)) return ExitFailure;
        if (checked.textsChanged != 0) {
            if (!Load(Installation::Intent::Write)) return ExitFailure;
            if (Refused(file, session_.ImportTranslations(*catalog, slot))) return ExitFailure;
        }
        const std::size_t changed = checked.textsChanged;
        // Said once the texts are in the game's files, not before a save that might fail.
        const int saved = changed != 0 ? Save() : ExitSuccess;
        if (saved == ExitSuccess)
            std::fprintf(out_, "%s %s changed\n", std::to_string(changed).c_str(), changed == 1 ? "text" : "texts");
        return saved;
    }

    // Prints each refused entry of the PO file `file`; true when there was any.
    bool Refused(const std::string& file, const TranslationImportResult& result) {
        for (const std::string& refused : result.refused)
            std::fprintf(err_, "trackwright-cli: %s: %s\n", file.c_str(), refused.c_str());
        if (!result.refused.empty() && !result.slot)
            std::fputs("trackwright-cli: --language L names the language\n", err_);
        return !result.refused.empty();
    }

    // Finds the game and takes it as `intent` says, without loading it; false after the messages.
    bool Take(Installation::Intent intent) {
        const LocateResult found = Locate(false);
        if (found.location.gameFolder.empty()) return false;
        context_.gameFolder = found.location.gameFolder;
        if (Status taken = context_.TakeInstallation(intent); !taken) {
            Fail(taken.Reason());
            return false;
        }
        return true;
    }

    int Originals() {
        if (!Take(Installation::Intent::Read)) return ExitFailure;
        KeptOriginalsManifest manifest;
        if (Status read = context_.installation->Originals().Read(manifest); !read) {
            Fail("The kept original game files cannot be listed: " + read.Reason());
            return ExitFailure;
        }
        for (const KeptOriginal& file : manifest.files) {
            if (file.absent)
                std::fprintf(out_, "%s\tabsent\n", file.path.c_str());
            else
                std::fprintf(out_, "%s\t%llu\t%s\n", file.path.c_str(), static_cast<unsigned long long>(file.size),
                             file.sha256.c_str());
        }
        return ExitSuccess;
    }

    // Reloads nothing afterwards: the next load sees the files as they were at first.
    int RestoreOriginals(bool force) {
        if (!Take(Installation::Intent::Write)) return ExitFailure;
        switch (RestoreOriginalFiles(context_, port_, RestoreAsking::Command, force)) {
            case RestoreOutcome::Restored:
            case RestoreOutcome::NothingToDo:
                return ExitSuccess;
            case RestoreOutcome::Refused:
                std::fputs("trackwright-cli: restore-originals --force puts them back all the same\n", err_);
                return ExitFailure;
            default:
                return ExitFailure;
        }
    }

    std::FILE* out_;
    std::FILE* err_;
    ConsolePort port_;
    std::string gameOption_;
    bool acceptLoss_ = false;
    EditSession session_;
    GameContext& context_ = session_.Context();
};

}  // namespace

int RunCli(const std::vector<std::string>& args, const std::string& applicationName, std::FILE* out, std::FILE* err,
           FileSystem* files) {
    // The commands report what they know how to report; anything else that fails (a system call
    // no step expected to fail, memory a damaged file asked for) still ends in a message.
    try {
        return Cli(applicationName, out, err, files).Run(args);
    } catch (const std::bad_alloc&) {
        std::fprintf(err, "%s: not enough memory to finish; nothing more was changed.\n", applicationName.c_str());
    } catch (const std::exception& e) {
        std::fprintf(err, "%s: %s\n", applicationName.c_str(), e.what());
    }
    return ExitFailure;
}

}  // namespace tw::cli
