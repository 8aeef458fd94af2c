#include "sidebarsettings.h"

#include "api/cloudapiclient.h"
#include "core/cellnames.h"
#include "core/languageloader.h"
#include "core/settings.h"
#include "core/storagepaths.h"
#include "gui/dialogs/localserverdialog.h"
#include "gui/widgets/spinnerwidget.h"
#include "model/localserver.h"
#include "stores/roster.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace OrvantaClient::GUI {

namespace {

QLabel* caption(const QString& text)
{
    auto* label = new QLabel(text);
    label->setObjectName(QStringLiteral("settingsCaption"));
    return label;
}

QLabel* note(const QString& text)
{
    auto* label = new QLabel(text);
    label->setObjectName(QStringLiteral("settingsNote"));
    label->setWordWrap(true);
    return label;
}

QFrame* separator()
{
    auto* line = new QFrame;
    line->setObjectName(QStringLiteral("settingsSeparator"));
    line->setFixedHeight(1);
    return line;
}

QString releasePart(const QString& version)
{
    return version.section(QLatin1Char('-'), 0, 0);
}

} // namespace

SideBarSettings::SideBarSettings(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("sideBarSettings"));
    setStyleSheet(QStringLiteral(
        "#settingsCaption { color: rgb(107, 114, 128); font-size: 11px; font-weight: bold; }"
        "#settingsNote { color: rgb(107, 114, 128); font-size: 12px; }"
        "#settingsSeparator { background: rgb(229, 231, 235); }"
        "QPushButton { background: white; border: 1px solid rgb(209, 213, 219); border-radius: 6px;"
        " padding: 5px 12px; color: rgb(31, 41, 55); }"
        "QPushButton:hover { border-color: rgb(147, 197, 253); }"
        "QPushButton:disabled { color: rgb(156, 163, 175); }"
        "#signoutButton { color: rgb(220, 38, 38); }"
        "#downloadButton, #restartButton { background: rgb(59, 130, 246); border-color: rgb(59, 130, 246);"
        " color: white; }"));

    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(10);

    box->addWidget(caption(tr("Account")));
    // The address on a line of its own: a long one would push the button away.
    m_email = new QLabel;
    m_email->setObjectName(QStringLiteral("emailLabel"));
    m_email->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_email->setTextInteractionFlags(Qt::TextSelectableByMouse);
    box->addWidget(m_email);
    auto* signout = new QPushButton(tr("Sign out"));
    signout->setObjectName(QStringLiteral("signoutButton"));
    connect(signout, &QPushButton::clicked, this, &SideBarSettings::signoutClicked);
    box->addWidget(signout, 0, Qt::AlignLeft);
    // A local start has no account: what it can show, and the way to the cloud.
    // In the e-mail's place and look.
    auto* localNote = new QLabel(tr("Local mode: cameras of your own network only"));
    localNote->setObjectName(QStringLiteral("localModeNote"));
    localNote->setWordWrap(true);
    box->addWidget(localNote);
    auto* cloudSignIn = new QPushButton(tr("Sign in to the cloud"));
    cloudSignIn->setObjectName(QStringLiteral("cloudSignInButton"));
    connect(cloudSignIn, &QPushButton::clicked, this, &SideBarSettings::cloudSignInClicked);
    box->addWidget(cloudSignIn, 0, Qt::AlignLeft);
    m_cloudOnly = {m_email, signout};
    m_localOnly = {localNote, cloudSignIn};
    box->addWidget(separator());

    box->addWidget(caption(tr("Language")));
    m_languageBox = new QComboBox;
    m_languageBox->setObjectName(QStringLiteral("languageBox"));
    m_languageBox->addItem(QStringLiteral("English"));
    m_languageBox->addItem(QStringLiteral("Русский"));
    m_languageBox->setCurrentIndex(App::LanguageLoader::chosen().left(2) == QLatin1String("ru") ? 1 : 0);
    connect(m_languageBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &SideBarSettings::on_languageBox_currentIndexChanged);
    box->addWidget(m_languageBox);
    m_restartArea = new QWidget;
    m_restartArea->setObjectName(QStringLiteral("restartArea"));
    auto* restartBox = new QVBoxLayout(m_restartArea);
    restartBox->setContentsMargins(0, 0, 0, 0);
    restartBox->addWidget(note(tr("Restart required for the changes to take effect")));
    auto* restart = new QPushButton(tr("Restart now"));
    restart->setObjectName(QStringLiteral("restartButton"));
    connect(restart, &QPushButton::clicked, this,
            [] { QMetaObject::invokeMethod(QCoreApplication::instance(), "restart"); });
    restartBox->addWidget(restart, 0, Qt::AlignLeft);
    m_restartArea->hide();
    box->addWidget(m_restartArea);
    box->addWidget(separator());

    box->addWidget(caption(tr("Video")));
    auto* names = new QCheckBox(tr("Always show camera names"));
    names->setObjectName(QStringLiteral("cameraNamesBox"));
    App::CellNames& cellNames = App::CellNames::instance();
    names->setChecked(cellNames.alwaysShown());
    connect(names, &QCheckBox::toggled, &cellNames, &App::CellNames::setAlwaysShown);
    // The Settings page of another window may change it too.
    connect(&cellNames, &App::CellNames::alwaysShownChanged, names, &QCheckBox::setChecked);
    box->addWidget(names);
    box->addWidget(note(tr("Otherwise a cell shows its camera's name only while the pointer is over it.")));
    box->addWidget(separator());

    box->addWidget(caption(tr("File save location")));
    m_exportPath = new QLabel;
    m_exportPath->setObjectName(QStringLiteral("exportPathLabel"));
    m_exportPath->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_exportPath->setGraphicsEffect(new QGraphicsOpacityEffect(m_exportPath));
    box->addWidget(m_exportPath);
    auto* pathRow = new QHBoxLayout;
    auto* change = new QPushButton(tr("Change"));
    change->setObjectName(QStringLiteral("changePathButton"));
    connect(change, &QPushButton::clicked, this, &SideBarSettings::on_changePathButton_clicked);
    pathRow->addWidget(change);
    m_openPathButton = new QPushButton(tr("Open"));
    m_openPathButton->setObjectName(QStringLiteral("openPathButton"));
    connect(m_openPathButton, &QPushButton::clicked, this, &SideBarSettings::on_openPathButton_clicked);
    pathRow->addWidget(m_openPathButton);
    pathRow->addStretch();
    box->addLayout(pathRow);
    box->addWidget(separator());

    box->addWidget(caption(tr("Local view")));
    m_useFramepumpBox = new QCheckBox(tr("Use optimized player"));
    m_useFramepumpBox->setObjectName(QStringLiteral("useFramepumpBox"));
    m_useFramepumpBox->setChecked(App::Settings::instance().value(QStringLiteral("experimental/framepump"), true).toBool());
    connect(m_useFramepumpBox, &QCheckBox::toggled, this, &SideBarSettings::on_useFramepumpBox_toggled);
    box->addWidget(m_useFramepumpBox);
    box->addWidget(note(tr("The optimized player shows feeds from local cameras with less delay. "
                           "Disable this if your local feed is unstable.")));
    auto* addServer = new QPushButton(tr("Add local server"));
    addServer->setObjectName(QStringLiteral("addServerButton"));
    connect(addServer, &QPushButton::clicked, this, &SideBarSettings::on_addServerButton_clicked);
    box->addWidget(addServer, 0, Qt::AlignLeft);
    box->addWidget(separator());

    auto* versionRow = new QHBoxLayout;
    versionRow->addWidget(caption(tr("Version:")));
    auto* version = new QLabel(QCoreApplication::applicationVersion());
    version->setObjectName(QStringLiteral("versionLabel"));
    versionRow->addWidget(version, 1);
    box->addLayout(versionRow);
    box->addWidget(buildUpdateArea());
    box->addStretch();

    showAccount();
    showExportPath();
    checkForUpdates();
}

QWidget* SideBarSettings::buildUpdateArea()
{
    m_updateArea = new QStackedWidget;
    m_updateArea->setObjectName(QStringLiteral("updateArea"));

    auto* checking = new QWidget;
    auto* checkingBox = new QHBoxLayout(checking);
    checkingBox->setContentsMargins(0, 0, 0, 0);
    m_updateSpinner = new SpinnerWidget;
    m_updateSpinner->setColor(QColor(156, 163, 175));
    checkingBox->addWidget(m_updateSpinner);
    checkingBox->addWidget(note(tr("Check for updates...")), 1);
    m_updateArea->addWidget(checking);

    m_updateArea->addWidget(note(tr("You are using the latest version.")));

    auto* found = new QWidget;
    auto* foundBox = new QVBoxLayout(found);
    foundBox->setContentsMargins(0, 0, 0, 0);
    foundBox->addWidget(note(tr("A new version is available.")));
    auto* download = new QPushButton(tr("Download"));
    download->setObjectName(QStringLiteral("downloadButton"));
    connect(download, &QPushButton::clicked, this,
            [] { QMetaObject::invokeMethod(QCoreApplication::instance(), "openDownloadsPage"); });
    foundBox->addWidget(download, 0, Qt::AlignLeft);
    m_updateArea->addWidget(found);

    m_updateArea->addWidget(note(tr("The update server is not available. Please try again")));
    return m_updateArea;
}

SideBarSettings::UpdatePage SideBarSettings::updatePage() const
{
    return static_cast<UpdatePage>(m_updateArea->currentIndex());
}

bool SideBarSettings::isNewerVersion(const QString& offered, const QString& current)
{
    const QStringList offeredParts = releasePart(offered).split(QLatin1Char('.'));
    const QStringList currentParts = releasePart(current).split(QLatin1Char('.'));
    const int count = qMin(offeredParts.size(), currentParts.size());
    for (int i = 0; i < count; ++i) {
        // toInt() reads anything that is not a number as 0.
        const int offeredPart = offeredParts.at(i).toInt();
        const int currentPart = currentParts.at(i).toInt();
        if (offeredPart != currentPart)
            return offeredPart > currentPart;
    }
    return false;
}

void SideBarSettings::editServer(API::ServerPtr server)
{
    auto* local = server ? dynamic_cast<API::LocalServer*>(server.get()) : nullptr;
    if (!local || !server->isLocal()) {
        qDebug() << "Settings called on non-local server";
        return;
    }
    const std::shared_ptr<API::LocalServer> edited = LocalServerDialog::editServer(*local, localServerIds());
    if (!edited)
        return;
    App::Roster* roster = App::Roster::instance();
    if (edited->id() == server->id()) {
        local->update(*edited);
        local->update();
    } else {
        roster->remove(server);
        if (!edited->exists())
            edited->setExists(true);
        roster->add(edited);
    }
    roster->storeLocalRoster();
}

QStringList SideBarSettings::localServerIds()
{
    QStringList ids;
    for (const API::ServerPtr& server : App::Roster::instance()->items()) {
        if (server->isLocal() && server->exists())
            ids << server->id();
    }
    return ids;
}

void SideBarSettings::checkForUpdates()
{
    m_updateArea->setCurrentIndex(CheckingPage);
    m_updateSpinner->start();
    // One question at a time: its answer serves every showing meanwhile.
    if (m_updateClient)
        return;
    m_updateClient = new API::CloudAPIClient(this);
    connect(m_updateClient, &API::CloudAPIClient::updatesFound, this, &SideBarSettings::onUpdatesFound);
    connect(m_updateClient, &API::CloudAPIClient::updatesError, this, &SideBarSettings::onUpdatesError);
    m_updateClient->checkForUpdates();
}

void SideBarSettings::showEvent(QShowEvent* event)
{
    QFrame::showEvent(event);
    showAccount();
    {
        const QSignalBlocker blocker(m_useFramepumpBox);
        m_useFramepumpBox->setChecked(
            App::Settings::instance().value(QStringLiteral("experimental/framepump"), true).toBool());
    }
    showExportPath();
    checkForUpdates();
}

void SideBarSettings::showAccount()
{
    m_email->setText(App::Settings::instance().value(QStringLiteral("auth/email")).toString());
    m_email->setToolTip(m_email->text());
    const bool local = API::CloudAPIClient::sessionId().isEmpty();
    for (QWidget* widget : qAsConst(m_cloudOnly))
        widget->setVisible(!local);
    for (QWidget* widget : qAsConst(m_localOnly))
        widget->setVisible(local);
}

void SideBarSettings::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    m_exportPath->setText(m_exportPath->fontMetrics().elidedText(m_exportPathText, Qt::ElideMiddle,
                                                                 m_exportPath->width()));
}

void SideBarSettings::on_languageBox_currentIndexChanged(int index)
{
    const QString language = index == 1 ? QStringLiteral("ru") : QStringLiteral("en");
    QMetaObject::invokeMethod(QCoreApplication::instance(), "translate", Q_ARG(QString, language));
    m_restartArea->show();
}

void SideBarSettings::on_addServerButton_clicked()
{
    const std::shared_ptr<API::LocalServer> server = LocalServerDialog::addServer(localServerIds());
    if (!server)
        return;
    if (!server->exists())
        server->setExists(true);
    App::Roster* roster = App::Roster::instance();
    roster->add(server);
    roster->storeLocalRoster();
}

void SideBarSettings::on_changePathButton_clicked()
{
    QPointer<SideBarSettings> self(this);
    // No parent: the page may go away while the dialog runs.
    QFileDialog dialog(nullptr, tr("File save location"), m_exportPathText);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || !self)
        return;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return;
    App::Settings::instance().setValue(QStringLiteral("common/exportPath"), chosen.first());
    showExportPath();
}

void SideBarSettings::on_openPathButton_clicked()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(m_exportPathText));
}

void SideBarSettings::on_useFramepumpBox_toggled(bool checked)
{
    App::Settings::instance().setValue(QStringLiteral("experimental/framepump"), checked);
}

void SideBarSettings::onUpdatesFound(QString version)
{
    const QString current = QCoreApplication::applicationVersion();
    if (isNewerVersion(version, current)) {
        m_updateArea->setCurrentIndex(NewVersionPage);
        emit updatesFound(version);
    } else {
        m_updateArea->setCurrentIndex(LatestPage);
    }
    qDebug() << "Updates: version from API:" << version << "current version:" << releasePart(current);
    releaseClient();
}

void SideBarSettings::onUpdatesError()
{
    m_updateArea->setCurrentIndex(UnavailablePage);
    releaseClient();
}

void SideBarSettings::showExportPath()
{
    m_exportPathText = App::StoragePaths::exportPath();
    const bool exists = QDir(m_exportPathText).exists();
    static_cast<QGraphicsOpacityEffect*>(m_exportPath->graphicsEffect())->setOpacity(exists ? 1.0 : 0.5);
    m_openPathButton->setEnabled(exists);
    m_exportPath->setToolTip(exists ? QString() : tr("Folder does not exist"));
    m_exportPath->setText(m_exportPath->fontMetrics().elidedText(m_exportPathText, Qt::ElideMiddle,
                                                                 qMax(m_exportPath->width(), 50)));
}

void SideBarSettings::releaseClient()
{
    m_updateSpinner->stop();
    if (m_updateClient)
        m_updateClient->deleteLater();
    m_updateClient = nullptr;
}

} // namespace OrvantaClient::GUI
