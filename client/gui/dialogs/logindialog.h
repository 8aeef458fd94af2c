#pragma once

#include <QStackedWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace OrvantaClient::GUI {

class SpinnerWidget;

// The first window of a session: the account's e-mail and password, or a local
// start without the cloud, and the proxy settings. It emits loginSuccessful()
// when the session may begin.
class LoginDialog : public QStackedWidget
{
    Q_OBJECT
public:
    explicit LoginDialog(QWidget* parent = nullptr);

    // The "Don't remember me" box is unchecked: the remembered user signs in at once.
    bool isRememberMe() const;

    // What the form shows, for tests and the application.
    QString alertText() const;
    QString loginButtonText() const;
    bool isLoginButtonEnabled() const;

    static constexpr int settingsHeightWithProxy = 550;
    static constexpr int settingsHeight = 385;
    static constexpr int loginHeight = 413;
    static constexpr int loginHeightWithAlert = 451;

signals:
    void loginSuccessful();

public slots:
    void tryLogin();
    void setUseProxy(bool visible);
    void setAuthLinesEnabled(bool enabled);
    void setLocalAuth(bool localAuth);
    // A local start at once, with whatever e-mail is typed (it names the layouts file).
    void startLocally();
    void setupLoginButton();
    void on_settingsButton_clicked();
    void on_setupProxyButton_clicked();
    void on_okButton_clicked();
    void on_cancelButton_clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildLoginPage();
    QWidget* buildSettingsPage();
    void loadSettings();
    void loadProxySettings();
    void storeProxySettings();
    void updateProxyAlert();
    void showAlert(int page);
    void hideAlert();
    void setInputsEnabled(bool enabled);
    void slideTo(int page);
    void fitHeight();

    bool m_localAuth = false;
    QLineEdit* m_email;
    QLineEdit* m_password;
    QCheckBox* m_dontRemember;
    QPushButton* m_loginButton;
    QStackedWidget* m_loginButtonPages;
    SpinnerWidget* m_spinner;
    QStackedWidget* m_alert;
    QLabel* m_forgotLink;
    QLabel* m_signUpLink;
    QLabel* m_localStartLink;
    QPushButton* m_settingsButton;
    QRadioButton* m_defaultSettings;
    QRadioButton* m_localAuthorization;
    QCheckBox* m_useProxy;
    QWidget* m_proxyFields;
    QLineEdit* m_proxyHost;
    QLineEdit* m_proxyPort;
    QLineEdit* m_proxyUser;
    QLineEdit* m_proxyPassword;
    bool m_buttonEnabled = false;
};

} // namespace OrvantaClient::GUI
