#pragma once

#include "httptestserver.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// A scratch working folder whose "deployment.ini" points the service's API and
// streaming hosts at one loopback test server. Create it before anything reads
// the deployment values (they are read once per process).
class LoopbackService
{
public:
    LoopbackService()
    {
        QDir::setCurrent(dir.path());
        QFile ini(QStringLiteral("deployment.ini"));
        ini.open(QIODevice::WriteOnly);
        const QByteArray base = server.url().toEncoded();
        ini.write("[service]\napi=" + base + "\nstreaming=" + base + "\nweb=" + base + "\n");
    }

    QTemporaryDir dir;
    HttpTestServer server;
};
