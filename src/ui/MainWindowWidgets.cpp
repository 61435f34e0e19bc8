#include "ui/MainWindowWidgets.h"

#include <utility>

#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QPixmap>
#include <QPushButton>

#include "ui/DialogUnits.h"
#include "ui/EditorImages.h"
#include "ui/FullRowListView.h"

namespace tw {

MainWindowWidgets::MainWindowWidgets(QMainWindow& window, TextFields::LeftOutTeller tellLeftOut) {
    auto* client = new QWidget(&window);
    client->setFont(DialogUnits::DialogFont());
    const DialogUnits units(client->font());
    client->setFixedSize(units.Size(404, 303));
    window.setCentralWidget(client);

    // The frames first, so that the controls inside them are drawn over them.
    careerGroup = new QGroupBox(QStringLiteral("Career information"), client);
    careerGroup->setGeometry(units.Rect(148, 7, 249, 158));
    jobGroup = new QGroupBox(QStringLiteral("Job information"), client);
    jobGroup->setGeometry(units.Rect(148, 174, 249, 122));

    fields = std::make_unique<TextFields>(client, units, std::move(tellLeftOut));

    iconPreview = new QLabel(client);
    iconPreview->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    iconPreview->setAlignment(Qt::AlignCenter);
    iconPreview->setGeometry(units.Rect(157, 114, 58, 41));

    // The controls in tab order.
    careerList = new FullRowListView(client);
    careerList->setGeometry(units.Rect(7, 7, 128, 158));
    careerList->AddColumn(QStringLiteral("ID"), 35);
    careerList->AddColumn(QStringLiteral("Internal career name"), 125);

    jobList = new FullRowListView(client);
    jobList->setGeometry(units.Rect(7, 177, 128, 119));
    jobList->AddColumn(QStringLiteral("ID"), 35);
    jobList->AddColumn(QStringLiteral("Internal job name"), 150);

    const auto makeButton = [&](const char* text, int x, int y) {
        auto* button = new QPushButton(QString::fromLatin1(text), client);
        button->setAutoDefault(false);
        button->setGeometry(units.Rect(x, y, 50, 14));
        return button;
    };

    fields->Make(EditorView::InternalCareerName);
    fields->Make(EditorView::CareerName);
    fields->Make(EditorView::MaleOffer);
    fields->Make(EditorView::FemaleOffer);
    modifyIcons = makeButton("Modify icons", 240, 133);
    fields->Make(EditorView::MaleJobName);
    fields->Make(EditorView::FemaleJobName);
    fields->Make(EditorView::JobDescription);
    jobDetails = makeButton("&Job details", 258, 271);
    chanceCards = makeButton("&Chance Cards", 319, 271);

    iconPreview->setPixmap(QPixmap::fromImage(popupPlaceholder()));
}

}  // namespace tw
