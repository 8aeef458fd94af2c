#pragma once

#include "storefile.h"
#include "model/apiitemsholder.h"
#include "model/apitypes.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <QTimer>

namespace OrvantaClient::API {
class CloudAPIClient;
}

namespace OrvantaClient::App {

// The process-wide layouts of the account: mirrored from the service, kept in a
// file per account, and pushed back whole whenever the user changes one. On the
// first login of an account the file's layouts are pushed to the service.
class Layouts : public QObject, public API::ApiItemsHolder<API::LayoutPtr, API::layout_id_t>
{
    Q_OBJECT
public:
    static Layouts* instance();
    ~Layouts() override;

    void login();
    void logout();
    // Uploads the layouts, then writes the file.
    void store();
    // The user's deletion: removed and stored like any removal, and told apart
    // from the removals of a refresh or a sign-out by layoutDeleted().
    void deleteLayout(const API::LayoutPtr& layout);

    bool isLoggedIn() const { return m_loggedIn; }
    bool isLoading() const { return m_loading; }
    QString fileName() const { return m_file.fileName(); }

    // The reload period (30 s); tests shorten it.
    void setReloadInterval(int milliseconds);

    // Whether data has the shape of the layouts object of the file or of the
    // service's answer. A wrong one is never taken for an empty list: that list
    // would be pushed or written over the user's layouts.
    static bool hasLayoutsShape(const QJsonObject& data, bool fromService);

signals:
    void layoutsUpdatingStarted();
    void layoutsUpdatingFinished();
    void layoutsUpdatingError();
    void layoutAdded(API::LayoutPtr layout);
    void layoutRemoved(API::LayoutPtr layout);
    void layoutDeleted(API::LayoutPtr layout);

public slots:
    void loadLayoutsFromFile();
    void loadLayoutsFromApi();
    void onLayoutsLoadedFromApi(QJsonObject data);
    void onLayoutsLoadingError();
    void storeLayoutsToApi();
    void storeLayoutsToFile();

protected:
    void onItemAdded(const API::LayoutPtr& layout) override;
    void onItemRemoved(const API::LayoutPtr& layout) override;

private:
    enum class ReadResult { Whole, Partly, Nothing };

    Layouts();
    ReadResult parseLayoutsFile(QJsonObject* data);
    bool readLayoutsFile();
    void merge(const QJsonObject& data);
    void followServer(const API::ServerPtr& server);
    QJsonArray layoutsArray() const;

    API::CloudAPIClient* m_api;
    // A thousand layouts of sixteen cameras take some 2 MB.
    StoreFile m_file{8 * 1024 * 1024};
    bool m_storeFailureTold = false;
    bool m_loggedIn = false;
    bool m_loading = false;
    QTimer m_reloadTimer;
};

} // namespace OrvantaClient::App
