#pragma once

#include "model/apitypes.h"

#include <QFrame>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QStackedWidget;

namespace OrvantaClient::API {
class CloudAPIClient;
}

namespace OrvantaClient::GUI {

class SpinnerWidget;

// The settings page of the side bar: account, language, export folder, the
// local player switch, local servers, version and the update check.
class SideBarSettings : public QFrame
{
    Q_OBJECT
public:
    enum UpdatePage { CheckingPage = 0, LatestPage = 1, NewVersionPage = 2, UnavailablePage = 3 };

    explicit SideBarSettings(QWidget* parent = nullptr);

    UpdatePage updatePage() const;
    // Whether offered is a newer release than current: the parts before the
    // first "-" are compared number by number over the shorter of the two.
    static bool isNewerVersion(const QString& offered, const QString& current);

signals:
    void signoutClicked();
    // In local mode, instead of signing out: back to the sign-in window.
    void cloudSignInClicked();
    void updatesFound(QString version);

public slots:
    void editServer(API::ServerPtr server);
    void checkForUpdates();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private slots:
    void on_languageBox_currentIndexChanged(int index);
    void on_addServerButton_clicked();
    void on_changePathButton_clicked();
    void on_openPathButton_clicked();
    void on_useFramepumpBox_toggled(bool checked);
    void onUpdatesFound(QString version);
    void onUpdatesError();

private:
    // The ids of the local servers already added, which a new one may not take.
    static QStringList localServerIds();
    QWidget* buildUpdateArea();
    // The account's e-mail and "Sign out", or what applies after a local start.
    void showAccount();
    void showExportPath();
    void releaseClient();

    QLabel* m_email;
    // The account's parts, and those shown instead after a local start.
    QList<QWidget*> m_cloudOnly;
    QList<QWidget*> m_localOnly;
    QComboBox* m_languageBox;
    QWidget* m_restartArea;
    QLabel* m_exportPath;
    QString m_exportPathText;
    QPushButton* m_openPathButton;
    QCheckBox* m_useFramepumpBox;
    QStackedWidget* m_updateArea;
    SpinnerWidget* m_updateSpinner;
    API::CloudAPIClient* m_updateClient = nullptr;
};

} // namespace OrvantaClient::GUI
