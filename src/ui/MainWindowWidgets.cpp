#include "ui/MainWindowWidgets.h"

#include <algorithm>
#include <functional>
#include <utility>

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QPixmap>
#include <QPushButton>
#include <QResizeEvent>

#include "ui/DialogUnits.h"
#include "ui/EditorImages.h"
#include "ui/FullRowListView.h"

namespace tw {
namespace {

// The client area, which places its controls again whenever it changes size.
class ClientArea : public QWidget {
public:
    ClientArea(QWidget* parent, std::function<void(QSize)> place) : QWidget(parent), place_(std::move(place)) {}

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        place_(event->size());
    }

private:
    std::function<void(QSize)> place_;
};

// What part of the room beyond the first size the lists take across; the rest goes to the
// frames and their fields. Down, the career's half and the job's half share it.
constexpr double ListShare = 1.0 / 3.0;
constexpr double CareerShare = 0.5;

}  // namespace

MainWindowWidgets::MainWindowWidgets(QMainWindow& window, TextFields::LeftOutTeller tellLeftOut) {
    auto* client = new ClientArea(&window, [this](QSize size) { Place(size); });
    client->setFont(DialogUnits::DialogFont());
    const DialogUnits units(client->font());
    firstSize_ = units.Size(404, 303);
    client->setMinimumSize(firstSize_);
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

    // The controls in tab order. Their last columns take what room the list has.
    careerList = new FullRowListView(client);
    careerList->setGeometry(units.Rect(7, 7, 128, 158));
    careerList->AddColumn(QStringLiteral("ID"), 35);
    careerList->AddColumn(QStringLiteral("Internal career name"), 125);
    careerList->header()->setStretchLastSection(true);

    jobList = new FullRowListView(client);
    jobList->setGeometry(units.Rect(7, 177, 128, 119));
    jobList->AddColumn(QStringLiteral("ID"), 35);
    jobList->AddColumn(QStringLiteral("Internal job name"), 150);
    jobList->header()->setStretchLastSection(true);

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
    modifyIcons = makeButton("Modify icon&s", 240, 133);
    fields->Make(EditorView::MaleJobName);
    fields->Make(EditorView::FemaleJobName);
    fields->Make(EditorView::JobDescription);
    jobDetails = makeButton("&Job details", 258, 271);
    chanceCards = makeButton("Chance Ca&rds", 319, 271);

    iconPreview->setPixmap(QPixmap::fromImage(popupPlaceholder()));

    // Where each control goes as the area grows: which share of the room across moves its left
    // and right edges, and which share of the room down its top and bottom edges.
    const double L = ListShare;
    const double T = CareerShare;
    anchors_ = {
        {careerList, {0, L, 0, T}},
        {jobList, {0, L, T, 1}},
        {careerGroup, {L, 1, 0, T}},
        {jobGroup, {L, 1, T, 1}},
        {fields->Widget(EditorView::InternalCareerName), {L, 1, 0, 0}},
        {fields->Widget(EditorView::CareerName), {L, 1, 0, 0}},
        {fields->Widget(EditorView::MaleOffer), {L, 1, 0, T / 2}},
        {fields->Widget(EditorView::FemaleOffer), {L, 1, T / 2, T}},
        {iconPreview, {L, L, T, T}},
        {modifyIcons, {L, L, T, T}},
        {fields->Widget(EditorView::MaleJobName), {L, 1, T, T}},
        {fields->Widget(EditorView::FemaleJobName), {L, 1, T, T}},
        {fields->Widget(EditorView::JobDescription), {L, 1, T, 1}},
        {jobDetails, {L, L, 1, 1}},
        {chanceCards, {L, L, 1, 1}},
    };
    // Each field's label keeps beside the field's top.
    for (QLabel* label : client->findChildren<QLabel*>()) {
        for (const Anchored& anchored : std::vector<Anchored>(anchors_))
            if (label->buddy() == anchored.widget)
                anchors_.push_back({label, {L, L, anchored.anchor.top, anchored.anchor.top}});
    }
    for (Anchored& anchored : anchors_) anchored.first = anchored.widget->geometry();
}

void MainWindowWidgets::Place(QSize size) {
    const int across = std::max(0, size.width() - firstSize_.width());
    const int down = std::max(0, size.height() - firstSize_.height());
    for (const Anchored& anchored : anchors_) {
        const auto at = [](double share, int room) { return static_cast<int>(share * room + 0.5); };
        const Anchor& a = anchored.anchor;
        const QRect& first = anchored.first;
        anchored.widget->setGeometry(QRect(QPoint(first.left() + at(a.left, across), first.top() + at(a.top, down)),
                                           QPoint(first.right() + at(a.right, across), first.bottom() + at(a.bottom, down))));
    }
}

}  // namespace tw
