#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace tw {

class CareerSet;

enum class MessageIcon { None, Information, Warning, Error, Question, Stop };
enum class MessageButtons { Ok, YesNo, YesNoCancel, OkCancel };
enum class Answer { Ok, Yes, No, Cancel };

// One message box or question: a fixed text of the system's own, a short title and an icon.
struct Message {
    std::string text;
    std::string title;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    // The system's own reason behind a failure (a file's name and the platform's description),
    // for the person who wants to know more: the box's details, a second line on standard error.
    std::string detail = {};
    // The button that Enter presses; none for the first (Yes, or Ok).
    std::optional<Answer> defaultAnswer = {};
};

// What an open- or save-file dialog is given. `filter` uses the game platform's form
// "IFF files (*.IFF)|*.iff||".
struct FileChoice {
    std::string filter;
    std::string initialName;
    std::string defaultExtension;  // without the dot; empty for none
    bool mustExist = false;        // open: the file must exist
    bool promptOverwrite = false;  // save: ask before replacing a file
    bool existingFoldersOnly = false;
    bool hideReadOnly = true;      // no read-only check box
};

// The one way in which core code talks to the person. The Qt editor implements it with
// dialogs, the command-line tool with standard error, and the tests with a script.
// Calls may come from the load's worker thread; an implementation blocks until answered.
class UserPort {
public:
    virtual ~UserPort() = default;

    // Shows a message box or asks a question; returns the button chosen (Ok for a plain box).
    virtual Answer Ask(const Message& message) = 0;
    virtual std::optional<std::filesystem::path> ChooseOpenFile(const FileChoice& choice) = 0;
    virtual std::optional<std::filesystem::path> ChooseSaveFile(const FileChoice& choice) = 0;
    // The application's name: the base name of the program's executable, without extension.
    // It is the title of messages that name no title of their own.
    virtual std::string ApplicationName() const = 0;
    // Which existing career an import overwrites: an index into the career set, or none for
    // Cancel. `selected`, the career the person has selected, is the one offered first.
    virtual std::optional<std::uint32_t> ChooseCareerToReplace(const CareerSet& careers,
                                                               std::optional<std::uint32_t> selected) = 0;
    // A folder chosen by the person (to point the program at the game), or none for Cancel.
    virtual std::optional<std::filesystem::path> ChooseFolder(const std::string& title) = 0;
    // The status line of the loading window; the load's worker calls it.
    virtual void ShowStatus(const std::string& text) = 0;

    // Shorthand for a box with only an OK button.
    void Tell(const std::string& text, const std::string& title, MessageIcon icon, const std::string& detail = {}) {
        Ask(Message{text, title, icon, MessageButtons::Ok, detail});
    }
};

}  // namespace tw
