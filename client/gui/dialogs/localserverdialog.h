#pragma once

#include <QDialog>
#include <memory>

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace OrvantaClient::API {
class LocalServer;
}

namespace OrvantaClient::GUI {

// Asks for the address, port, name and password of a video server on the
// user's network and hands back a new local server item. Nothing is validated
// here: the roster decides what to do with the item.
class LocalServerDialog : public QDialog
{
    Q_OBJECT
public:
    // Pre-filled from server when one is given, else with this computer's address.
    explicit LocalServerDialog(const API::LocalServer* server = nullptr, QWidget* parent = nullptr);

    // Null when cancelled.
    static std::shared_ptr<API::LocalServer> addServer();
    static std::shared_ptr<API::LocalServer> editServer(const API::LocalServer& server);

    // The item the entered values describe once the dialog is accepted, else null.
    std::shared_ptr<API::LocalServer> localServer() const;

private slots:
    void on_buttonBox_accepted();
    void on_buttonBox_rejected();
    void on_foreignHost_toggled(bool checked);
    void on_showPassword_toggled(bool checked);

private:
    static std::shared_ptr<API::LocalServer> run(LocalServerDialog& dialog);

    QRadioButton* m_thisComputer;
    QRadioButton* m_foreignHost;
    QLineEdit* m_host;
    QLineEdit* m_port;
    QLineEdit* m_name;
    QLineEdit* m_password;
    QCheckBox* m_showPassword;
};

} // namespace OrvantaClient::GUI
