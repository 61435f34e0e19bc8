#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "icons/Bitmap.h"
#include "model/CardItem.h"
#include "model/CardTexts.h"
#include "model/JobLevel.h"
#include "model/JobLevelRules.h"

class QWidget;

namespace tw {

class EditSession;
class UserPort;

// The dialogs the main window opens, replaceable so that the window can be driven without them.
// Each returns nothing for Cancel.
struct MainWindowDialogs {
    // What confirms a chance card: its items and its text in the dialog's language go into the
    // session, which settles the card's text row.
    using CardConfirm = std::function<CardTextPlacement(const std::vector<CardItem>& items, const std::string& text)>;

    // A career's two icons as the Modify icons dialog hands them back.
    struct Icons {
        Bitmap popup;
        Bitmap button;
    };

    std::function<std::optional<JobLevel>(QWidget* parent, const JobLevel& job, const Requirements& below)> jobDetails;
    // The chance card dialog; it confirms the card through `confirm` on OK.
    std::function<void(QWidget* parent, std::uint16_t textRow, const std::vector<CardItem>& items,
                       std::uint16_t languageSlot, const CardConfirm& confirm)>
        chanceCard;
    // The Modify icons dialog for the icons with number `iconNumber`. Without one the button
    // does nothing.
    std::function<std::optional<Icons>(QWidget* parent, std::uint16_t iconNumber)> modifyIcons;
    std::function<void(QWidget* parent)> about;

    // The real dialogs, on the session's data, talking through `port`.
    static MainWindowDialogs Default(EditSession& session, UserPort& port);
};

}  // namespace tw
