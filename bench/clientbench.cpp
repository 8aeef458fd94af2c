#include "clientbench.h"

#include "core/logger.h"
#include "core/settings.h"

#include <QDir>

namespace Bench {

namespace {

void discardMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

// Runs before the application is made, which reads both variables.
bool prepareEnvironment(const QTemporaryDir& runtime)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    return true;
}

} // namespace

ClientBench::ClientBench(int& argc, char** argv)
    : m_environment(prepareEnvironment(m_runtime))
    , m_app(argc, argv)
{
    QDir::setCurrent(m_work.path());
    qInstallMessageHandler(discardMessages);
    using namespace OrvantaClient;
    App::Logger::open(qEnvironmentVariableIsSet("BENCH_LOG") ? qEnvironmentVariable("BENCH_LOG")
                                                            : m_work.filePath(QStringLiteral("client.log")));
    App::Settings::instance().setValue(QStringLiteral("experimental/framepump"), framepump());
}

ClientBench::~ClientBench()
{
    OrvantaClient::App::Logger::close();
}

bool ClientBench::framepump() const
{
    return qEnvironmentVariableIsSet("BENCH_FRAMEPUMP");
}

QSize ClientBench::windowSize()
{
    const QStringList size = qEnvironmentVariable("BENCH_WINDOW").split(QLatin1Char('x'));
    if (size.size() == 2 && size.at(0).toInt() > 0 && size.at(1).toInt() > 0)
        return QSize(size.at(0).toInt(), size.at(1).toInt());
    return QSize(1600, 900);
}

} // namespace Bench
