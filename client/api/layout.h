#pragma once

#include "apitypes.h"

#include <QObject>

namespace OrvantaClient::API {

// A named grid of rows by columns whose cells show cameras.
class Layout : public QObject
{
    Q_OBJECT
public:
    Layout();

    layout_id_t id() const { return m_id; }
    QString name() const { return m_name; }
    int rows() const { return m_rows; }
    int columns() const { return m_columns; }
    int camerasCount() const { return m_camerasCount; }

private:
    layout_id_t m_id;
    QString m_name;
    int m_rows = 1;
    int m_columns = 1;
    int m_camerasCount = 0;
};

} // namespace OrvantaClient::API
