#pragma once

#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QProcess>
#include <QSize>
#include <QStringList>

class QTcpSocket;

namespace Camsim {

// An FLV stream (H.264 and MP3) made by an ffmpeg child process and copied to
// the client's socket as it comes. The camera's name and the stream's clock
// are burnt into the picture: the wall clock for live video, the archive time
// for archive video.
class FlvStream : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        QString name;
        QSize size{640, 480};
        int fps = 25;
        qint64 clockStartSecs = 0; // the time shown by the first frame
        double durationSecs = 0;   // of archive time; 0 streams without end
        int speed = 1;             // archive seconds per second
        double readRate = 1.0;     // how much faster than real time to deliver
        int dropAfterSecs = 0;     // a fault: cut the stream after this long
        // Archive: the recorded stretches played one after the other, gaps left
        // out, as (start in seconds since the epoch, length in seconds). When
        // set, they give the burnt-in clock instead of clockStartSecs.
        QList<QPair<qint64, qint64>> stretches;
    };

    FlvStream(QTcpSocket* socket, const Options& options, const QString& workDir, QObject* parent = nullptr);
    ~FlvStream() override;

    static QStringList arguments(const Options& options, const QString& textFile);
    // Pre-encodes the ten-second loop a cheap live stream plays. Returns false on failure.
    static bool encodeLoop(const QSize& size, int fps, const QString& fileName);

private:
    void forward();
    void finish();

    QPointer<QTcpSocket> m_socket;
    QProcess m_ffmpeg;
    QString m_textFile;
};

} // namespace Camsim
