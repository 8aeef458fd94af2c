#pragma once

#include <QObject>

namespace OrvantaClient::App {

// Whether every cell keeps its camera's name in view, or shows it with the
// other controls only while the pointer is over the cell. A choice of the
// Settings page, kept in the settings; the cells of every window follow a
// change at once.
class CellNames : public QObject
{
    Q_OBJECT
public:
    static CellNames& instance();

    bool alwaysShown() const;
    void setAlwaysShown(bool shown);

signals:
    void alwaysShownChanged(bool shown);

private:
    CellNames() = default;
};

} // namespace OrvantaClient::App
