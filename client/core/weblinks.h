#pragma once

#include <QString>
#include <QUrl>

namespace OrvantaClient::App {

// The pages of the service's web site that the client opens in the browser.
class WebLinks
{
public:
    // https://<web host>/<page>?lang=<language>
    static QUrl page(const QString& pageName, const QString& language);

    static QUrl downloads(const QString& language);
    static QUrl passwordRecovery(const QString& language);
    static QUrl signUp(const QString& language);

    // The paid-plan page for one cloud camera; "_go" carries what the page
    // needs to configure the plan for it.
    static QUrl addingCameraTariff(const QString& language, const QString& serverId, int cameraId,
                                   const QString& sessionId);
};

} // namespace OrvantaClient::App
