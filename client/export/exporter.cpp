#include "exporter.h"

#include "core/storagepaths.h"
#include "model/camera.h"
#include "model/localserver.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>

namespace OrvantaClient::App {

Exporter::Exporter(QObject* parent)
    : QObject(parent)
    , m_process(this)
{
    m_process.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/clipworker"));
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &Exporter::readExportMessages);
    connect(&m_process, &QProcess::readyReadStandardError, this, &Exporter::readExportErrors);
    connect(&m_process, &QProcess::stateChanged, this, [](QProcess::ProcessState state) {
        qDebug() << "Export process state changed, new state:" << int(state);
    });
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        qDebug() << "Export process ERROR:" << int(error) << "return code:" << m_process.exitCode()
                 << "exit status:" << int(m_process.exitStatus());
    });
    connect(&m_process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this,
            [](int exitCode, QProcess::ExitStatus status) {
                if (status == QProcess::NormalExit)
                    qDebug() << "Export process exited with code:" << exitCode;
                else
                    qDebug() << "Export process ended by signal:" << exitCode;
            });
}

void Exporter::setProgram(const QString& program)
{
    m_process.setProgram(program);
}

qint64 Exporter::recordedDuration(const API::Camera& camera, const QDateTime& from, const QDateTime& to)
{
    qint64 total = 0;
    for (const API::ArchiveRecord& record : camera.records(from.date())) {
        if (from < record.end && record.start < to) {
            total += qMax(record.start, from).msecsTo(qMin(record.end, to));
            continue;
        }
        if (record.start >= to)
            break;
    }
    return total;
}

QString Exporter::fileName(const API::Camera& camera, const QDateTime& from, const QDateTime& to)
{
    const auto* local = static_cast<const API::LocalServer*>(camera.server());
    const QString container = camera.vcodec() == QLatin1String("h264") ? QStringLiteral("mp4") : QStringLiteral("avi");
    return QStringLiteral("video ") + camera.fileName() + QStringLiteral(" - ") + local->host() + QLatin1Char(' ')
        + from.toString(QStringLiteral("dd.MM.yy")) + QLatin1Char(' ') + from.toString(QStringLiteral("hh.mm.ss"))
        + QLatin1Char('-') + to.toString(QStringLiteral("hh.mm.ss")) + QLatin1Char('.') + container;
}

bool Exporter::startExport(API::CameraPtr camera, QDateTime from, QDateTime to)
{
    if (!camera)
        return false;
    const qint64 duration = recordedDuration(*camera, from, to);
    if (duration == 0) {
        qDebug() << "Can't export records with 0 duration" << camera->name();
        return false;
    }
    if (!camera->isLocal()) {
        qDebug() << "Can't export records from internet camera" << camera->name();
        return false;
    }
    const QString source = camera->exportUrl(from, to);
    const QString container = camera->vcodec() == QLatin1String("h264") ? QStringLiteral("mp4") : QStringLiteral("avi");
    const QString folder = StoragePaths::exportPath();
    if (!QDir().mkpath(folder))
        qDebug() << "Cannot create folder:" << folder;
    m_destination = QDir(folder).absoluteFilePath(fileName(*camera, from, to));
    if (!QFileInfo(m_destination).isWritable())
        qDebug() << "Can't export records to non-writable location" << camera->name() << m_destination;

    m_pending.clear();
    qDebug() << "Run" << m_process.program() << m_process.workingDirectory() << "with format:" << container
             << "duration:" << duration << "write to:" << m_destination;
    // The source carries the local server's password: it goes by the worker's
    // environment, which only we can read, and "-" stands in its place on the
    // command line, which every local user can.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WATCHDESK_STREAM"), source);
    m_process.setProcessEnvironment(environment);
    m_process.setArguments({QStringLiteral("export"), QStringLiteral("-"), container, QString::number(duration),
                            m_destination});
    m_process.start(QIODevice::ReadWrite);
    if (!m_process.waitForStarted(30000)) {
        qDebug() << "Can't run export clipworker" << camera->name();
        return false;
    }
    return true;
}

void Exporter::stopExport()
{
    m_process.close();
}

bool Exporter::isRunning() const
{
    return m_process.state() == QProcess::Running;
}

void Exporter::readExportMessages()
{
    m_pending += m_process.readAllStandardOutput();
    // A line cut between two reads waits for the rest of it.
    const int complete = m_pending.lastIndexOf('\n') + 1;
    const QByteArray batch = m_pending.left(complete);
    m_pending.remove(0, complete);
    const QString text = QString::fromLocal8Bit(batch).trimmed();
    if (text.isEmpty())
        return;
    qDebug() << "Export msg:" << text;

    bool done = false;
    for (const QString& part : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString line = part.trimmed();
        const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.isEmpty())
            continue;
        const QString& word = words.first();
        if (word == QLatin1String("export-done")) {
            done = true;
        } else if (word == QLatin1String("export-error")) {
            emit exportError(m_destination);
        } else if (word == QLatin1String("export-start")) {
            emit exportStarted();
        } else if (word == QLatin1String("export-percent")) {
            if (words.size() > 1)
                emit exportPercentDone(words.at(1).toInt());
            else
                qDebug() << "Bad VLC input" << line;
        }
    }
    if (done)
        emit exportDone(m_destination);
}

void Exporter::readExportErrors()
{
    qDebug() << "Export error msg:" << QString::fromLocal8Bit(m_process.readAllStandardError()).trimmed();
}

} // namespace OrvantaClient::App
