#pragma once

#include "model/tour.h"

#include <QDialog>
#include <QList>
#include <QPair>
#include <memory>

namespace OrvantaClient::GUI {

namespace Internal {
class TourDialogPrivate;
}

// Makes or edits a tour: its name, the layouts it shows in their order (or
// every camera one by one), and how long each stays. OK is refused, with the
// reason shown, while the tour would show nothing.
class TourDialog : public QDialog
{
    Q_OBJECT
public:
    // The stored layouts to choose from, as (id, name).
    using LayoutChoice = QPair<QString, QString>;

    TourDialog(const API::Tour& tour, const QList<LayoutChoice>& layouts, QWidget* parent = nullptr);
    ~TourDialog() override;

    // The tour as entered; it keeps the id of the one edited (a new one gets one).
    API::Tour tour() const;
    QString validationError() const;

    // A null tour when cancelled.
    static API::Tour edit(const API::Tour& tour, const QList<LayoutChoice>& layouts, QWidget* parent);

    void accept() override;

private:
    std::unique_ptr<Internal::TourDialogPrivate> d;
};

} // namespace OrvantaClient::GUI
