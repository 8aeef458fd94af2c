#include "problemlog.h"

#include <QDebug>
#include <QHash>

namespace OrvantaClient::API {

namespace {

// Per source: how often each kind came since it was logged.
QHash<QString, QHash<QString, int>>& problems()
{
    static QHash<QString, QHash<QString, int>> table;
    return table;
}

} // namespace

bool ProblemLog::first(const QString& source, const QString& kind)
{
    // Sources come and go with the service's answers (a server's id, a host):
    // past a bound the table starts again, at the price of a line logged anew,
    // so that answers naming ever new sources cannot grow it all day.
    constexpr int maxSources = 1000;
    if (problems().size() >= maxSources && !problems().contains(source))
        problems().clear();
    QHash<QString, int>& kinds = problems()[source];
    auto it = kinds.find(kind);
    if (it == kinds.end()) {
        kinds.insert(kind, 0);
        return true;
    }
    ++*it;
    return false;
}

void ProblemLog::recovered(const QString& source)
{
    const auto it = problems().constFind(source);
    if (it == problems().constEnd())
        return;
    int heldBack = 0;
    for (int count : *it)
        heldBack += count;
    qDebug() << "Answers well again:" << source << "after" << heldBack << "more problems not logged";
    problems().erase(it);
}

} // namespace OrvantaClient::API
