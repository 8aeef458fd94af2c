#include "tours.h"

#include "storefile.h"
#include "core/storagepaths.h"
#include "core/usernotices.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>
#include <QUuid>
#include <algorithm>

namespace OrvantaClient::App {

namespace Internal {

class ToursPrivate
{
public:
    // A few hundred tours of a few dozen layouts take some 100 kB.
    StoreFile file{4 * 1024 * 1024};
    QList<API::Tour> tours;
    QString lastUsed;

    // False when the file is not (wholly) tours; what could be read is kept.
    bool read();
    void store();
    int indexOf(const QString& id) const
    {
        const auto it = std::find_if(tours.cbegin(), tours.cend(), [&id](const API::Tour& t) { return t.id == id; });
        return it == tours.cend() ? -1 : int(it - tours.cbegin());
    }
};

bool ToursPrivate::read()
{
    tours.clear();
    lastUsed.clear();
    QByteArray content;
    if (!file.read(&content))
        return false; // logged by the read
    if (content.trimmed().isEmpty())
        return true; // nothing stored yet
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(content, &error);
    if (error.error != QJsonParseError::NoError) {
        qWarning() << "Tours file is not JSON:" << file.fileName() << error.errorString();
        return false;
    }
    const QJsonValue list = document.object().value(QStringLiteral("tours"));
    if (!list.isArray()) {
        qWarning() << "Tours file does not hold tours:" << file.fileName();
        return false;
    }
    int dropped = 0;
    for (const QJsonValue& value : list.toArray()) {
        const API::Tour tour = API::Tour::fromJson(value.toObject());
        if (!tour.isValid() || indexOf(tour.id) >= 0)
            ++dropped;
        else
            tours << tour;
    }
    lastUsed = document.object().value(QStringLiteral("last")).toString();
    if (dropped > 0)
        qWarning() << "Tours file holds entries that are not tours:" << file.fileName() << dropped;
    return dropped == 0;
}

void ToursPrivate::store()
{
    if (!file.isOpen()) {
        qDebug() << "Trying to store tours but no file is open";
        return;
    }
    QJsonArray list;
    for (const API::Tour& tour : qAsConst(tours))
        list.append(tour.toJson());
    const QJsonObject content{{QStringLiteral("tours"), list}, {QStringLiteral("last"), lastUsed}};
    QString keptAs;
    const bool stored = file.store(QJsonDocument(content).toJson(QJsonDocument::Indented),
                                   {"Cannot start writing the tours file", "Could not save tours to",
                                    "Could not finish the tours file", true},
                                   &keptAs);
    if (!keptAs.isNull())
        UserNotices::instance().post(Tours::tr("The unreadable tours file was kept as %1.").arg(keptAs));
    if (!stored)
        UserNotices::instance().post(Tours::tr("The tours could not be saved to %1.").arg(file.fileName()));
}

} // namespace Internal

Tours* Tours::instance()
{
    // Kept for the life of the process.
    static Tours* tours = new Tours;
    return tours;
}

Tours::Tours(QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Internal::ToursPrivate>())
{
}

Tours::~Tours() = default;

void Tours::login()
{
    open(StoragePaths::localToursFilePath());
}

void Tours::logout()
{
    d->file.close();
    d->tours.clear();
    d->lastUsed.clear();
    emit changed();
}

bool Tours::open(const QString& fileName)
{
    d->file.open(fileName);
    const bool whole = d->read();
    if (!whole) {
        // Kept aside rather than written over by the next change; when it
        // cannot be moved now, the next store tries again.
        d->file.markUnreadable();
        const QString keptAs = QFile::exists(fileName) ? d->file.setAside() : QString();
        qWarning() << "Tours file could not be read whole:" << fileName << "kept as:" << keptAs;
        UserNotices::instance().post(
            keptAs.isNull() ? tr("The saved tours could not be read from %1.").arg(fileName)
                            : tr("The saved tours could not be read from %1. The file was kept as %2.")
                                  .arg(fileName, keptAs));
    }
    emit changed();
    return whole;
}

QString Tours::fileName() const { return d->file.fileName(); }
QList<API::Tour> Tours::tours() const { return d->tours; }

API::Tour Tours::tour(const QString& id) const
{
    const int index = d->indexOf(id);
    return index < 0 ? API::Tour() : d->tours.at(index);
}

void Tours::put(const API::Tour& tour)
{
    if (!tour.isValid())
        return;
    const int index = d->indexOf(tour.id);
    if (index < 0)
        d->tours << tour;
    else
        d->tours[index] = tour;
    d->store();
    emit changed();
}

void Tours::remove(const QString& id)
{
    const int index = d->indexOf(id);
    if (index < 0)
        return;
    d->tours.removeAt(index);
    d->store();
    emit changed();
}

API::Tour Tours::lastUsed() const { return tour(d->lastUsed); }

void Tours::setLastUsed(const QString& id)
{
    if (d->lastUsed == id)
        return;
    d->lastUsed = id;
    d->store();
}

QString Tours::newId() { return QUuid::createUuid().toString(QUuid::WithoutBraces); }

} // namespace OrvantaClient::App
