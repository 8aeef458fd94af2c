#pragma once

#include <QObject>

class QDateTimeEdit;

namespace OrvantaClient::GUI {

// Makes a click anywhere on the text of a date field open its calendar, as a
// click on its calendar button does; the text itself is not edited by mouse.
class DateFieldFilter : public QObject
{
    Q_OBJECT
public:
    explicit DateFieldFilter(QObject* parent = nullptr);

    // Installs a filter, owned by the field, on the field's line edit.
    static DateFieldFilter* install(QDateTimeEdit* field);

    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace OrvantaClient::GUI
