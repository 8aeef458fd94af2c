#include "previewhandler.h"

#include "previewcache.h"
#include "core/storagepaths.h"

#include <QDebug>
#include <QFileInfo>
#include <QUrl>

namespace OrvantaClient::API {

PreviewHandler::PreviewHandler(const QString& cacheKey, QObject* parent)
    : QObject(parent)
    , m_cacheKey(cacheKey)
{
    m_releaseTimer.setSingleShot(true);
    m_releaseTimer.setInterval(releaseInterval);
    m_refreshTimer.setInterval(refreshInterval);
    connect(&m_releaseTimer, &QTimer::timeout, this, &PreviewHandler::onReleaseTimeout);
    connect(&m_refreshTimer, &QTimer::timeout, this, &PreviewHandler::onRefreshTimeout);
}

PreviewHandler::~PreviewHandler()
{
    PreviewCache::instance().forget(this);
}

QString PreviewHandler::safeFileName(const QString& key)
{
    // Percent-encoding keeps ordinary ids readable ("srv-1_5", "10.0.0.2:8080_1")
    // and different ids distinct, and leaves no separator to climb out with.
    QByteArray name = QUrl::toPercentEncoding(key, ":@ ");
    if (name.startsWith('.'))
        name.replace(0, 1, "%2E");
    return QString::fromLatin1(name);
}

QString PreviewHandler::cacheFileName() const
{
    return App::StoragePaths::cacheDir() + QLatin1Char('/') + safeFileName(m_cacheKey) + QStringLiteral(".jpeg");
}

QPixmap PreviewHandler::cardSized(const QPixmap& picture)
{
    if (picture.width() <= maxWidth && picture.height() <= maxHeight)
        return picture;
    return picture.scaled(maxWidth, maxHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

void PreviewHandler::setPreview(const QPixmap& preview)
{
    m_preview = cardSized(preview);
    if (m_preview.isNull()) {
        PreviewCache::instance().forget(this);
    } else {
        save();
        PreviewCache::instance().touch(this);
    }
    emit previewChanged();
}

void PreviewHandler::save()
{
    if (m_preview.isNull())
        return;
    if (m_preview.save(cacheFileName()))
        PreviewCache::instance().stored(App::StoragePaths::cacheDir());
    else
        qDebug() << "Cannot save preview to" << cacheFileName();
}

// The file was written when the picture came.
void PreviewHandler::clear()
{
    setPreview(QPixmap());
}

void PreviewHandler::dropPicture()
{
    m_releaseTimer.stop();
    if (m_preview.isNull())
        return;
    m_preview = QPixmap();
    PreviewCache::instance().forget(this);
    emit previewChanged();
}

void PreviewHandler::refresh()
{
    if (!isAvailable()) {
        clear();
        return;
    }
    if (m_preview.isNull() && QFileInfo::exists(cacheFileName())) {
        // Not saved back: every round trip through JPEG would lose quality.
        m_preview = cardSized(QPixmap(cacheFileName()));
        if (!m_preview.isNull())
            PreviewCache::instance().touch(this);
        emit previewChanged();
    }
    updatePreview();
}

void PreviewHandler::setActive(bool active)
{
    m_active = active;
    activityChanged();
}

void PreviewHandler::watch()
{
    ++m_watchers;
    activityChanged();
}

void PreviewHandler::unwatch()
{
    if (m_watchers == 0) {
        qDebug() << "Preview unwatched more often than watched:" << m_cacheKey;
        return;
    }
    --m_watchers;
    activityChanged();
}

void PreviewHandler::activityChanged()
{
    const bool active = isActive();
    if (active == m_wasActive)
        return;
    m_wasActive = active;
    if (!active) {
        m_refreshTimer.stop();
        if (!m_preview.isNull()) {
            m_releaseTimer.start();
            PreviewCache::instance().trim();
        }
        return;
    }
    if (m_releaseTimer.isActive())
        PreviewCache::instance().touch(this);
    else
        refresh();
    m_releaseTimer.stop();
    if (!m_refreshTimer.isActive())
        m_refreshTimer.start();
}

void PreviewHandler::onReleaseTimeout()
{
    m_releaseTimer.stop();
    if (!isActive())
        clear();
}

void PreviewHandler::onRefreshTimeout()
{
    if (!isActive()) {
        m_refreshTimer.stop();
        return;
    }
    refresh();
}

} // namespace OrvantaClient::API
