#pragma once

#include "model/apitypes.h"
#include "player/framefile.h"
#include "player/statusreader.h"

#include <QImage>
#include <QObject>
#include <QProcess>

namespace OrvantaClient::GUI::Player {

// Takes one picture of a stream through a worker of its own, for a snapshot at a
// better quality than the one a cell plays. The caller sets the worker up
// (program, arguments, environment) for this grabber's frame file and starts it;
// the grabber reports once, ends the worker and deletes itself.
class SnapshotGrabber : public QObject
{
    Q_OBJECT
public:
    SnapshotGrabber(API::CameraPtr camera, int timeoutMs, QObject* parent = nullptr);
    ~SnapshotGrabber() override;

    QProcess* process() { return &m_process; }
    QString frameFileName() const { return m_frameFile.name(); }
    bool start();

signals:
    // The first whole picture, turned and mirrored as the camera's are shown.
    void grabbed(QImage picture);
    void failed();

private:
    void readStatus();
    void finish(const QImage& picture);

    API::CameraPtr m_camera;
    int m_timeoutMs;
    QProcess m_process;
    FrameFile m_frameFile;
    StatusReader m_reader{FrameFile::capacity};
    QSize m_size;
    bool m_done = false;
};

} // namespace OrvantaClient::GUI::Player
