#pragma once

#include "model/apitypes.h"

#include <QDateTime>
#include <QObject>
#include <QProcess>

namespace OrvantaClient::App {

// Saves a stretch of a camera's archive as a video file: checks the request,
// runs clipworker in export mode and turns its output lines into signals.
// One export at a time per exporter.
class Exporter : public QObject
{
    Q_OBJECT
public:
    explicit Exporter(QObject* parent = nullptr);

    bool startExport(API::CameraPtr camera, QDateTime from, QDateTime to);
    void stopExport();
    bool isRunning() const;
    QString destination() const { return m_destination; }

    // The worker program; clipworker beside the application unless a test sets another.
    void setProgram(const QString& program);

    // Milliseconds recorded between from and to on from's day.
    static qint64 recordedDuration(const API::Camera& camera, const QDateTime& from, const QDateTime& to);
    static QString fileName(const API::Camera& camera, const QDateTime& from, const QDateTime& to);

signals:
    void exportDone(QString path);
    void exportError(QString path);
    void exportStarted();
    void exportPercentDone(int percent);

private slots:
    void readExportMessages();
    void readExportErrors();

private:
    QProcess m_process;
    QString m_destination;
    QByteArray m_pending; // an output line that has not reached its newline yet
};

} // namespace OrvantaClient::App
