#include "cli/CliUsage.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace tw::cli {
namespace {

struct CommandHelp {
    std::string_view name;
    std::string_view synopsis;  // after the command's name
    std::string_view summary;   // one line of the overall usage
    std::string_view details;   // what `help COMMAND` adds
};

constexpr std::string_view CareerForms =
    "CAREER is #ID (the career's resource id, as the editor shows it), its index (from 0, in\n"
    "ascending id) or its internal name, byte for byte as \"dump\" prints it. A name that several\n"
    "careers share is refused.\n";

constexpr std::string_view AcceptLoss =
    "A save that would lose part of the game's files (what \"check\" lists as loss) is refused unless\n"
    "--accept-loss is given (anywhere after the command).\n";

// The commands that save, which --accept-loss concerns.
constexpr std::array<std::string_view, 5> SavingCommands = {"resave", "import", "restore", "apply", "texts import"};

constexpr std::string_view LanguageForms =
    "L is a language slot, 0 to 15, or a language's name as the editor's Language menu shows it, in\n"
    "any case (\"German\").\n";

constexpr CommandHelp Commands[] = {
    {"locate", "", "where the game is and which files a load would use",
     "Lists every place it looked for the game, the files a load would use (a file that only an\n"
     "archive holds named with its archive) and the parts of them that a load cannot read.\n"},
    {"dump", " [--utf8]", "load the game and print it as JSON",
     "Texts are byte strings, each byte written as the character with the same number; with --utf8\n"
     "each text is decoded from its language's code page instead.\n"},
    {"check", " [--json]", "list what a save would change, damage, and careers shown wrongly",
     "Writes nothing. Lists what a save with no edit would change (form: the same information\n"
     "written another way; loss: information dropped or altered), the parts the load could not read\n"
     "(damaged), and the careers the game would show wrongly (rule, each a problem or a note).\n"
     "Exit status 0 when nothing would be lost, nothing is damaged and no problem is found; forms\n"
     "and notes do not count. --json prints {\"findings\": [...]}.\n"},
    {"resave", "", "load the game and save every game file unchanged", ""},
    {"export", " CAREER FILE", "export a career as a career track file", CareerForms},
    {"backup", " FILE", "back up all careers into FILE", ""},
    {"import", " FILE CAREER", "import a career track over a career, then save", CareerForms},
    {"restore", " FILE", "restore all careers from a backup, then save", ""},
    {"sample", " DIR", "write a sample installation into DIR",
     "DIR must be missing or empty.\n"},
    {"apply", " [--utf8] FILE", "make the game what a dump in FILE says, then save",
     "FILE is a document of the shape \"dump\" prints, \"apply --utf8\" for one printed by \"dump --utf8\".\n"
     "What differs from the game is checked as the editor's dialogs check it; with any problem\n"
     "nothing is written. Without --utf8, a changed text that holds another language's bytes which\n"
     "its own code page reads as other characters is warned about.\n"},
    {"texts export", " --language L FILE.po", "write the texts of language L as a PO file for translators",
     "Each text of each career (and chance card) is one entry: msgctxt \"Career #ID: label\", msgid the\n"
     "USEnglish text, msgstr the text of language L. Line breaks are \\n.\n"},
    {"texts import", " [--language L] FILE.po", "take a PO file's translations into the game, then save",
     "Without --language the file's X-Trackwright-Slot or Language header names the language. Fuzzy\n"
     "entries and empty msgstrs leave their texts as they are. An entry that names no text of the\n"
     "game, whose msgid is no longer the USEnglish text, or whose msgstr the language's code page\n"
     "cannot hold refuses the whole file: each is named and nothing is written.\n"},
    {"originals", "", "list the original game files kept for this game", ""},
    {"restore-originals", " [--force]", "put the kept original game files back",
     "A game file changed since Trackwright wrote it is put back only with --force.\n"},
    {"help", " [COMMAND]", "print this usage, or that of COMMAND", ""},
};

constexpr std::string_view Invocation = "usage: trackwright-cli [--game DIR] ";
constexpr std::size_t SummaryColumn = 25;

}  // namespace

std::string Usage() {
    std::string usage = std::string(Invocation) + "COMMAND [ARGS...]\n"
                        "       trackwright-cli --help | -h | help [COMMAND]\n"
                        "commands:\n";
    for (const CommandHelp& command : Commands) {
        std::string line = "  " + std::string(command.name) + std::string(command.synopsis);
        // A synopsis too long for its column keeps the summary on a line of its own.
        line += line.size() < SummaryColumn ? std::string(SummaryColumn - line.size(), ' ')
                                            : "\n" + std::string(SummaryColumn, ' ');
        usage += line + std::string(command.summary) + "\n";
    }
    usage += "\n--game DIR names the game folder; without it, the game is found as the editor finds it.\n";
    usage += CareerForms;
    usage += LanguageForms;
    usage += "resave, import, restore, apply and texts import refuse a save that would lose part of the game's files\n"
             "(see check) unless given --accept-loss.\n";
    return usage;
}

bool SavesTheGame(std::string_view command) {
    return std::find(SavingCommands.begin(), SavingCommands.end(), command) != SavingCommands.end();
}

std::optional<std::string> CommandUsage(const std::string& command) {
    // A command of several forms ("texts export", "texts import") gives the usage of each.
    std::optional<std::string> usage;
    bool languages = false;
    for (const CommandHelp& help : Commands) {
        if (help.name != command && help.name.substr(0, help.name.find(' ')) != command) continue;
        std::string summary(help.summary);
        summary.front() = static_cast<char>(std::toupper(static_cast<unsigned char>(summary.front())));
        const bool saves = SavesTheGame(help.name);
        usage = usage.value_or("") + std::string(Invocation) + std::string(help.name) + std::string(help.synopsis) +
                "\n" + summary + ".\n" + std::string(help.details) + (saves ? std::string(AcceptLoss) : std::string());
        languages = languages || help.name.starts_with("texts ");
    }
    if (usage && languages) *usage += LanguageForms;
    return usage;
}

}  // namespace tw::cli
