// camsim [--config FILE] [--workdir DIR] [--port-base N] [--quiet]
// A simulated cloud service and local video servers on loopback.
#include "scenario.h"
#include "simulator.h"

#include <QCommandLineParser>
#include <QFile>
#include <QGuiApplication>
#include <QJsonDocument>
#include <csignal>
#include <cstdio>

int main(int argc, char* argv[])
{
    // Pictures are drawn without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A simulated video-surveillance service on loopback."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("config"), QStringLiteral("JSON configuration (default: built in)."), "FILE"});
    parser.addOption({QStringLiteral("workdir"), QStringLiteral("Write a client working folder here."), "DIR"});
    parser.addOption({QStringLiteral("port-base"), QStringLiteral("Number ports from here (cloud, control, local servers)."), "N"});
    parser.addOption({QStringLiteral("cheap"), QStringLiteral("Stream a pre-encoded loop instead of encoding live.")});
    parser.addOption({QStringLiteral("quiet"), QStringLiteral("Do not print the request log.")});
    parser.process(app);

    QJsonObject config;
    if (parser.isSet("config")) {
        QFile file(parser.value("config"));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "camsim: cannot read %s\n", qPrintable(parser.value("config")));
            return 1;
        }
        QJsonParseError error;
        config = QJsonDocument::fromJson(file.readAll(), &error).object();
        if (error.error != QJsonParseError::NoError) {
            std::fprintf(stderr, "camsim: %s: %s\n", qPrintable(parser.value("config")), qPrintable(error.errorString()));
            return 1;
        }
    }
    Camsim::Scenario scenario = Camsim::Scenario::fromJson(config);
    if (parser.isSet("cheap"))
        scenario.cheap = true;
    Camsim::Simulator simulator(scenario);
    simulator.setPrintLog(!parser.isSet("quiet"));
    if (!simulator.start(quint16(parser.value("port-base").toUInt()))) {
        std::fprintf(stderr, "camsim: %s\n", qPrintable(simulator.errorString()));
        return 1;
    }
    if (parser.isSet("workdir") && !simulator.writeWorkDir(parser.value("workdir"))) {
        std::fprintf(stderr, "camsim: cannot write the working folder %s\n", qPrintable(parser.value("workdir")));
        return 1;
    }
    std::fprintf(stderr, "camsim: cloud service on %s, control on port %u, local servers on",
                 qPrintable(simulator.cloudUrl().toString()), unsigned(simulator.controlPort()));
    for (quint16 port : simulator.localPorts())
        std::fprintf(stderr, " %u", unsigned(port));
    std::fprintf(stderr, "\n");
    std::signal(SIGTERM, [](int) { QCoreApplication::quit(); });
    std::signal(SIGINT, [](int) { QCoreApplication::quit(); });
    return app.exec();
}
