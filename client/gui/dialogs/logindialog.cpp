#include "logindialog.h"

#include "api/cloudapiclient.h"
#include "core/constants.h"
#include "core/settings.h"
#include "gui/widgets/cloudtooltip.h"
#include "gui/widgets/spinnerwidget.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDebug>
#include <QEvent>
#include <QFormLayout>
#include <QGraphicsOpacityEffect>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace OrvantaClient::GUI {

namespace {

enum AlertPage {
    WrongPassword = 0,
    UsingProxy = 1,
    ProxyDetected = 2,
    BadAnswer = 3,
    ServiceUnavailable = 4,
    ServiceUnreachable = 5,
    TooManyAttempts = 6,
};

// Only a refusal of the credentials asks the user to retype them; an outage
// or a garbled answer would make a correct password look wrong.
int failurePage(int errorCode)
{
    switch (errorCode) {
    case 10001: // could not sign in
    case 10006: // no such user
        return WrongPassword;
    case 10016:
        return TooManyAttempts;
    case -2:
        return BadAnswer;
    case -4:
        return ServiceUnreachable;
    default:
        return ServiceUnavailable;
    }
}

QLabel* link(const QString& text)
{
    auto* label = new QLabel(QStringLiteral("<a href=\"#\" style=\"color: rgb(62, 183, 253);\">%1</a>").arg(text));
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    return label;
}

QLabel* alertLabel(const QString& text, const QString& colour)
{
    auto* label = new QLabel(text);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setStyleSheet(QStringLiteral("background-color: %1; color: white; padding: 8px;").arg(colour));
    return label;
}

// The application opens the web pages; this widget only asks for them.
void askApplication(const char* slot)
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), slot);
}

} // namespace

LoginDialog::LoginDialog(QWidget* parent)
    : QStackedWidget(parent)
{
    setWindowTitle(QString::fromLatin1(App::Constants::applicationName));
    addWidget(buildLoginPage());
    addWidget(buildSettingsPage());

    connect(m_useProxy, &QCheckBox::toggled, this, &LoginDialog::setUseProxy);
    connect(m_loginButton, &QPushButton::clicked, this, &LoginDialog::tryLogin);
    connect(m_email, &QLineEdit::returnPressed, this, &LoginDialog::tryLogin);
    connect(m_password, &QLineEdit::returnPressed, this, &LoginDialog::tryLogin);
    connect(m_forgotLink, &QLabel::linkActivated, this, [] { askApplication("openPasswordRecoveryPage"); });
    connect(m_signUpLink, &QLabel::linkActivated, this, [] { askApplication("openSignUpPage"); });
    connect(m_localStartLink, &QLabel::linkActivated, this, &LoginDialog::startLocally);
    connect(m_email, &QLineEdit::textChanged, this, &LoginDialog::setupLoginButton);
    connect(m_password, &QLineEdit::textChanged, this, &LoginDialog::setupLoginButton);
    connect(m_dontRemember, &QCheckBox::toggled, this, [](bool dontRemember) {
        if (dontRemember)
            App::Settings::instance().remove(QStringLiteral("auth/password"));
    });

    loadSettings();
    updateProxyAlert();
    setupLoginButton();
    fitHeight();
    setFixedWidth(360);
}

QWidget* LoginDialog::buildLoginPage()
{
    auto* page = new QWidget;
    auto* box = new QVBoxLayout(page);
    box->setContentsMargins(30, 20, 30, 20);
    box->setSpacing(10);

    auto* top = new QHBoxLayout;
    top->addStretch();
    m_settingsButton = new QPushButton(QStringLiteral("⚙"));
    m_settingsButton->setObjectName(QStringLiteral("settingsButton"));
    m_settingsButton->setFlat(true);
    m_settingsButton->setProperty("tip", tr("Change your account settings"));
    m_settingsButton->installEventFilter(this);
    connect(m_settingsButton, &QPushButton::clicked, this, &LoginDialog::on_settingsButton_clicked);
    top->addWidget(m_settingsButton);
    box->addLayout(top);

    auto* logo = new QLabel;
    logo->setAlignment(Qt::AlignCenter);
    logo->setPixmap(QPixmap(QStringLiteral(":/login/login/icons/") + QLatin1String(App::Constants::internalName)
                            + QStringLiteral("_logo.png"))
                        .scaled(96, 96, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    box->addWidget(logo);

    m_alert = new QStackedWidget;
    m_alert->addWidget(alertLabel(tr("Wrong email address or password"), QStringLiteral("rgb(253, 56, 56)")));
    m_alert->addWidget(alertLabel(tr("Using proxy server"), QStringLiteral("rgb(56, 189, 253)")));
    auto* detected = new QWidget;
    auto* detectedBox = new QHBoxLayout(detected);
    detectedBox->setContentsMargins(0, 0, 0, 0);
    detectedBox->addWidget(alertLabel(tr("Proxy server detected"), QStringLiteral("rgb(56, 189, 253)")), 1);
    QLabel* setup = link(tr("Proxy setup"));
    connect(setup, &QLabel::linkActivated, this, &LoginDialog::on_setupProxyButton_clicked);
    detectedBox->addWidget(setup);
    m_alert->addWidget(detected);
    m_alert->addWidget(alertLabel(tr("Unexpected answer from the service"),
                                  QStringLiteral("rgb(253, 56, 56)")));
    m_alert->addWidget(alertLabel(tr("The service is unavailable. Please try again later"),
                                  QStringLiteral("rgb(253, 56, 56)")));
    m_alert->addWidget(alertLabel(tr("Cannot reach the service. Check your internet connection and proxy settings"),
                                  QStringLiteral("rgb(253, 56, 56)")));
    m_alert->addWidget(alertLabel(tr("Too many sign-in attempts. Please try again in 30 seconds"),
                                  QStringLiteral("rgb(253, 56, 56)")));
    m_alert->hide();
    box->addWidget(m_alert);

    m_email = new QLineEdit;
    m_email->setObjectName(QStringLiteral("email"));
    m_email->setPlaceholderText(tr("Email address"));
    m_password = new QLineEdit;
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setPlaceholderText(tr("Password"));
    m_password->setEchoMode(QLineEdit::Password);
    m_dontRemember = new QCheckBox(tr("Don't remember me"));
    m_dontRemember->setObjectName(QStringLiteral("dontRemember"));
    box->addWidget(m_email);
    box->addWidget(m_password);
    box->addWidget(m_dontRemember);

    m_loginButtonPages = new QStackedWidget;
    m_loginButton = new QPushButton(tr("Sign in"));
    m_loginButton->setObjectName(QStringLiteral("loginButton"));
    m_loginButton->setGraphicsEffect(new QGraphicsOpacityEffect(m_loginButton));
    auto* spinnerPage = new QWidget;
    auto* spinnerBox = new QHBoxLayout(spinnerPage);
    m_spinner = new SpinnerWidget;
    m_spinner->setColor(QColor(62, 183, 253));
    spinnerBox->addStretch();
    spinnerBox->addWidget(m_spinner);
    spinnerBox->addStretch();
    m_loginButtonPages->addWidget(m_loginButton);
    m_loginButtonPages->addWidget(spinnerPage);
    m_loginButtonPages->setFixedHeight(36);
    box->addWidget(m_loginButtonPages);

    auto* links = new QHBoxLayout;
    m_forgotLink = link(tr("Forgot your password?"));
    m_signUpLink = link(tr("Sign up"));
    links->addWidget(m_forgotLink);
    links->addStretch();
    links->addWidget(m_signUpLink);
    box->addLayout(links);
    // The same local start as the settings page offers, where a first-time user sees it.
    m_localStartLink = link(tr("Work without an account (local servers only)"));
    m_localStartLink->setObjectName(QStringLiteral("localStartLink"));
    m_localStartLink->setAlignment(Qt::AlignCenter);
    box->addWidget(m_localStartLink);
    box->addStretch();
    return page;
}

QWidget* LoginDialog::buildSettingsPage()
{
    auto* page = new QWidget;
    auto* box = new QVBoxLayout(page);
    box->setContentsMargins(30, 20, 30, 20);
    auto* title = new QLabel(tr("Account settings"));
    title->setStyleSheet(QStringLiteral("font-size: 16px;"));
    box->addWidget(title);

    m_defaultSettings = new QRadioButton(tr("Default settings"));
    m_defaultSettings->setProperty("tip", tr("Sign in using your %1 account").arg(QLatin1String(App::Constants::applicationName)));
    m_localAuthorization = new QRadioButton(tr("Local authorization"));
    m_localAuthorization->setObjectName(QStringLiteral("localAuthorization"));
    m_localAuthorization->setProperty("tip", tr("You can still sign in to watch local feeds without Internet access"));
    m_useProxy = new QCheckBox(tr("Using proxy server"));
    m_useProxy->setObjectName(QStringLiteral("useProxy"));
    m_useProxy->setProperty("tip", tr("Use if the Internet is only accessible via proxy in your network"));
    for (QWidget* widget : {static_cast<QWidget*>(m_defaultSettings), static_cast<QWidget*>(m_localAuthorization),
                            static_cast<QWidget*>(m_useProxy)}) {
        widget->installEventFilter(this);
        box->addWidget(widget);
    }

    m_proxyFields = new QWidget;
    auto* form = new QFormLayout(m_proxyFields);
    m_proxyHost = new QLineEdit;
    m_proxyHost->setObjectName(QStringLiteral("proxyHost"));
    m_proxyPort = new QLineEdit;
    m_proxyPort->setObjectName(QStringLiteral("proxyPort"));
    m_proxyUser = new QLineEdit;
    m_proxyPassword = new QLineEdit;
    m_proxyPassword->setEchoMode(QLineEdit::Password);
    form->addRow(tr("Host"), m_proxyHost);
    form->addRow(tr("Port"), m_proxyPort);
    form->addRow(tr("Username"), m_proxyUser);
    form->addRow(tr("Password"), m_proxyPassword);
    box->addWidget(m_proxyFields);
    box->addStretch();

    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(tr("Done"));
    ok->setObjectName(QStringLiteral("okButton"));
    auto* cancel = new QPushButton(tr("Cancel"));
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(ok, &QPushButton::clicked, this, &LoginDialog::on_okButton_clicked);
    connect(cancel, &QPushButton::clicked, this, &LoginDialog::on_cancelButton_clicked);
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addWidget(ok);
    box->addLayout(buttons);
    return page;
}

bool LoginDialog::isRememberMe() const
{
    return !m_dontRemember->isChecked();
}

QString LoginDialog::alertText() const
{
    if (m_alert->isHidden())
        return QString();
    if (auto* label = qobject_cast<QLabel*>(m_alert->currentWidget()))
        return label->text();
    return tr("Proxy server detected");
}

QString LoginDialog::loginButtonText() const
{
    return m_loginButton->text();
}

bool LoginDialog::isLoginButtonEnabled() const
{
    return m_loginButton->isEnabled();
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
    m_defaultSettings->setChecked(true);
    loadProxySettings();
}

void LoginDialog::loadProxySettings()
{
    App::Settings& settings = App::Settings::instance();
    const bool useProxy = settings.value(QStringLiteral("proxy/useProxy"), false).toBool();
    m_useProxy->setChecked(useProxy);
    setUseProxy(useProxy);
    if (useProxy) {
        m_proxyHost->setText(settings.value(QStringLiteral("proxy/host")).toString());
        m_proxyPort->setText(settings.value(QStringLiteral("proxy/port")).toString());
        m_proxyUser->setText(settings.value(QStringLiteral("proxy/username")).toString());
        m_proxyPassword->setText(settings.value(QStringLiteral("proxy/password")).toString());
    }
}

void LoginDialog::storeProxySettings()
{
    App::Settings& settings = App::Settings::instance();
    settings.setValue(QStringLiteral("proxy/useProxy"), m_useProxy->isChecked());
    if (!m_useProxy->isChecked())
        return; // the old host and credentials stay for when it is checked again
    settings.setValue(QStringLiteral("proxy/host"), m_proxyHost->text());
    settings.setValue(QStringLiteral("proxy/port"), m_proxyPort->text());
    settings.setValue(QStringLiteral("proxy/username"), m_proxyUser->text());
    settings.setValue(QStringLiteral("proxy/password"), m_proxyPassword->text());
}

void LoginDialog::updateProxyAlert()
{
    if (App::Settings::instance().value(QStringLiteral("proxy/useProxy"), false).toBool())
        showAlert(UsingProxy);
    else
        hideAlert();
}

void LoginDialog::showAlert(int page)
{
    m_alert->setCurrentIndex(page);
    m_alert->show();
    fitHeight();
}

void LoginDialog::hideAlert()
{
    m_alert->hide();
    fitHeight();
}

void LoginDialog::fitHeight()
{
    if (currentIndex() == 1)
        setFixedHeight(m_useProxy->isChecked() ? settingsHeightWithProxy : settingsHeight);
    else
        setFixedHeight(m_alert->isHidden() && !m_useProxy->isChecked() ? loginHeight : loginHeightWithAlert);
}

void LoginDialog::setupLoginButton()
{
    const bool enabled = !m_email->text().isEmpty() && (!m_password->text().isEmpty() || m_localAuth);
    if (enabled != m_buttonEnabled || m_loginButton->isEnabled() != enabled) {
        m_buttonEnabled = enabled;
        m_loginButton->setEnabled(enabled);
        auto* fade = new QPropertyAnimation(m_loginButton->graphicsEffect(), "opacity", m_loginButton);
        fade->setDuration(100);
        fade->setEndValue(enabled ? 1.0 : 0.5);
        fade->start(QAbstractAnimation::DeleteWhenStopped);
    }
    m_loginButton->setText(m_localAuth ? tr("Local start") : tr("Sign in"));
}

void LoginDialog::setInputsEnabled(bool enabled)
{
    for (QWidget* widget : {static_cast<QWidget*>(m_email), static_cast<QWidget*>(m_password),
                            static_cast<QWidget*>(m_dontRemember), static_cast<QWidget*>(m_forgotLink),
                            static_cast<QWidget*>(m_signUpLink), static_cast<QWidget*>(m_localStartLink),
                            static_cast<QWidget*>(m_settingsButton)})
        widget->setEnabled(enabled);
    m_loginButtonPages->setCurrentIndex(enabled ? 0 : 1);
    if (enabled)
        m_spinner->stop();
    else
        m_spinner->start();
}

void LoginDialog::tryLogin()
{
    App::Settings& settings = App::Settings::instance();
    if (m_localAuth) {
        settings.setValue(QStringLiteral("auth/email"), m_email->text());
        emit loginSuccessful();
        return;
    }
    if (m_email->text().isEmpty() || m_password->text().isEmpty())
        return;
    settings.setValue(QStringLiteral("auth/email"), m_email->text());
    const bool saveAuth = !m_dontRemember->isChecked() && !m_localAuth;
    settings.setValue(QStringLiteral("auth/saveAuth"), saveAuth);
    if (saveAuth) {
        qDebug() << "Saving auth to" << settings.fileName();
        settings.setValue(QStringLiteral("auth/password"), m_password->text());
    } else {
        // A password remembered by an earlier sign-in must not stay in the
        // file once the user asked not to be remembered.
        settings.remove(QStringLiteral("auth/password"));
    }
    storeProxySettings();

    setInputsEnabled(false);
    if (!m_alert->isHidden() && m_alert->currentIndex() != UsingProxy)
        hideAlert();
    auto* client = new API::CloudAPIClient(this);
    connect(client, &API::CloudAPIClient::loginSuccess, this, [this, client] {
        setInputsEnabled(true);
        client->deleteLater();
        emit loginSuccessful();
    });
    connect(client, &API::CloudAPIClient::loginFailed, this, [this, client](int errorCode) {
        setInputsEnabled(true);
        showAlert(failurePage(errorCode));
        m_password->setFocus();
        client->deleteLater();
    });
    client->tryLogin(m_email->text(), m_password->text());
}

void LoginDialog::setUseProxy(bool visible)
{
    m_proxyFields->setVisible(visible);
    fitHeight();
}

void LoginDialog::setAuthLinesEnabled(bool enabled)
{
    m_password->setEnabled(enabled);
}

void LoginDialog::setLocalAuth(bool localAuth)
{
    if (localAuth == m_localAuth)
        return;
    m_localAuth = localAuth;
    setAuthLinesEnabled(!localAuth);
    setupLoginButton();
}

void LoginDialog::startLocally()
{
    setLocalAuth(true);
    tryLogin();
}

void LoginDialog::on_settingsButton_clicked()
{
    (m_localAuth ? m_localAuthorization : m_defaultSettings)->setChecked(true);
    loadProxySettings();
    slideTo(1);
}

void LoginDialog::on_setupProxyButton_clicked()
{
    loadProxySettings();
    slideTo(1);
}

void LoginDialog::on_okButton_clicked()
{
    storeProxySettings();
    setLocalAuth(m_localAuthorization->isChecked());
    updateProxyAlert();
    slideTo(0);
}

void LoginDialog::on_cancelButton_clicked()
{
    updateProxyAlert();
    slideTo(0);
}

void LoginDialog::slideTo(int page)
{
    if (page == currentIndex())
        return;
    QWidget* from = currentWidget();
    QWidget* to = widget(page);
    const int direction = page > currentIndex() ? 1 : -1;
    to->setGeometry(from->geometry().translated(direction * width(), 0));
    to->show();
    to->raise();
    auto* group = new QParallelAnimationGroup(this);
    for (auto [widget, endX] : {std::make_pair(from, -direction * width()), std::make_pair(to, 0)}) {
        auto* slide = new QPropertyAnimation(widget, "pos");
        slide->setDuration(200);
        slide->setEndValue(QPoint(endX, 0));
        group->addAnimation(slide);
    }
    connect(group, &QAbstractAnimation::finished, this, [this, page, from] {
        setCurrentIndex(page);
        from->move(0, 0);
        fitHeight();
    });
    group->start(QAbstractAnimation::DeleteWhenStopped);
}

bool LoginDialog::eventFilter(QObject* watched, QEvent* event)
{
    // Hovering the settings button or a choice shows what it is for.
    if (auto* widget = qobject_cast<QWidget*>(watched)) {
        if (event->type() == QEvent::Enter)
            CloudToolTip::showText(widget->property("tip").toString(), widget->mapToGlobal(QPoint(widget->width() / 2, -5)),
                                   this);
        else if (event->type() == QEvent::Leave)
            CloudToolTip::hideText();
    }
    return QStackedWidget::eventFilter(watched, event);
}

} // namespace OrvantaClient::GUI
