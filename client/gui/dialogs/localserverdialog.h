#pragma once

#include <QDialog>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace OrvantaClient::API {
class LocalServer;
}

namespace OrvantaClient::GUI {

// Asks for the address, port, name and password of a video server on the
// user's network and hands back a new local server item. OK is refused, with
// the reason shown, while the entries cannot make a usable server.
class LocalServerDialog : public QDialog
{
    Q_OBJECT
public:
    // Pre-filled from server when one is given, else with this computer's address.
    explicit LocalServerDialog(const API::LocalServer* server = nullptr, QWidget* parent = nullptr);

    // Null when cancelled. takenIds are the ids ("host:port") of the local
    // servers already added; a second server at one of them is refused.
    static std::shared_ptr<API::LocalServer> addServer(const QStringList& takenIds = {});
    static std::shared_ptr<API::LocalServer> editServer(const API::LocalServer& server,
                                                       const QStringList& takenIds = {});

    void setTakenIds(const QStringList& ids);
    // Why the entries cannot be accepted, or empty when they can.
    QString validationError() const;

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
    QLabel* m_error;
    QString m_ownId; // the id of the server being edited, which it may keep
    QStringList m_takenIds;
};

} // namespace OrvantaClient::GUI
