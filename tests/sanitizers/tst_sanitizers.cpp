// The sanitizer build checks every program with the options and leak suppressions
// compiled into it: what belongs to the libraries passes, a fault of ours fails,
// with no sanitizer variable in the environment.
#include <QProcess>
#include <QtTest>

class TestSanitizers : public QObject
{
    Q_OBJECT
private slots:
    void librariesPassOurFaultsFail();

private:
    struct Run
    {
        int exitCode;
        QString errors;
    };
    static Run probe(const QStringList& arguments);
};

TestSanitizers::Run TestSanitizers::probe(const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
        environment.remove(QLatin1String(name));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(PROBE_BIN), arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return {-1, QStringLiteral("did not end by itself")};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

void TestSanitizers::librariesPassOurFaultsFail()
{
    // Qt's platform plugin and fontconfig keep memory to the end: suppressed.
    const Run qt = probe({QStringLiteral("qt")});
    QVERIFY2(qt.exitCode == 0 && !qt.errors.contains(QLatin1String("Sanitizer")), qPrintable(qt.errors));

    // An object of ours lost, with a string of Qt's inside: the string's frames are
    // Qt's alone, the object's are ours, and that fails.
    const Run leak = probe({QStringLiteral("leak")});
    QVERIFY2(leak.exitCode != 0, qPrintable(leak.errors));
    QVERIFY2(leak.errors.contains(QLatin1String("ERROR: LeakSanitizer: detected memory leaks")), qPrintable(leak.errors));
    QVERIFY2(leak.errors.contains(QLatin1String("loseRecord")), qPrintable(leak.errors));

    // Undefined behaviour stops the program at once, with the stack that led there.
    const Run overflow = probe({QStringLiteral("overflow"), QStringLiteral("5")});
    QVERIFY2(overflow.exitCode != 0, qPrintable(overflow.errors));
    QVERIFY2(overflow.errors.contains(QLatin1String("runtime error: signed integer overflow")), qPrintable(overflow.errors));
    QVERIFY2(overflow.errors.contains(QLatin1String(" in main ")), qPrintable(overflow.errors));
}

QTEST_GUILESS_MAIN(TestSanitizers)
#include "tst_sanitizers.moc"
