#pragma once

#include <QObject>
#include <QPixmap>
#include <QTimer>

namespace OrvantaClient::API {

// Keeps an item's preview picture: fetched and refreshed while something shows
// it, kept at the size of a side bar card, cached on disk, and dropped from
// memory a while after nobody shows it any more, or sooner when the preview
// cache needs the room.
class PreviewHandler : public QObject
{
    Q_OBJECT
public:
    explicit PreviewHandler(const QString& cacheKey, QObject* parent = nullptr);
    ~PreviewHandler() override;

    QPixmap preview() const { return m_preview; }
    void setPreview(const QPixmap& preview);
    // Shown by something that keeps it on (a layout), or by any watcher.
    bool isActive() const { return m_active || m_watchers > 0; }
    void setActive(bool active);
    // Counted showing: each view that shows the item on screen watches it
    // once and unwatches it when it no longer does.
    void watch();
    void unwatch();
    int watchers() const { return m_watchers; }
    // Lets go of the picture in memory; its file stays.
    void dropPicture();

    // The cache file: the per-user cache folder, "/", the key made safe for a
    // file name (it comes from the network), and ".jpeg".
    QString cacheFileName() const;
    static QString safeFileName(const QString& key);
    // The picture no larger than a card needs, its proportions kept.
    static QPixmap cardSized(const QPixmap& picture);

    virtual bool isAvailable() const = 0;
    virtual void updatePreview() = 0;

    static constexpr int releaseInterval = 10000;
    static constexpr int refreshInterval = 60000;
    static constexpr int maxWidth = 320;
    static constexpr int maxHeight = 240;

signals:
    void previewChanged();

protected:
    void save();
    void clear();
    void refresh();

private:
    void activityChanged();
    void onReleaseTimeout();
    void onRefreshTimeout();

    QPixmap m_preview;
    QString m_cacheKey;
    bool m_active = false;
    bool m_wasActive = false;
    int m_watchers = 0;
    QTimer m_releaseTimer;
    QTimer m_refreshTimer;
};

} // namespace OrvantaClient::API
