#include "../common/filemode.h"
#include "core/logger.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using OrvantaClient::App::Logger;

namespace {
QStringList forwarded;
void recordingHandler(QtMsgType, const QMessageLogContext&, const QString& message)
{
    forwarded << message;
}
} // namespace

class TestLogger : public QObject
{
    Q_OBJECT
private slots:
    void lineFormatAndPrefixes_data();
    void lineFormatAndPrefixes();
    void writesThroughHandlerAndKeepsPreviousOne();
    void emptiesOldLogAndIsOwnerOnly();
};

void TestLogger::lineFormatAndPrefixes_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("expected");
    QTest::newRow("debug") << int(QtDebugMsg) << "07.03.2026 09:05::04.012 Open layout \"Hall\"";
    QTest::newRow("warning") << int(QtWarningMsg) << "Warning: 07.03.2026 09:05::04.012 Open layout \"Hall\"";
    QTest::newRow("critical") << int(QtCriticalMsg) << "Critical: 07.03.2026 09:05::04.012 Open layout \"Hall\"";
    QTest::newRow("fatal") << int(QtFatalMsg) << "Fatal: 07.03.2026 09:05::04.012 Open layout \"Hall\"";
    QTest::newRow("info is not written") << int(QtInfoMsg) << QString();
}

void TestLogger::lineFormatAndPrefixes()
{
    QFETCH(int, type);
    QFETCH(QString, expected);
    const QDateTime time(QDate(2026, 3, 7), QTime(9, 5, 4, 12));
    const QString line = Logger::formatLine(QtMsgType(type), time, QStringLiteral("Open layout \"Hall\""));
    QCOMPARE(line, expected);
    QCOMPARE(line.isNull(), expected.isNull());
}

void TestLogger::writesThroughHandlerAndKeepsPreviousOne()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("test_log.txt"));
    forwarded.clear();
    QtMessageHandler original = qInstallMessageHandler(recordingHandler);
    QVERIFY(Logger::open(path));
    qDebug() << "Loading language:" << QStringLiteral("ru");
    qWarning() << "disk is slow";
    qInfo() << "not for the file";
    Logger::close();
    qInstallMessageHandler(original);

    QCOMPARE(forwarded.size(), 3); // the previous handler still sees every message
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    const QRegularExpression stamp(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d::\\d\\d\\.\\d{3} "));
    QVERIFY(stamp.match(lines.at(0)).hasMatch());
    QVERIFY(lines.at(0).endsWith(QStringLiteral(" Loading language: \"ru\"")));
    QVERIFY(lines.at(1).startsWith(QStringLiteral("Warning: ")));
    QVERIFY(stamp.match(lines.at(1).mid(9)).hasMatch());
    QVERIFY(lines.at(1).endsWith(QStringLiteral("disk is slow")));
}

void TestLogger::emptiesOldLogAndIsOwnerOnly()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("test_log.txt"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("a previous run\n");
        old.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
    }
    QtMessageHandler original = qInstallMessageHandler(recordingHandler);
    QVERIFY(Logger::open(path));
    Logger::close();
    qInstallMessageHandler(original);

    QFile file(path);
    QCOMPARE(file.size(), 0);
    QCOMPARE(fileMode(path), 0600);

    QVERIFY(!Logger::open(dir.filePath(QStringLiteral("missing/folder/log.txt"))));
}

QTEST_GUILESS_MAIN(TestLogger)
#include "tst_logger.moc"
