#include "wakeinhibitor.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDebug>
#include <QFileInfo>

namespace OrvantaClient::App {

namespace {

const QString service = QStringLiteral("org.freedesktop.ScreenSaver");
const QString path = QStringLiteral("/org/freedesktop/ScreenSaver");

bool serviceAvailable()
{
    // Without a known session bus, libdbus would try to autolaunch one, which
    // can stall the start-up; there is then nothing to inhibit anyway.
    const QByteArray runtimeDir = qgetenv("XDG_RUNTIME_DIR");
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")
        && (runtimeDir.isEmpty() || !QFileInfo::exists(QString::fromLocal8Bit(runtimeDir) + QStringLiteral("/bus"))))
        return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    return bus.interface()->isServiceRegistered(service).value();
}

} // namespace

WakeInhibitor::WakeInhibitor(QObject* parent)
    : QObject(parent)
{
}

WakeInhibitor::~WakeInhibitor()
{
    release();
}

void WakeInhibitor::inhibit(const QString& applicationName, const QString& reason)
{
    if (m_active || !serviceAvailable())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, service, QStringLiteral("Inhibit"));
    call << applicationName << reason;
    const QDBusReply<uint> reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 2000);
    if (!reply.isValid()) {
        qDebug() << "Cannot keep the display awake:" << reply.error().message();
        return;
    }
    m_cookie = reply.value();
    m_active = true;
}

void WakeInhibitor::release()
{
    if (!m_active)
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, service, QStringLiteral("UnInhibit"));
    call << m_cookie;
    QDBusConnection::sessionBus().call(call, QDBus::NoBlock);
    m_active = false;
}

} // namespace OrvantaClient::App
