#pragma once

#include <array>
#include <cstdint>
#include <string>

#include <QString>

class QAction;
class QMenu;
class QMenuBar;

namespace tw {

class MainWindow;

// The main window's menu bar: File, Edit, Career, Language and Help, their keys and mnemonics,
// each item running the window's command of that name.
class MainMenus {
public:
    static constexpr std::uint16_t LanguageCount = 15;

    MainMenus(QMenuBar& bar, MainWindow& window);

    // The item `item` ("&Save") of the menu `menu` ("&File"); null when there is none.
    QAction* Find(const QString& menu, const QString& item) const;
    QAction* Language(std::uint16_t slot) const { return slot < LanguageCount ? languages_[slot] : nullptr; }
    QAction* Undo() const { return undo_; }
    QMenu* RecentGames() const { return recentGames_; }
    QAction* Redo() const { return redo_; }

    // The language item of `slot` checked.
    void CheckLanguage(std::uint16_t slot);
    // What may be done now. The commands that change the game's files wait for a game that can
    // be written, and say why in their status tips; Undo and Redo name what they would do
    // ("&Undo Career Name"), and are off with nothing to do.
    struct State {
        bool readOnly = false;
        QString readOnlyWhy;
        bool canUndo = false;
        std::string undoName;
        bool canRedo = false;
        std::string redoName;
    };
    void Show(const State& state);

private:
    QMenuBar& bar_;
    QAction* save_ = nullptr;
    QAction* restoreOriginals_ = nullptr;
    QAction* import_ = nullptr;
    QAction* importTranslations_ = nullptr;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    QMenu* recentGames_ = nullptr;
    std::array<QAction*, LanguageCount> languages_{};
};

}  // namespace tw
