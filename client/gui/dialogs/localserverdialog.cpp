#include "localserverdialog.h"

#include "core/constants.h"
#include "model/localserver.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QDebug>
#include <QGroupBox>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace OrvantaClient::GUI {

namespace {

const QString localHost = QLatin1String(App::Constants::localHostAddress);

// An IPv4 address or a host name: the address goes into stream URLs and the
// server's id as it is, so anything else could never be reached.
bool isUsableHost(const QString& host)
{
    static const QRegularExpression numeric(QStringLiteral("^[0-9.]+$"));
    if (numeric.match(host).hasMatch())
        return host.count(QLatin1Char('.')) == 3 && QHostAddress(host).protocol() == QAbstractSocket::IPv4Protocol;
    static const QRegularExpression name(
        QStringLiteral("^(?=.{1,253}$)[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?"
                       "(\\.[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?)*$"));
    return name.match(host).hasMatch();
}

} // namespace

LocalServerDialog::LocalServerDialog(const API::LocalServer* server, QWidget* parent)
    : QDialog(parent)
    , m_thisComputer(new QRadioButton(tr("The video server is installed on this computer")))
    , m_foreignHost(new QRadioButton(tr("The video server is in my local network")))
    , m_host(new QLineEdit(localHost))
    , m_port(new QLineEdit(QStringLiteral("8080")))
    , m_name(new QLineEdit)
    , m_password(new QLineEdit)
    , m_showPassword(new QCheckBox(tr("Show password")))
    , m_error(new QLabel)
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowTitle(server ? tr("Edit a local video server") : tr("Add a local video server"));
    setFixedSize(480, 330);

    m_foreignHost->setObjectName(QStringLiteral("foreignHost"));
    m_showPassword->setObjectName(QStringLiteral("showPassword"));
    m_host->setObjectName(QStringLiteral("host"));
    m_port->setObjectName(QStringLiteral("port"));
    m_name->setObjectName(QStringLiteral("name"));
    m_password->setObjectName(QStringLiteral("password"));
    m_error->setObjectName(QStringLiteral("error"));
    m_error->setStyleSheet(QStringLiteral("color: rgb(253, 56, 56);"));
    m_error->setWordWrap(true);
    m_error->hide();
    m_thisComputer->setChecked(true);
    m_host->setEnabled(false);
    m_password->setEchoMode(QLineEdit::Password);

    auto* location = new QGroupBox(tr("Video server location"));
    auto* locationLayout = new QVBoxLayout(location);
    locationLayout->addWidget(m_thisComputer);
    locationLayout->addWidget(m_foreignHost);

    auto* form = new QFormLayout;
    form->addRow(tr("Video server's IP address:"), m_host);
    form->addRow(tr("Port:"), m_port);
    form->addRow(tr("Name:"), m_name);
    form->addRow(tr("Password:"), m_password);
    form->addRow(QString(), m_showPassword);

    auto* buttonBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttonBox->setObjectName(QStringLiteral("buttonBox"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(location);
    layout->addLayout(form);
    layout->addStretch();
    layout->addWidget(m_error);
    layout->addWidget(buttonBox);

    QMetaObject::connectSlotsByName(this);

    if (server) {
        m_name->setText(server->name());
        m_host->setText(server->host());
        m_port->setText(QString::number(server->port()));
        m_password->setText(server->password());
        if (server->host() != localHost)
            m_foreignHost->setChecked(true);
        m_ownId = server->id();
    }
    for (QLineEdit* edit : {m_host, m_port, m_name})
        connect(edit, &QLineEdit::textEdited, m_error, &QWidget::hide);
}

std::shared_ptr<API::LocalServer> LocalServerDialog::addServer(const QStringList& takenIds)
{
    LocalServerDialog dialog;
    dialog.setTakenIds(takenIds);
    return run(dialog);
}

std::shared_ptr<API::LocalServer> LocalServerDialog::editServer(const API::LocalServer& server,
                                                                const QStringList& takenIds)
{
    LocalServerDialog dialog(&server);
    dialog.setTakenIds(takenIds);
    return run(dialog);
}

void LocalServerDialog::setTakenIds(const QStringList& ids)
{
    m_takenIds = ids;
}

QString LocalServerDialog::validationError() const
{
    const QString host = m_foreignHost->isChecked() ? m_host->text().trimmed() : localHost;
    if (host.isEmpty())
        return tr("Enter the video server's IP address or host name");
    if (!isUsableHost(host))
        return tr("\"%1\" is not an IP address or a host name").arg(host);
    bool ok = false;
    const int port = m_port->text().trimmed().toInt(&ok, 10);
    if (!ok || port < 1 || port > 65535)
        return tr("The port must be a number from 1 to 65535");
    if (m_name->text().trimmed().isEmpty())
        return tr("Enter a name for the video server");
    const QString id = host + QLatin1Char(':') + QString::number(port);
    if (id != m_ownId && m_takenIds.contains(id))
        return tr("A video server at %1 is already added").arg(id);
    return {};
}

std::shared_ptr<API::LocalServer> LocalServerDialog::run(LocalServerDialog& dialog)
{
    dialog.exec();
    return dialog.localServer();
}

std::shared_ptr<API::LocalServer> LocalServerDialog::localServer() const
{
    if (QDialog::result() != QDialog::Accepted)
        return {};
    // An address pasted with a blank around it would make a server id and
    // stream URLs that can never work.
    const QString host = m_foreignHost->isChecked() ? m_host->text().trimmed() : localHost;
    bool ok = false;
    int port = m_port->text().trimmed().toInt(&ok, 10);
    if (!ok)
        port = 0;
    return std::make_shared<API::LocalServer>(m_name->text().trimmed(), host, port, m_password->text());
}

void LocalServerDialog::on_buttonBox_accepted()
{
    const QString error = validationError();
    if (!error.isEmpty()) {
        qDebug() << "Local server dialog refused:" << error;
        m_error->setText(error);
        m_error->show();
        return;
    }
    accept();
}

void LocalServerDialog::on_buttonBox_rejected()
{
    reject();
}

void LocalServerDialog::on_foreignHost_toggled(bool checked)
{
    m_host->setEnabled(checked);
}

void LocalServerDialog::on_showPassword_toggled(bool checked)
{
    m_password->setEchoMode(checked ? QLineEdit::Normal : QLineEdit::Password);
}

} // namespace OrvantaClient::GUI
