#pragma once

#include "StandInReply.h"
#include "StandInRequest.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

#include <memory>
#include <mutex>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

namespace standin {

class AccountApi;
class HttpListener;
class CatalogueApi;
class CommonApi;
class DesignStoreApi;
class RecordApi;
struct StandInState;

// A local stand-in for the program's online services, on 127.0.0.1: the web
// API (under "api/"), the design-data host and image host (at the root), and
// the cloud object store (upload endpoints "upload/1/" to "upload/3/", public
// downloads under "files/"). It serves its fixture data, checks what the
// real services check, and keeps uploads in its data folder. Requests are
// handled on the server's own threads, one at a time.
class StandInServer
{
public:
    explicit StandInServer(const QString& dataFolder);
    ~StandInServer();
    StandInServer(const StandInServer&) = delete;
    StandInServer& operator=(const StandInServer&) = delete;

    // Listens on 127.0.0.1; port 0 takes a free one. False when it cannot.
    bool start(int port = 0);
    void stop();
    // Blocks until the server stops.
    void wait();
    // Prints one line per request to standard error.
    void setVerbose(bool verbose);

    int port() const { return m_port; }
    QString baseUrl() const;
    QString apiBase() const;
    QString uploadEndpoint(int number) const;
    QString storeDownloadBase() const;
    // The environment (name, value) that points the program at this server.
    QList<QPair<QByteArray, QString>> environment() const;

    // What clients sent, oldest first (the latest 1000 requests).
    QList<StandInRequest> journal() const;
    int requestCount(const QString& path) const;
    StandInRequest lastRequest(const QString& path) const;
    void clearJournal();
    // What the services did with the requests, in order: objects stored,
    // designs saved, imports reported (see StandInState::events).
    QStringList events() const;

    // Answers every request for the path with this reply, as a misbehaving
    // deployment would, until cleared.
    void setCannedReply(const QString& path, int status, const QByteArray& body,
        const QByteArray& contentType = QByteArrayLiteral("application/json"));
    void clearCannedReplies();
    // Holds back the reply to the next request for the path by this long,
    // as a slow network would; other requests are served meanwhile.
    void delayNext(const QString& path, int milliseconds);

    // Undoes what clients changed: passwords, deleted and shared records,
    // tokens handed out. Uploads stay.
    void resetFixture();
    // The version that the update check offers.
    void setLatestVersion(const QString& version);
    // Signs the account in, as its sign-in would; empty for an unknown account.
    QString issueToken(const QString& mobile);
    QByteArray storedObject(const QString& bucket, const QString& key) const;

private:
    void serve(const httplib::Request& request, httplib::Response& response, const std::string& body);
    StandInReply dispatch(const StandInRequest& request);
    StandInReply getFile(const StandInRequest& request) const;
    void record(const StandInRequest& request);

    std::unique_ptr<httplib::Server> m_server;
    std::unique_ptr<HttpListener> m_listener;
    int m_port = 0;
    bool m_verbose = false;

    mutable std::mutex m_lock;
    std::unique_ptr<StandInState> m_state;
    QHash<QString, std::function<StandInReply(const StandInRequest&)>> m_routes;
    std::unique_ptr<AccountApi> m_accountApi;
    std::unique_ptr<CommonApi> m_commonApi;
    std::unique_ptr<CatalogueApi> m_catalogueApi;
    std::unique_ptr<RecordApi> m_recordApi;
    std::unique_ptr<DesignStoreApi> m_designStoreApi;
    QList<StandInRequest> m_journal;
    QHash<QString, StandInReply> m_canned;
    QHash<QString, int> m_delays;
};

} // namespace standin
