#include "sidebartours.h"

#include "gui/dialogs/tourdialog.h"
#include "model/layout.h"
#include "stores/layouts.h"
#include "stores/tours.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace OrvantaClient::GUI {

namespace Internal {

class SideBarToursPrivate
{
public:
    QVBoxLayout* rows = nullptr;
    QLabel* empty = nullptr;
    QString running;

    // The stored layouts by name, to choose from.
    static QList<TourDialog::LayoutChoice> layoutChoices()
    {
        QList<TourDialog::LayoutChoice> choices;
        for (const API::LayoutPtr& layout : App::Layouts::instance()->items()) {
            if (layout->exists())
                choices << TourDialog::LayoutChoice(layout->id(), layout->name());
        }
        std::stable_sort(choices.begin(), choices.end(), [](const auto& a, const auto& b) {
            return a.second.compare(b.second, Qt::CaseInsensitive) < 0;
        });
        return choices;
    }
};

} // namespace Internal

SideBarTours::SideBarTours(QWidget* parent)
    : QFrame(parent)
    , d(std::make_unique<Internal::SideBarToursPrivate>())
{
    setObjectName(QStringLiteral("sideBarTours"));
    setStyleSheet(QStringLiteral("#toursTitle { color: rgb(17, 24, 39); font-weight: bold; }"
                                 "#tourRow QLabel { color: rgb(31, 41, 55); }"
                                 "#tourRow[running=\"true\"] QLabel { color: rgb(37, 99, 235); font-weight: bold; }"));
    auto* title = new QLabel(tr("Tours"), this);
    title->setObjectName(QStringLiteral("toursTitle"));
    auto* add = new QToolButton(this);
    add->setObjectName(QStringLiteral("newTourButton"));
    add->setText(tr("New tour"));
    add->setCursor(Qt::PointingHandCursor);
    connect(add, &QToolButton::clicked, this, &SideBarTours::newTour);
    auto* header = new QHBoxLayout;
    header->addWidget(title, 1);
    header->addWidget(add);

    d->empty = new QLabel(tr("Show layouts one after another on a wall screen: make a tour."), this);
    d->empty->setWordWrap(true);
    d->rows = new QVBoxLayout;
    d->rows->setSpacing(2);
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(4);
    box->addLayout(header);
    box->addWidget(d->empty);
    box->addLayout(d->rows);

    connect(App::Tours::instance(), &App::Tours::changed, this, &SideBarTours::rebuild);
    rebuild();
}

SideBarTours::~SideBarTours() = default;

void SideBarTours::setRunningTour(const QString& id)
{
    d->running = id;
    rebuild();
}

void SideBarTours::rebuild()
{
    // Later: a row's own button may have started this.
    while (QLayoutItem* item = d->rows->takeAt(0)) {
        if (QWidget* row = item->widget()) {
            row->hide();
            row->deleteLater();
        }
        delete item;
    }
    const QList<API::Tour> tours = App::Tours::instance()->tours();
    d->empty->setVisible(tours.isEmpty());
    for (const API::Tour& tour : tours) {
        const bool running = tour.id == d->running;
        auto* row = new QWidget(this);
        row->setObjectName(QStringLiteral("tourRow"));
        row->setProperty("running", running);
        row->setProperty("tourId", tour.id);
        auto* name = new QLabel(tour.name, row);
        name->setToolTip(tour.name);
        auto* start = new QToolButton(row);
        start->setObjectName(QStringLiteral("tourStartButton"));
        start->setText(running ? tr("Stop") : tr("Start"));
        auto* edit = new QToolButton(row);
        edit->setText(tr("Edit"));
        auto* remove = new QToolButton(row);
        remove->setText(tr("Delete"));
        const QString id = tour.id;
        connect(start, &QToolButton::clicked, this, [this, id, running] {
            if (running)
                emit stopTour();
            else
                emit startTour(id);
        });
        connect(edit, &QToolButton::clicked, this, [this, id] { editTour(id); });
        connect(remove, &QToolButton::clicked, this, [this, id] { deleteTour(id); });
        auto* line = new QHBoxLayout(row);
        line->setContentsMargins(0, 0, 0, 0);
        line->addWidget(name, 1);
        line->addWidget(start);
        line->addWidget(edit);
        line->addWidget(remove);
        d->rows->addWidget(row);
    }
}

QString SideBarTours::newTour()
{
    const API::Tour tour = TourDialog::edit(API::Tour(), d->layoutChoices(), window());
    if (!tour.isValid())
        return {};
    App::Tours::instance()->put(tour);
    return tour.id;
}

void SideBarTours::editTour(const QString& id)
{
    const API::Tour stored = App::Tours::instance()->tour(id);
    if (!stored.isValid())
        return;
    const API::Tour tour = TourDialog::edit(stored, d->layoutChoices(), window());
    if (tour.isValid())
        App::Tours::instance()->put(tour);
}

void SideBarTours::deleteTour(const QString& id)
{
    const API::Tour tour = App::Tours::instance()->tour(id);
    if (!tour.isValid())
        return;
    QMessageBox box(window());
    box.setWindowModality(Qt::WindowModal);
    box.setText(tr("Delete the tour \"%1\"?").arg(tour.name));
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Cancel);
    if (box.exec() != QMessageBox::Ok)
        return;
    if (id == d->running)
        emit stopTour();
    App::Tours::instance()->remove(id);
}

} // namespace OrvantaClient::GUI
