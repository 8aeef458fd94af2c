#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

namespace OrvantaClient::App {

// Where the service lives: the API host, the streaming host and the web host.
// The built-in values are fixed at build time; an optional system-wide file
// (/etc/watchdesk/deployment.ini) and then an optional "deployment.ini" in the
// working folder (group [service], keys api, streaming and web, each a base URL
// scheme://host[:port]) replace each value they hold, the latter winning.
class Deployment
{
public:
    // Built-in values overridden by the file, when it exists.
    explicit Deployment(const QString& iniFileName);
    // Each file in turn over the built-in values: a later file's value wins.
    explicit Deployment(const QStringList& iniFileNames);

    // The values of the system-wide file and of "deployment.ini" in the working
    // folder, read on first use.
    static const Deployment& instance();

    QUrl api() const { return m_api; }
    QUrl streaming() const { return m_streaming; }
    QUrl web() const { return m_web; }

    // The URL's port, or the default port of its scheme.
    static int portOf(const QUrl& url);

private:
    void apply(const QString& iniFileName);

    QUrl m_api;
    QUrl m_streaming;
    QUrl m_web;
};

} // namespace OrvantaClient::App
