#pragma once

#include <QHash>
#include <QString>
#include <list>

namespace OrvantaClient::API {

class PreviewHandler;

// Bounds what the previews cost. In memory: the pictures of the items shown
// anywhere stay, and of the others only the most recently used few; older ones
// are dropped (their files remain). On disk: the most recently stored files of
// the cache folder; older ones are deleted now and then.
class PreviewCache
{
public:
    static PreviewCache& instance();

    int memoryLimit() const { return m_memoryLimit; }
    void setMemoryLimit(int pictures);
    int fileLimit() const { return m_fileLimit; }
    void setFileLimit(int files);

    // The handler holds a picture, used just now.
    void touch(PreviewHandler* handler);
    // The handler holds no picture any more, or is going away.
    void forget(PreviewHandler* handler);
    // Pictures held in memory now.
    int held() const { return int(m_order.size()); }
    // Drops the oldest pictures of items not shown beyond the limit: called
    // when one more is held, and when an item is no longer shown.
    void trim();

    // A file was written into the folder; every so often the oldest files
    // beyond the limit are deleted.
    void stored(const QString& folder);
    // Deletes the oldest preview files of the folder beyond the limit.
    void pruneFiles(const QString& folder);

private:
    PreviewCache() = default;

    std::list<PreviewHandler*> m_order; // least recently used first
    QHash<PreviewHandler*, std::list<PreviewHandler*>::iterator> m_where;
    int m_memoryLimit = 64;
    int m_fileLimit = 1000;
    int m_storedSincePrune = -1; // the first file stored prunes at once
};

} // namespace OrvantaClient::API
