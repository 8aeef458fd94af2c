#include "localserverdialog.h"

#include "core/constants.h"
#include "model/localserver.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace OrvantaClient::GUI {

namespace {

const QString localHost = QLatin1String(App::Constants::localHostAddress);

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
    layout->addWidget(buttonBox);

    QMetaObject::connectSlotsByName(this);

    if (server) {
        m_name->setText(server->name());
        m_host->setText(server->host());
        m_port->setText(QString::number(server->port()));
        m_password->setText(server->password());
        if (server->host() != localHost)
            m_foreignHost->setChecked(true);
    }
}

std::shared_ptr<API::LocalServer> LocalServerDialog::addServer()
{
    LocalServerDialog dialog;
    return run(dialog);
}

std::shared_ptr<API::LocalServer> LocalServerDialog::editServer(const API::LocalServer& server)
{
    LocalServerDialog dialog(&server);
    return run(dialog);
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
    int port = m_port->text().toInt(&ok, 10);
    if (!ok)
        port = 0;
    return std::make_shared<API::LocalServer>(m_name->text(), host, port, m_password->text());
}

void LocalServerDialog::on_buttonBox_accepted()
{
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
