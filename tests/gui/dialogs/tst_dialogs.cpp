#include "loopbackservice.h"
#include "core/settings.h"
#include "gui/dialogs/camerasettingsdialog.h"
#include "gui/dialogs/localserverdialog.h"
#include "model/camera.h"
#include "model/localserver.h"
#include "resources/resources.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QJsonArray>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

using namespace OrvantaClient;
using namespace OrvantaClient::GUI;

class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    void serverDialogResult_data();
    void serverDialogResult();
    void serverDialogCancelled();
    void serverDialogRefusesUnusableEntries_data();
    void serverDialogRefusesUnusableEntries();
    void editServerPrefills_data();
    void editServerPrefills();
    void cameraRotation_data();
    void cameraRotation();
    void cameraWithoutOwnerRightKeepsItsRotation();

private:
    LoopbackService m_service; // also the scratch working folder of the settings file
};

// Addresses other than this computer's are taken from the loopback range too:
// the items these tests make could start asking their servers for streams.
void TestDialogs::serverDialogResult_data()
{
    QTest::addColumn<bool>("foreign");
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("expectedHost");
    QTest::addColumn<int>("expectedPort");
    QTest::newRow("defaults") << false << QString() << QString() << "127.0.0.1" << 8080;
    QTest::newRow("port 80a") << false << QString() << "80a" << "127.0.0.1" << 0;
    QTest::newRow("local network") << true << "127.0.0.2" << "9000" << "127.0.0.2" << 9000;
    QTest::newRow("address typed, then this computer chosen")
        << false << "127.0.0.2" << QString() << "127.0.0.1" << 8080;
    QTest::newRow("blanks around the address") << true << " 127.0.0.3 " << QString() << "127.0.0.3" << 8080;
}

void TestDialogs::serverDialogResult()
{
    QFETCH(bool, foreign);
    QFETCH(QString, host);
    QFETCH(QString, port);
    QFETCH(QString, expectedHost);
    QFETCH(int, expectedPort);
    LocalServerDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Add a local video server"));
    QCOMPARE(dialog.size(), QSize(480, 330));
    QVERIFY(!dialog.findChild<QLineEdit*>("host")->isEnabled());
    dialog.findChild<QRadioButton*>("foreignHost")->setChecked(foreign);
    QCOMPARE(dialog.findChild<QLineEdit*>("host")->isEnabled(), foreign);
    if (!host.isEmpty())
        dialog.findChild<QLineEdit*>("host")->setText(host);
    if (!port.isEmpty())
        dialog.findChild<QLineEdit*>("port")->setText(port);
    dialog.accept();

    const auto server = dialog.localServer();
    QVERIFY(server);
    QCOMPARE(server->host(), expectedHost);
    QCOMPARE(server->port(), expectedPort);
    QCOMPARE(server->id(), expectedHost + ':' + QString::number(expectedPort));
    QCOMPARE(server->name(), QString());
    QCOMPARE(server->password(), QString());
}

void TestDialogs::serverDialogCancelled()
{
    LocalServerDialog dialog;
    QVERIFY(!dialog.localServer()); // neither accepted nor rejected yet
    dialog.findChild<QLineEdit*>("name")->setText("Shop");
    dialog.reject();
    QVERIFY(!dialog.localServer());
}

void TestDialogs::serverDialogRefusesUnusableEntries_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("error");
    QTest::newRow("no address") << "  " << "8080" << "Shop" << "Enter the video server's IP address or host name";
    QTest::newRow("not an address") << "cam era" << "8080" << "Shop" << "\"cam era\" is not an IP address or a host name";
    QTest::newRow("bad IP") << "192.168.1.300" << "8080" << "Shop"
                            << "\"192.168.1.300\" is not an IP address or a host name";
    QTest::newRow("port 0") << "127.0.0.2" << "0" << "Shop" << "The port must be a number from 1 to 65535";
    QTest::newRow("port 99999") << "127.0.0.2" << "99999" << "Shop" << "The port must be a number from 1 to 65535";
    QTest::newRow("port 80a") << "127.0.0.2" << "80a" << "Shop" << "The port must be a number from 1 to 65535";
    QTest::newRow("blank name") << "127.0.0.2" << "8080" << "   " << "Enter a name for the video server";
    QTest::newRow("taken") << "127.0.0.2" << "9000" << "Shop" << "A video server at 127.0.0.2:9000 is already added";
    QTest::newRow("host name") << "nvr-1.lan" << "65535" << " Shop " << QString();
    QTest::newRow("the edited server's own place") << "127.0.0.3" << "81" << "Shop" << QString();
}

void TestDialogs::serverDialogRefusesUnusableEntries()
{
    QFETCH(QString, host);
    QFETCH(QString, port);
    QFETCH(QString, name);
    QFETCH(QString, error);
    const API::LocalServer edited("Old", "127.0.0.3", 81, "secret");
    LocalServerDialog dialog(&edited);
    dialog.setTakenIds({"127.0.0.2:9000", "127.0.0.3:81"});
    dialog.findChild<QRadioButton*>("foreignHost")->setChecked(true);
    dialog.findChild<QLineEdit*>("host")->setText(host);
    dialog.findChild<QLineEdit*>("port")->setText(port);
    dialog.findChild<QLineEdit*>("name")->setText(name);
    auto* errorLabel = dialog.findChild<QLabel*>("error");
    dialog.findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->click();
    if (!error.isEmpty()) {
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.localServer());
        QVERIFY(!errorLabel->isHidden());
        QCOMPARE(errorLabel->text(), error);
        // Typing again takes the reason away until the next try.
        QTest::keyClick(dialog.findChild<QLineEdit*>("name"), Qt::Key_X);
        QVERIFY(errorLabel->isHidden());
        return;
    }
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(errorLabel->isHidden());
    QCOMPARE(dialog.localServer()->id(), host + ':' + port);
    QCOMPARE(dialog.localServer()->name(), QStringLiteral("Shop"));
}

void TestDialogs::editServerPrefills_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<bool>("foreign");
    QTest::newRow("this computer") << "127.0.0.1" << false;
    QTest::newRow("local network") << "127.0.0.5" << true;
}

void TestDialogs::editServerPrefills()
{
    QFETCH(QString, host);
    QFETCH(bool, foreign);
    const API::LocalServer server("Shop", host, 81, "secret");
    LocalServerDialog dialog(&server);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Edit a local video server"));
    QCOMPARE(dialog.findChild<QRadioButton*>("foreignHost")->isChecked(), foreign);
    QCOMPARE(dialog.findChild<QLineEdit*>("host")->isEnabled(), foreign);
    QCOMPARE(dialog.findChild<QLineEdit*>("host")->text(), host);
    QCOMPARE(dialog.findChild<QLineEdit*>("port")->text(), QStringLiteral("81"));

    dialog.accept();
    const auto edited = dialog.localServer();
    QCOMPARE(edited->id(), server.id());
    QCOMPARE(edited->name(), QStringLiteral("Shop"));
    QCOMPARE(edited->password(), QStringLiteral("secret"));
}

void TestDialogs::cameraRotation_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("turns"); // "+" clockwise, "-" counterclockwise
    QTest::addColumn<int>("stored");
    QTest::newRow("counterclockwise twice") << 0 << "--" << -180;
    QTest::newRow("clockwise five times") << 0 << "+++++" << 90;
    QTest::newRow("four turns back to 0") << 0 << "++++" << 0;
    QTest::newRow("from 270 one clockwise") << 270 << "+" << 0;
}

void TestDialogs::cameraRotation()
{
    QFETCH(int, start);
    QFETCH(QString, turns);
    QFETCH(int, stored);
    const QString key = QStringLiteral("cameras/127.0.0.4:80/3/rotation");
    App::Settings::instance().setValue(key, start);
    API::LocalServer local("Shop", "127.0.0.4", 80, "pw");
    local.updateCameras(QJsonArray{QJsonObject{{"id", 3}, {"online", true}, {"mirror", true}}});
    const API::CameraPtr camera = local.item(3);
    QCOMPARE(camera->rotation(), start);

    CameraSettingsDialog dialog(camera);
    auto* clockwise = dialog.findChild<QToolButton*>("clockwise");
    auto* counterclockwise = dialog.findChild<QToolButton*>("counterclockwise");
    QVERIFY(clockwise->isEnabled() && counterclockwise->isEnabled());
    for (QChar turn : turns)
        (turn == '+' ? clockwise : counterclockwise)->click();
    QCOMPARE(camera->rotation(), start); // nothing changes before OK
    dialog.apply();
    QCOMPARE(camera->rotation(), stored);
    QCOMPARE(App::Settings::instance().value(key).toInt(), stored);
    QVERIFY(camera->mirror());
}

void TestDialogs::cameraWithoutOwnerRightKeepsItsRotation()
{
    API::Server cloud(QJsonObject{
        {"id", "srv-1"},
        {"online", true},
        {"cameras", QJsonArray{QJsonObject{{"id", 7}, {"online", true}, {"rotation", 90}, {"rights", QJsonArray{"live"}}}}}});
    const API::CameraPtr camera = cloud.item(7);
    CameraSettingsDialog dialog(camera);
    QVERIFY(!dialog.findChild<QToolButton*>("clockwise")->isEnabled());
    QVERIFY(!dialog.findChild<QToolButton*>("counterclockwise")->isEnabled());

    QSignalSpy received(&m_service.server, &HttpTestServer::requestReceived);
    dialog.apply();
    QCOMPARE(camera->rotation(), 90);
    QVERIFY(received.wait(20000));
    const HttpTestServer::Request request = m_service.server.requests().last();
    QCOMPARE(request.path, QByteArray("/public/servers/srv-1/cameras/7/rotation"));
    QVERIFY2(request.body.contains("degrees=90"), request.body.constData());
}

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    registerResources();
    TestDialogs test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dialogs.moc"
