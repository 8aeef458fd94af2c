#pragma once

#include "model/tour.h"

#include <QList>
#include <QObject>
#include <memory>

namespace OrvantaClient::App {

namespace Internal {
class ToursPrivate;
}

// The account's tours, kept in a file of their own beside the layouts file
// (never sent to the service). Every change is written at once, atomically.
// A file that cannot be read whole is logged, kept aside and told to the
// user; what could be read of it stays.
class Tours : public QObject
{
    Q_OBJECT
public:
    // The process-wide store; tests make their own.
    static Tours* instance();
    explicit Tours(QObject* parent = nullptr);
    ~Tours() override;

    // Opens the file of the signed-in account (or of the local start).
    void login();
    void logout();
    // Opens and reads fileName; false when it could not be read whole.
    bool open(const QString& fileName);
    QString fileName() const;

    QList<API::Tour> tours() const;
    API::Tour tour(const QString& id) const; // null when there is none
    // Adds the tour, or replaces the one of the same id, and stores.
    void put(const API::Tour& tour);
    void remove(const QString& id);
    // The tour started last, kept in the file; null when removed or none.
    API::Tour lastUsed() const;
    void setLastUsed(const QString& id);

    static QString newId();

signals:
    void changed();

private:
    std::unique_ptr<Internal::ToursPrivate> d;
};

} // namespace OrvantaClient::App
