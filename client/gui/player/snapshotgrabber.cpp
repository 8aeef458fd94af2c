#include "snapshotgrabber.h"

#include "model/camera.h"

#include <QDebug>
#include <QTimer>

namespace OrvantaClient::GUI::Player {

SnapshotGrabber::SnapshotGrabber(API::CameraPtr camera, int timeoutMs, QObject* parent)
    : QObject(parent)
    , m_camera(std::move(camera))
    , m_timeoutMs(timeoutMs)
{
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &SnapshotGrabber::readStatus);
    connect(&m_process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this, [this] {
        qDebug() << "Snapshot worker ended without a picture, camera:" << m_camera->name();
        finish(QImage());
    });
}

SnapshotGrabber::~SnapshotGrabber()
{
    m_process.disconnect(this);
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

bool SnapshotGrabber::start()
{
    if (!m_frameFile.open())
        return false; // the frame file has said what failed
    m_process.start(QIODevice::ReadWrite);
    if (!m_process.waitForStarted(30000)) {
        qDebug() << "Can't run snapshot worker" << m_process.program() << m_camera->name();
        return false;
    }
    m_process.write("volume 0\n"); // one picture is wanted, not a moment of sound
    QTimer::singleShot(m_timeoutMs, this, [this] {
        qDebug() << "Snapshot worker gave no picture in time, camera:" << m_camera->name();
        finish(QImage());
    });
    return true;
}

void SnapshotGrabber::readStatus()
{
    const StatusBatch batch = m_reader.read(m_process.readAllStandardOutput());
    for (const StatusEvent& event : batch.events) {
        if (event.kind == StatusEvent::Size)
            m_size = QSize(event.width, event.height);
    }
    // The reader only lets sizes through that fit the frame file.
    if (batch.frames == 0 || m_size.isEmpty() || m_done)
        return;
    const QImage picture(m_frameFile.data(), m_size.width(), m_size.height(), m_size.width() * 4,
                         QImage::Format_RGB32);
    finish(m_camera->shownPicture(picture.copy()));
}

void SnapshotGrabber::finish(const QImage& picture)
{
    if (m_done)
        return;
    m_done = true;
    m_process.disconnect(this);
    m_process.kill();
    if (picture.isNull())
        emit failed();
    else
        emit grabbed(picture);
    deleteLater();
}

} // namespace OrvantaClient::GUI::Player
