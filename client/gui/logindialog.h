#pragma once

#include <QStackedWidget>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace OrvantaClient::GUI {

// The first window of a session: the account's e-mail and password.
class LoginDialog : public QStackedWidget
{
    Q_OBJECT
public:
    explicit LoginDialog(QWidget* parent = nullptr);

    // The "Don't remember me" box is unchecked: the remembered user signs in at once.
    bool isRememberMe() const;

signals:
    void loginSuccessful();

public slots:
    void tryLogin();
    void setupLoginButton();

private:
    void loadSettings();

    QLineEdit* m_email;
    QLineEdit* m_password;
    QCheckBox* m_dontRemember;
    QPushButton* m_loginButton;
};

} // namespace OrvantaClient::GUI
