#pragma once

#include <QObject>
#include <QPixmap>
#include <QTimer>

namespace OrvantaClient::API {

// Keeps an item's preview picture: fetched while something shows it, cached on
// disk, and dropped from memory a while after nobody shows it any more.
class PreviewHandler : public QObject
{
    Q_OBJECT
public:
    explicit PreviewHandler(const QString& cacheKey, QObject* parent = nullptr);

    QPixmap preview() const { return m_preview; }
    void setPreview(const QPixmap& preview);
    bool isActive() const { return m_active; }
    void setActive(bool active);

    // The cache file: the per-user cache folder, "/", the key made safe for a
    // file name (it comes from the network), and ".jpeg".
    QString cacheFileName() const;
    static QString safeFileName(const QString& key);

    virtual bool isAvailable() const = 0;
    virtual void updatePreview() = 0;

    static constexpr int releaseInterval = 10000;
    static constexpr int refreshInterval = 60000;

signals:
    void previewChanged();

protected:
    void save();
    void clear();
    void refresh();

private:
    void onReleaseTimeout();
    void onRefreshTimeout();

    QPixmap m_preview;
    QString m_cacheKey;
    bool m_active = false;
    QTimer m_releaseTimer;
    QTimer m_refreshTimer;
};

} // namespace OrvantaClient::API
