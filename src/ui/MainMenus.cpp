#include "ui/MainMenus.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include "model/Languages.h"
#include "ui/MainWindow.h"
#include "util/HostPath.h"

namespace tw {
namespace {

// Where each language item has its mnemonic: distinct letters within the Language menu, which
// also holds "Set &All".
constexpr std::array<int, MainMenus::LanguageCount> LanguageMnemonics = {0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 11, 1, 2};

}  // namespace

MainMenus::MainMenus(QMenuBar& bar, MainWindow& window) : bar_(bar) {
    QMenu* file = bar.addMenu(QStringLiteral("&File"));
    QAction* open = file->addAction(QStringLiteral("&Open Game Folder..."), &window, &MainWindow::OpenGameFolder);
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    recentGames_ = file->addMenu(QStringLiteral("Recent &Games"));
    // Filled as it opens: the list is in a file that another editor may have changed meanwhile.
    QObject::connect(recentGames_, &QMenu::aboutToShow, &window, [this, &window] {
        recentGames_->clear();
        const std::vector<std::string> folders = window.RecentGameFolders();
        for (std::size_t i = 0; i < folders.size(); ++i) {
            const QString folder = QString::fromStdString(PathText(PathFromBytes(folders[i])));
            QAction* item = recentGames_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(folder));
            QObject::connect(item, &QAction::triggered, &window,
                             [&window, bytes = folders[i]] { window.OpenRecentGame(bytes); });
        }
        if (folders.empty()) recentGames_->addAction(QStringLiteral("(none)"))->setEnabled(false);
    });
    file->addSeparator();
    file->addAction(QStringLiteral("&Reload"), &window, &MainWindow::Reload);
    save_ = file->addAction(QStringLiteral("&Save"), &window, &MainWindow::Save);
    save_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    restoreOriginals_ = file->addAction(QStringLiteral("Restore Original &Files..."), &window, &MainWindow::RestoreOriginals);
    // Offered only while there is something to give back; the store is looked at each time.
    QObject::connect(file, &QMenu::aboutToShow, &window,
                     [this, &window] { restoreOriginals_->setEnabled(window.OffersOriginals()); });
    file->addAction(QStringLiteral("Review &Changes..."), &window, &MainWindow::ReviewChanges);
    file->addAction(QStringLiteral("Chec&k Game..."), &window, &MainWindow::CheckGame);
    QAction* exit = file->addAction(QStringLiteral("E&xit"), &window, &MainWindow::Exit);
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* edit = bar.addMenu(QStringLiteral("&Edit"));
    undo_ = edit->addAction(QStringLiteral("&Undo"), &window, &MainWindow::Undo);
    undo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redo_ = edit->addAction(QStringLiteral("&Redo"), &window, &MainWindow::Redo);
    redo_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    undo_->setEnabled(false);
    redo_->setEnabled(false);

    QMenu* career = bar.addMenu(QStringLiteral("&Career"));
    import_ = career->addAction(QStringLiteral("&Import"), &window, &MainWindow::Import);
    importTranslations_ =
        career->addAction(QStringLiteral("Import Tr&anslations..."), &window, &MainWindow::ImportTranslations);
    career->addAction(QStringLiteral("&Export"), &window, &MainWindow::Export);
    career->addAction(QStringLiteral("Export T&ranslations..."), &window, &MainWindow::ExportTranslations);
    career->addAction(QStringLiteral("&Backup"), &window, &MainWindow::Backup);
    career->addSeparator();
    career->addAction(QStringLiteral("&Level Table..."), &window, &MainWindow::OpenLevelTable);
    career->addAction(QStringLiteral("&Translations..."), &window, &MainWindow::OpenTranslations);

    QMenu* language = bar.addMenu(QStringLiteral("&Language"));
    // The fifteen language items form one radio group; none is checked until the first
    // language is chosen after the load.
    auto* group = new QActionGroup(&window);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (std::uint16_t slot = 0; slot < LanguageCount; ++slot) {
        QString text = QString::fromLatin1(LanguageNames[slot]);
        text.insert(LanguageMnemonics[slot], QLatin1Char('&'));
        QAction* action = language->addAction(text);
        action->setCheckable(true);
        group->addAction(action);
        QObject::connect(action, &QAction::triggered, &window, [&window, slot] { window.SelectLanguage(slot); });
        languages_[slot] = action;
    }
    language->addSeparator();
    language->addAction(QStringLiteral("Set &All"), &window, &MainWindow::SetAllLanguages);

    QMenu* help = bar.addMenu(QStringLiteral("&Help"));
    help->addAction(QStringLiteral("&About"), &window, &MainWindow::ShowAbout);
}

QAction* MainMenus::Find(const QString& menu, const QString& item) const {
    for (QAction* top : bar_.actions()) {
        if (top->text() != menu || !top->menu()) continue;
        for (QAction* action : top->menu()->actions())
            if (action->text() == item) return action;
    }
    return nullptr;
}

void MainMenus::CheckLanguage(std::uint16_t slot) {
    if (QAction* action = Language(slot)) action->setChecked(true);
}

void MainMenus::Show(const State& state) {
    for (QAction* action : {save_, import_, importTranslations_, restoreOriginals_}) {
        action->setStatusTip(state.readOnly ? state.readOnlyWhy : QString());
        if (state.readOnly) action->setEnabled(false);
    }
    if (!state.readOnly) {
        save_->setEnabled(true);
        import_->setEnabled(true);
        importTranslations_->setEnabled(true);
    }
    const auto name = [](const char* command, const std::string& what) {
        return what.empty() ? QString::fromLatin1(command)
                            : QStringLiteral("%1 %2").arg(QString::fromLatin1(command), QString::fromStdString(what));
    };
    undo_->setText(name("&Undo", state.undoName));
    undo_->setEnabled(state.canUndo);
    redo_->setText(name("&Redo", state.redoName));
    redo_->setEnabled(state.canRedo);
}

}  // namespace tw
