#include <QProcess>
#include <QtTest>

class TestWorkerArguments : public QObject
{
    Q_OBJECT
private slots:
    void tooFewArgumentsEndWithOne_data();
    void tooFewArgumentsEndWithOne();
};

void TestWorkerArguments::tooFewArgumentsEndWithOne_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("clipworker without arguments") << QStringLiteral(CLIPWORKER_BIN) << QStringList();
    QTest::newRow("clipworker export without destination")
        << QStringLiteral(CLIPWORKER_BIN) << QStringList{"export", "http://127.0.0.1/a", "mp4", "1000"};
    QTest::newRow("framepump with three arguments")
        << QStringLiteral(FRAMEPUMP_BIN) << QStringList{"127.0.0.1", "8080", "/flv?a=1&type=su"};
    QTest::newRow("framepump with a port that is not one")
        << QStringLiteral(FRAMEPUMP_BIN) << QStringList{"127.0.0.1", "80x", "/flv?a=1&type=su", "frames"};
}

void TestWorkerArguments::tooFewArgumentsEndWithOne()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QProcess process;
    process.start(program, arguments);
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
}

QTEST_GUILESS_MAIN(TestWorkerArguments)
#include "tst_workerarguments.moc"
