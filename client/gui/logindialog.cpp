#include "logindialog.h"

#include "cloudapiclient.h"
#include "constants.h"
#include "settings.h"

#include <QCheckBox>
#include <QDebug>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace OrvantaClient::GUI {

LoginDialog::LoginDialog(QWidget* parent)
    : QStackedWidget(parent)
    , m_email(new QLineEdit)
    , m_password(new QLineEdit)
    , m_dontRemember(new QCheckBox(tr("Don't remember me")))
    , m_loginButton(new QPushButton(tr("Sign in")))
{
    setWindowTitle(QString::fromLatin1(App::Constants::applicationName));

    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* logo = new QLabel;
    logo->setAlignment(Qt::AlignCenter);
    logo->setPixmap(QPixmap(QStringLiteral(":/login/login/icons/") + QLatin1String(App::Constants::internalName)
                            + QStringLiteral("_logo.png"))
                        .scaled(96, 96, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    m_email->setPlaceholderText(tr("Email address"));
    m_password->setPlaceholderText(tr("Password"));
    m_password->setEchoMode(QLineEdit::Password);
    layout->addWidget(logo);
    layout->addWidget(m_email);
    layout->addWidget(m_password);
    layout->addWidget(m_dontRemember);
    layout->addWidget(m_loginButton);
    addWidget(page);

    connect(m_loginButton, &QPushButton::clicked, this, &LoginDialog::tryLogin);
    connect(m_email, &QLineEdit::returnPressed, this, &LoginDialog::tryLogin);
    connect(m_password, &QLineEdit::returnPressed, this, &LoginDialog::tryLogin);
    connect(m_email, &QLineEdit::textChanged, this, &LoginDialog::setupLoginButton);
    connect(m_password, &QLineEdit::textChanged, this, &LoginDialog::setupLoginButton);

    loadSettings();
    setupLoginButton();
    resize(360, 420);
}

bool LoginDialog::isRememberMe() const
{
    return !m_dontRemember->isChecked();
}

void LoginDialog::loadSettings()
{
    App::Settings& settings = App::Settings::instance();
    qDebug() << "Loading settings from " << settings.fileName();
    m_email->setText(settings.value(QStringLiteral("auth/email")).toString());
    const bool saveAuth = settings.value(QStringLiteral("auth/saveAuth"), true).toBool();
    m_dontRemember->setChecked(!saveAuth);
    if (saveAuth)
        m_password->setText(settings.value(QStringLiteral("auth/password")).toString());
}

void LoginDialog::setupLoginButton()
{
    m_loginButton->setEnabled(!m_email->text().isEmpty() && !m_password->text().isEmpty());
}

void LoginDialog::tryLogin()
{
    if (m_email->text().isEmpty() || m_password->text().isEmpty())
        return;
    App::Settings& settings = App::Settings::instance();
    settings.setValue(QStringLiteral("auth/email"), m_email->text());
    const bool saveAuth = !m_dontRemember->isChecked();
    settings.setValue(QStringLiteral("auth/saveAuth"), saveAuth);
    if (saveAuth) {
        qDebug() << "Saving auth to" << settings.fileName();
        settings.setValue(QStringLiteral("auth/password"), m_password->text());
    }
    setEnabled(false);
    auto* client = new API::CloudAPIClient(this);
    connect(client, &API::CloudAPIClient::loginSuccess, this, [this, client] {
        setEnabled(true);
        client->deleteLater();
        emit loginSuccessful();
    });
    connect(client, &API::CloudAPIClient::loginFailed, this, [this, client] {
        setEnabled(true);
        client->deleteLater();
        m_password->setFocus();
    });
    client->tryLogin(m_email->text(), m_password->text());
}

} // namespace OrvantaClient::GUI
