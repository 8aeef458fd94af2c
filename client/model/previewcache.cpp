#include "previewcache.h"

#include "previewhandler.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QList>

namespace OrvantaClient::API {

namespace {

// Listing the folder costs a few milliseconds with thousands of files.
constexpr int storesBetweenPrunes = 50;

} // namespace

PreviewCache& PreviewCache::instance()
{
    // Never destroyed: cameras held by other process-wide objects may go
    // after it at exit, and they tell it so.
    static auto* cache = new PreviewCache;
    return *cache;
}

void PreviewCache::setMemoryLimit(int pictures)
{
    m_memoryLimit = qMax(0, pictures);
    trim();
}

void PreviewCache::setFileLimit(int files)
{
    m_fileLimit = qMax(0, files);
}

void PreviewCache::touch(PreviewHandler* handler)
{
    const auto it = m_where.constFind(handler);
    if (it != m_where.constEnd())
        m_order.erase(*it);
    m_where.insert(handler, m_order.insert(m_order.end(), handler));
    trim();
}

void PreviewCache::forget(PreviewHandler* handler)
{
    const auto it = m_where.find(handler);
    if (it == m_where.end())
        return;
    m_order.erase(*it);
    m_where.erase(it);
}

// Pictures on screen are never dropped: the bound is on the others.
void PreviewCache::trim()
{
    // Chosen first and dropped after: a dropped picture is announced, and
    // whoever hears it may touch the cache again.
    int excess = int(m_order.size()) - m_memoryLimit;
    QList<PreviewHandler*> victims;
    for (auto it = m_order.begin(); excess > 0 && it != m_order.end(); ++it) {
        if (!(*it)->isActive()) {
            victims << *it;
            --excess;
        }
    }
    for (PreviewHandler* handler : qAsConst(victims)) {
        if (m_where.contains(handler))
            handler->dropPicture(); // forgets itself
    }
}

void PreviewCache::stored(const QString& folder)
{
    if (m_storedSincePrune >= 0 && ++m_storedSincePrune < storesBetweenPrunes)
        return;
    m_storedSincePrune = 0;
    pruneFiles(folder);
}

void PreviewCache::pruneFiles(const QString& folder)
{
    const QFileInfoList files =
        QDir(folder).entryInfoList({QStringLiteral("*.jpeg")}, QDir::Files | QDir::Hidden, QDir::Time);
    for (int i = m_fileLimit; i < files.size(); ++i) {
        if (!QFile::remove(files.at(i).filePath()))
            qDebug() << "Cannot remove old preview" << files.at(i).filePath();
    }
}

} // namespace OrvantaClient::API
