#include "loopbackservice.h"
#include "core/settings.h"
#include "api/httpclient.h"
#include "gui/dialogs/logindialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

using namespace OrvantaClient;
using GUI::LoginDialog;
using Response = HttpTestServer::Response;

class TestLoginDialog : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void firstStartWaitsWithoutSending();
    void dontRememberKeepsThePasswordOut();
    void localStartNeedsNoPassword();
    void unusableAnswerIsNotAWrongPassword();
    void proxyUncheckedKeepsItsValues();

private:
    template<typename T = QLineEdit>
    T* child(LoginDialog& dialog, const char* name) { return dialog.findChild<T*>(QLatin1String(name)); }
    LoopbackService m_service;
};

void TestLoginDialog::init()
{
    m_service.server.clearRequests();
    for (const char* key : {"auth/email", "auth/password", "auth/saveAuth", "proxy/useProxy"})
        App::Settings::instance().setValue(key, QVariant());
    App::Settings::instance().setValue("auth/saveAuth", true);
}

void TestLoginDialog::firstStartWaitsWithoutSending()
{
    LoginDialog dialog;
    QVERIFY(dialog.isRememberMe());
    QVERIFY(!dialog.isLoginButtonEnabled());
    dialog.tryLogin();
    QTest::qWait(100);
    QVERIFY(m_service.server.requests().isEmpty());
}

void TestLoginDialog::dontRememberKeepsThePasswordOut()
{
    m_service.server.enqueue(Response::json(200, R"({"success":false,"response":{"code":10001}})"));
    // Remembered by an earlier sign-in; turning remembering off forgets it.
    App::Settings::instance().setValue("auth/password", "earlier");
    LoginDialog dialog;
    child(dialog, "email")->setText("user@example.com");
    child(dialog, "password")->setText("secret");
    child<QCheckBox>(dialog, "dontRemember")->setChecked(true);
    QVERIFY(dialog.isLoginButtonEnabled());
    dialog.tryLogin();
    QTRY_COMPARE_WITH_TIMEOUT(dialog.alertText(), QStringLiteral("Wrong email address or password"), 20000);
    QCOMPARE(App::Settings::instance().value("auth/saveAuth").toBool(), false);
    QVERIFY(App::Settings::instance().value("auth/password").toString().isEmpty());
    QCOMPARE(m_service.server.requests().size(), 1);
    App::Settings::instance().sync();
    QVERIFY(!QSettings(App::Settings::instance().fileName(), QSettings::IniFormat).contains("auth/password"));

    LoginDialog next;
    QVERIFY(!next.isRememberMe());
    QVERIFY(child(next, "password")->text().isEmpty());
}

void TestLoginDialog::unusableAnswerIsNotAWrongPassword()
{
    // Each failure that is not a refusal of the credentials says what happened,
    // so that nobody retypes a correct password during an outage.
    const QByteArray loopTarget = m_service.server.url().toEncoded() + "/public/sessions";
    const struct
    {
        Response response;
        QString alert;
    } cases[] = {
        {Response::json(200, R"({"success":true,"response":{"session_id":17}})"),
         QStringLiteral("Unexpected answer from the service")},
        {Response::raw(200, "{not json", "application/json"), QStringLiteral("Unexpected answer from the service")},
        {Response::json(500, R"({"error":"down"})"), QStringLiteral("The service is unavailable. Please try again later")},
        {Response::redirect(302, loopTarget), QStringLiteral("The service is unavailable. Please try again later")},
        {Response::json(200, R"({"success":false,"response":{"code":10016}})"),
         QStringLiteral("Too many sign-in attempts. Please try again in 30 seconds")},
        {Response::silent(),
         QStringLiteral("Cannot reach the service. Check your internet connection and proxy settings")},
    };
    const int timeout = API::HTTPClient::defaultTransferTimeout();
    API::HTTPClient::setDefaultTransferTimeout(1000);
    for (const auto& c : cases) {
        // A redirect loop is answered the same way every time round.
        const Response response = c.response;
        m_service.server.setHandler([response](const HttpTestServer::Request&) { return response; });
        LoginDialog dialog;
        QSignalSpy success(&dialog, &LoginDialog::loginSuccessful);
        child(dialog, "email")->setText("user@example.com");
        child(dialog, "password")->setText("secret");
        dialog.tryLogin();
        QTRY_VERIFY_WITH_TIMEOUT(dialog.isLoginButtonEnabled() && !dialog.alertText().isEmpty(), 20000);
        QCOMPARE(dialog.alertText(), c.alert);
        QCOMPARE(success.count(), 0);
    }
    API::HTTPClient::setDefaultTransferTimeout(timeout);
    m_service.server.setHandler({});
}

void TestLoginDialog::localStartNeedsNoPassword()
{
    LoginDialog dialog;
    child(dialog, "email")->setText("me@home");
    child<QRadioButton>(dialog, "localAuthorization")->setChecked(true);
    dialog.on_okButton_clicked();
    QCOMPARE(dialog.loginButtonText(), QStringLiteral("Local start"));
    QVERIFY(dialog.isLoginButtonEnabled());
    QSignalSpy success(&dialog, &LoginDialog::loginSuccessful);
    dialog.tryLogin();
    QCOMPARE(success.count(), 1);
    QVERIFY(m_service.server.requests().isEmpty());
    QCOMPARE(App::Settings::instance().value("auth/email").toString(), QStringLiteral("me@home"));

    // The same start from a link on the sign-in page itself, in one click.
    LoginDialog first;
    first.show();
    QVERIFY(QTest::qWaitForWindowExposed(&first));
    child(first, "email")->setText("other@home");
    auto* link = child<QLabel>(first, "localStartLink");
    QVERIFY(link->isVisible() && link->height() >= link->sizeHint().height()); // the fixed height leaves it room
    QSignalSpy started(&first, &LoginDialog::loginSuccessful);
    QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
    QCOMPARE(started.count(), 1);
    QVERIFY(m_service.server.requests().isEmpty());
    QCOMPARE(App::Settings::instance().value("auth/email").toString(), QStringLiteral("other@home"));
}

void TestLoginDialog::proxyUncheckedKeepsItsValues()
{
    LoginDialog dialog;
    auto* useProxy = child<QCheckBox>(dialog, "useProxy");
    useProxy->setChecked(true);
    child(dialog, "proxyHost")->setText("proxy.lan");
    child(dialog, "proxyPort")->setText("3128");
    dialog.on_okButton_clicked();
    QCOMPARE(dialog.alertText(), QStringLiteral("Using proxy server"));
    useProxy->setChecked(false);
    dialog.on_okButton_clicked();
    QCOMPARE(App::Settings::instance().value("proxy/useProxy").toBool(), false);
    QCOMPARE(App::Settings::instance().value("proxy/host").toString(), QStringLiteral("proxy.lan"));
    QCOMPARE(dialog.alertText(), QString());

    useProxy->setChecked(true);
    dialog.on_setupProxyButton_clicked(); // reloads what is stored
    QCOMPARE(child(dialog, "proxyPort")->text(), QStringLiteral("3128"));
}

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestLoginDialog test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_logindialog.moc"
