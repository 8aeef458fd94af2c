#include "previewhandler.h"

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

void PreviewHandler::setPreview(const QPixmap& preview)
{
    m_preview = preview;
    save();
    emit previewChanged();
}

void PreviewHandler::save()
{
    if (!m_preview.isNull() && !m_preview.save(cacheFileName()))
        qDebug() << "Cannot save preview to" << cacheFileName();
}

void PreviewHandler::clear()
{
    save();
    setPreview(QPixmap());
}

void PreviewHandler::refresh()
{
    if (!isAvailable()) {
        clear();
        return;
    }
    if (m_preview.isNull() && QFileInfo::exists(cacheFileName())) {
        // Not saved back: every round trip through JPEG would lose quality.
        m_preview = QPixmap(cacheFileName());
        emit previewChanged();
    }
    updatePreview();
}

void PreviewHandler::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    if (!active) {
        m_refreshTimer.stop();
        if (!m_preview.isNull())
            m_releaseTimer.start();
        return;
    }
    if (!m_releaseTimer.isActive())
        refresh();
    m_releaseTimer.stop();
    if (!m_refreshTimer.isActive())
        m_refreshTimer.start();
}

void PreviewHandler::onReleaseTimeout()
{
    m_releaseTimer.stop();
    if (!m_active)
        clear();
}

void PreviewHandler::onRefreshTimeout()
{
    if (!m_active) {
        m_refreshTimer.stop();
        return;
    }
    refresh();
}

} // namespace OrvantaClient::API
