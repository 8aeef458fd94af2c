// The tours file: read into tours within their bounds, and what is stored reads
// back as the same tours.
#include "fuzzsupport.h"

#include "core/usernotices.h"
#include "model/tour.h"
#include "stores/tours.h"

#include <QDir>
#include <QFile>
#include <QSet>

using namespace OrvantaClient;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::setUp();
    const QString fileName = QDir::current().filePath(QStringLiteral("tours.fuzz"));
    for (const QString& name : QDir::current().entryList({QStringLiteral("tours.fuzz*")}, QDir::Files))
        QFile::remove(name);
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return 0;
    file.write(Fuzz::bytes(data, size));
    file.close();

    App::Tours tours;
    tours.open(fileName);
    App::UserNotices::instance().takeAll();
    QSet<QString> ids;
    for (const API::Tour& tour : tours.tours()) {
        FUZZ_CHECK(tour.isValid() && !ids.contains(tour.id));
        FUZZ_CHECK(tour.dwellSeconds >= API::Tour::minDwellSeconds && tour.dwellSeconds <= API::Tour::maxDwellSeconds);
        FUZZ_CHECK(!tour.layoutIds.contains(QString()));
        ids.insert(tour.id);
    }
    if (tours.tours().isEmpty())
        return 0;
    // A change stores them all; the next session reads them back whole.
    tours.put(tours.tours().first());
    App::Tours again;
    FUZZ_CHECK(again.open(fileName));
    FUZZ_CHECK(again.tours().size() == tours.tours().size());
    for (int i = 0; i < tours.tours().size(); ++i)
        FUZZ_CHECK(again.tours().at(i).toJson() == tours.tours().at(i).toJson());
    return 0;
}
