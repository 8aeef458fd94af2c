#include "flvstream.h"

#include <QFile>
#include <QTcpSocket>
#include <QTimer>
#include <QUuid>

namespace Camsim {

namespace {

const QString font = QStringLiteral("/usr/share/fonts/truetype/paratype/PTS55F.ttf");
constexpr qint64 maxBacklog = 16 * 1024 * 1024;

} // namespace

QStringList FlvStream::arguments(const Options& o, const QString& textFile)
{
    QStringList args{"-hide_banner", "-loglevel", "error", "-nostdin"};
    const int speed = qMax(1, o.speed);
    // The picture's source runs in archive time, so it is read that much
    // faster to deliver o.speed archive seconds per second; it makes only
    // the stream's rate divided by the speed, as a server sends fewer pictures.
    args << "-readrate" << QString::number(o.readRate * speed);
    // The source runs in archive time; setpts brings it to playback time.
    args << "-f" << "lavfi" << "-i"
         << QStringLiteral("testsrc2=size=%1x%2:rate=%3/%4").arg(o.size.width()).arg(o.size.height()).arg(o.fps).arg(speed);
    // The sound is made in playback time at every speed: only the picture is
    // sped up. The track stays in fast playback too, since libvlc probes a
    // stream without sound for seconds before it shows the first picture.
    args << "-readrate" << QString::number(o.readRate);
    args << "-f" << "lavfi" << "-i" << QStringLiteral("sine=frequency=440:sample_rate=44100");
    const int fontSize = qMax(12, o.size.height() / 16);
    const QString box = QStringLiteral(":fontcolor=white:box=1:boxcolor=black@0.6:boxborderw=6:fontsize=%1").arg(fontSize);
    // Below the top edge, where players lay their own bars over the picture.
    const int top = o.size.height() / 8;
    QString filter = QStringLiteral("drawtext=fontfile=%1:textfile=%2:x=12:y=%3%4").arg(font, textFile).arg(top).arg(box);
    const QString clock = QStringLiteral(",drawtext=fontfile=%1:text='%{pts\\:localtime\\:%2}':x=12:y=%3%4%5");
    if (o.stretches.isEmpty()) {
        filter += clock.arg(font).arg(o.clockStartSecs).arg(top + 12 + 2 * fontSize).arg(box, QString());
    } else {
        // One clock per recorded stretch, each shown while that stretch plays.
        qint64 played = 0;
        for (const auto& stretch : o.stretches) {
            const QString enable = QStringLiteral(":enable='gte(t,%1)*lt(t,%2)'").arg(played).arg(played + stretch.second);
            filter += clock.arg(font).arg(stretch.first - played).arg(top + 12 + 2 * fontSize).arg(box, enable);
            played += stretch.second;
        }
    }
    // Sped up, the pictures come at the source's few a second: repeated to
    // the stream's rate, a player sees a steady stream and starts at once.
    if (speed > 1)
        filter += QStringLiteral(",setpts=PTS/%1,fps=%2").arg(speed).arg(o.fps);
    args << "-vf" << filter << "-r" << QString::number(o.fps);
    if (o.durationSecs > 0)
        args << "-t" << QString::number(o.durationSecs / speed, 'f', 3);
    args << "-c:v" << "libx264" << "-preset" << "ultrafast" << "-tune" << "zerolatency" << "-pix_fmt" << "yuv420p"
         << "-g" << QString::number(o.fps) << "-c:a" << "libmp3lame" << "-b:a" << "64k" << "-ar" << "44100"
         << "-f" << "flv" << "-";
    return args;
}

bool FlvStream::encodeLoop(const QSize& size, int fps, const QString& fileName)
{
    // A key frame every two seconds, a common camera default (an I-frame
    // interval of twice the frame rate): the most a new live viewer is sent at once.
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {"-hide_banner", "-loglevel", "error", "-nostdin", "-y", "-f", "lavfi", "-i",
                  QStringLiteral("testsrc2=size=%1x%2:rate=%3").arg(size.width()).arg(size.height()).arg(fps), "-f",
                  "lavfi", "-i", "sine=frequency=440:sample_rate=44100", "-t", "10", "-c:v", "libx264", "-preset",
                  "veryfast", "-pix_fmt", "yuv420p", "-g", QString::number(2 * fps), "-c:a", "libmp3lame", "-ar", "44100",
                  "-f", "flv", fileName});
    return ffmpeg.waitForFinished(120000) && ffmpeg.exitStatus() == QProcess::NormalExit && ffmpeg.exitCode() == 0;
}

FlvStream::FlvStream(QTcpSocket* socket, const Options& options, const QString& workDir, QObject* parent)
    : QObject(parent)
    , m_socket(socket)
{
    // The name goes through a file: no escaping of what a user typed.
    m_textFile = workDir + QStringLiteral("/name-") + QUuid::createUuid().toString(QUuid::Id128) + QStringLiteral(".txt");
    QFile text(m_textFile);
    if (text.open(QIODevice::WriteOnly))
        text.write(options.name.toUtf8());
    text.close();

    connect(socket, &QTcpSocket::disconnected, this, &FlvStream::finish);
    connect(socket, &QTcpSocket::bytesWritten, this, &FlvStream::forward);
    connect(&m_ffmpeg, &QProcess::readyReadStandardOutput, this, &FlvStream::forward);
    connect(&m_ffmpeg, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this, [this] {
        forward();
        if (m_socket)
            m_socket->disconnectFromHost();
        finish();
    });
    m_ffmpeg.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_ffmpeg.start(QStringLiteral("ffmpeg"), arguments(options, m_textFile));
    if (options.dropAfterSecs > 0) {
        QTimer::singleShot(options.dropAfterSecs * 1000, this, [this] {
            if (m_socket)
                m_socket->abort();
            finish();
        });
    }
}

FlvStream::~FlvStream()
{
    if (m_ffmpeg.state() != QProcess::NotRunning) {
        m_ffmpeg.kill();
        m_ffmpeg.waitForFinished(5000);
    }
    QFile::remove(m_textFile);
}

void FlvStream::forward()
{
    if (!m_socket)
        return;
    // Back-pressure: leave data in the pipe while the client is behind.
    if (m_socket->bytesToWrite() > maxBacklog)
        return;
    const QByteArray data = m_ffmpeg.readAllStandardOutput();
    if (!data.isEmpty())
        m_socket->write(data);
}

void FlvStream::finish()
{
    if (m_ffmpeg.state() != QProcess::NotRunning)
        m_ffmpeg.kill();
    deleteLater();
}

} // namespace Camsim
