#include "tourdialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QUuid>
#include <QVBoxLayout>

namespace OrvantaClient::GUI {

namespace Internal {

class TourDialogPrivate
{
public:
    QString id;
    QLineEdit* name = nullptr;
    QRadioButton* layouts = nullptr;
    QRadioButton* cameras = nullptr;
    QListWidget* list = nullptr;
    QSpinBox* dwell = nullptr;
    QLabel* error = nullptr;

    void move(int by)
    {
        const int row = list->currentRow();
        const int target = row + by;
        if (row < 0 || target < 0 || target >= list->count())
            return;
        QListWidgetItem* item = list->takeItem(row);
        list->insertItem(target, item);
        list->setCurrentRow(target);
    }
};

} // namespace Internal

TourDialog::TourDialog(const API::Tour& tour, const QList<LayoutChoice>& layouts, QWidget* parent)
    : QDialog(parent)
    , d(std::make_unique<Internal::TourDialogPrivate>())
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowTitle(tour.isValid() ? tr("Edit tour") : tr("New tour"));
    resize(420, 460);
    d->id = tour.isValid() ? tour.id : QUuid::createUuid().toString(QUuid::WithoutBraces);

    d->name = new QLineEdit(tour.name, this);
    d->name->setObjectName(QStringLiteral("tourName"));
    d->layouts = new QRadioButton(tr("These layouts, in this order:"), this);
    d->layouts->setObjectName(QStringLiteral("tourLayouts"));
    d->cameras = new QRadioButton(tr("All cameras, one by one"), this);
    d->cameras->setObjectName(QStringLiteral("tourAllCameras"));
    d->list = new QListWidget(this);
    d->list->setObjectName(QStringLiteral("tourLayoutList"));
    d->list->setDragDropMode(QAbstractItemView::InternalMove);
    d->dwell = new QSpinBox(this);
    d->dwell->setObjectName(QStringLiteral("tourDwell"));
    d->dwell->setRange(API::Tour::minDwellSeconds, API::Tour::maxDwellSeconds);
    d->dwell->setSuffix(tr(" s"));
    d->dwell->setValue(tour.isValid() ? tour.dwellSeconds : API::Tour::defaultDwellSeconds);
    d->error = new QLabel(this);
    d->error->setObjectName(QStringLiteral("error"));
    d->error->setStyleSheet(QStringLiteral("color: rgb(220, 50, 50);"));

    // The tour's own order first, then the other layouts unticked.
    auto addItem = [this](const LayoutChoice& layout, bool ticked) {
        auto* item = new QListWidgetItem(layout.second, d->list);
        item->setData(Qt::UserRole, layout.first);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    };
    for (const QString& id : tour.layoutIds) {
        for (const LayoutChoice& layout : layouts) {
            if (layout.first == id)
                addItem(layout, true);
        }
    }
    for (const LayoutChoice& layout : layouts) {
        if (!tour.layoutIds.contains(layout.first))
            addItem(layout, false);
    }

    auto* up = new QPushButton(tr("Up"), this);
    auto* down = new QPushButton(tr("Down"), this);
    connect(up, &QPushButton::clicked, this, [this] { d->move(-1); });
    connect(down, &QPushButton::clicked, this, [this] { d->move(1); });
    auto* order = new QHBoxLayout;
    order->addStretch(1);
    order->addWidget(up);
    order->addWidget(down);

    auto* form = new QFormLayout;
    form->addRow(tr("Name:"), d->name);
    form->addRow(tr("Each view for:"), d->dwell);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &TourDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TourDialog::reject);

    auto* box = new QVBoxLayout(this);
    box->addLayout(form);
    box->addWidget(d->layouts);
    box->addWidget(d->list, 1);
    box->addLayout(order);
    box->addWidget(d->cameras);
    box->addWidget(d->error);
    box->addWidget(buttons);

    const auto followChoice = [this, up, down] {
        const bool byLayout = d->layouts->isChecked();
        d->list->setEnabled(byLayout);
        up->setEnabled(byLayout);
        down->setEnabled(byLayout);
    };
    connect(d->layouts, &QRadioButton::toggled, this, followChoice);
    (tour.allCameras ? d->cameras : d->layouts)->setChecked(true);
    followChoice();
}

TourDialog::~TourDialog() = default;

API::Tour TourDialog::tour() const
{
    API::Tour tour;
    tour.id = d->id;
    tour.name = d->name->text().trimmed();
    tour.allCameras = d->cameras->isChecked();
    tour.dwellSeconds = d->dwell->value();
    for (int row = 0; row < d->list->count(); ++row) {
        const QListWidgetItem* item = d->list->item(row);
        if (item->checkState() == Qt::Checked)
            tour.layoutIds << item->data(Qt::UserRole).toString();
    }
    return tour;
}

QString TourDialog::validationError() const
{
    if (d->name->text().trimmed().isEmpty())
        return tr("Enter a name for the tour.");
    if (d->layouts->isChecked() && tour().layoutIds.isEmpty())
        return tr("Tick the layouts the tour shows.");
    return {};
}

void TourDialog::accept()
{
    const QString error = validationError();
    d->error->setText(error);
    if (error.isEmpty())
        QDialog::accept();
}

API::Tour TourDialog::edit(const API::Tour& tour, const QList<LayoutChoice>& layouts, QWidget* parent)
{
    TourDialog dialog(tour, layouts, parent);
    if (dialog.exec() != QDialog::Accepted)
        return API::Tour();
    return dialog.tour();
}

} // namespace OrvantaClient::GUI
