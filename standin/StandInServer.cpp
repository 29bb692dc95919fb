#include "StandInServer.h"

#include "AccountApi.h"
#include "CatalogueApi.h"
#include "CommonApi.h"
#include "DesignStoreApi.h"
#include "HttpListener.h"
#include "RecordApi.h"
#include "StandInState.h"

#include <QRegularExpression>

#include <chrono>
#include <cstdio>
#include <httplib.h>

namespace standin {

namespace {
const int kJournalLength = 1000;
const QString kApiPrefix = QStringLiteral("/api/");
// The library's own multipart reader drops the name of a part whose
// Content-Disposition ends in ";", which object stores accept. Such bodies
// are handed over raw under a disguised type and read by MultipartForm.
const std::string kMultipart = "multipart/form-data";
const std::string kDisguise = "x-standin-";
} // namespace

StandInServer::StandInServer(const QString& dataFolder)
    : m_state(std::make_unique<StandInState>(dataFolder))
    , m_accountApi(std::make_unique<AccountApi>(*m_state))
    , m_commonApi(std::make_unique<CommonApi>(*m_state))
    , m_catalogueApi(std::make_unique<CatalogueApi>(*m_state))
    , m_recordApi(std::make_unique<RecordApi>(*m_state))
    , m_designStoreApi(std::make_unique<DesignStoreApi>(*m_state))
{
    m_accountApi->addRoutes(m_routes);
    m_commonApi->addRoutes(m_routes);
    m_catalogueApi->addRoutes(m_routes);
    m_recordApi->addRoutes(m_routes);
    m_designStoreApi->addRoutes(m_routes);
}

StandInServer::~StandInServer()
{
    stop();
}

bool StandInServer::start(int port)
{
    m_listener.reset();
    m_server = std::make_unique<httplib::Server>();
    m_server->set_keep_alive_timeout(1);
    // Tests run many programs at once under sanitizers; a slow client is not
    // a broken one.
    m_server->set_read_timeout(30, 0);
    // Headers and body go out in separate writes; without this every reply
    // waits for the client's delayed acknowledgement.
    m_server->set_tcp_nodelay(true);
    m_server->set_pre_routing_handler([](const httplib::Request& request, httplib::Response&) {
        auto& headers = const_cast<httplib::Request&>(request).headers;
        auto type = headers.find("Content-Type");
        if (type != headers.end() && type->second.rfind(kMultipart, 0) == 0)
            type->second = kDisguise + type->second;
        return httplib::Server::HandlerResponse::Unhandled;
    });
    const auto withBody
        = [this](const httplib::Request& request, httplib::Response& response, const httplib::ContentReader& reader) {
              std::string body;
              const bool complete = reader([&body](const char* data, size_t length) {
                  body.append(data, length);
                  return true;
              });
              // A body cut short must not be judged as a request that lacks
              // its fields.
              if (!complete) {
                  response.status = 400;
                  response.set_content("{\"error\":\"incomplete request body\"}", "application/json");
                  return;
              }
              serve(request, response, body);
          };
    const auto withoutBody = [this](const httplib::Request& request, httplib::Response& response) {
        serve(request, response, request.body);
    };
    m_server->Get(".*", withoutBody);
    m_server->Delete(".*", withoutBody);
    m_server->Post(".*", withBody);
    m_server->Put(".*", withBody);
    m_server->Delete(".*", withBody);

    m_listener = std::make_unique<HttpListener>(*m_server);
    m_port = m_listener->listen(port);
    return m_port > 0;
}

void StandInServer::stop()
{
    if (m_listener)
        m_listener->stop();
}

void StandInServer::wait()
{
    if (m_listener)
        m_listener->wait();
}

void StandInServer::setVerbose(bool verbose)
{
    m_verbose = verbose;
}

QString StandInServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1/").arg(m_port);
}

QString StandInServer::apiBase() const
{
    return baseUrl() + kApiPrefix.mid(1);
}

QString StandInServer::uploadEndpoint(int number) const
{
    return baseUrl() + QStringLiteral("upload/%1/").arg(number);
}

QString StandInServer::storeDownloadBase() const
{
    return baseUrl() + QStringLiteral("files/");
}

QList<QPair<QByteArray, QString>> StandInServer::environment() const
{
    return { { "ZOCUT_API_BASE", apiBase() }, { "ZOCUT_DESIGN_HOST", baseUrl() }, { "ZOCUT_DESIGN_HOST_2", baseUrl() },
        { "ZOCUT_DESIGN_HOST_3", baseUrl() }, { "ZOCUT_IMAGE_HOST", baseUrl() },
        { "ZOCUT_UPLOAD_ENDPOINT_1", uploadEndpoint(1) }, { "ZOCUT_UPLOAD_ENDPOINT_2", uploadEndpoint(2) },
        { "ZOCUT_UPLOAD_ENDPOINT_3", uploadEndpoint(3) }, { "ZOCUT_STORE_DOWNLOAD", storeDownloadBase() } };
}

void StandInServer::serve(const httplib::Request& request, httplib::Response& response, const std::string& body)
{
    StandInRequest received;
    received.method = QByteArray::fromStdString(request.method);
    received.target = QByteArray::fromStdString(request.target);
    for (const auto& header : request.headers) {
        std::string value = header.second;
        if (value.rfind(kDisguise, 0) == 0)
            value.erase(0, kDisguise.size());
        received.headers.append(qMakePair(QByteArray::fromStdString(header.first), QByteArray::fromStdString(value)));
    }
    received.body = QByteArray::fromStdString(body);
    received.decode();

    StandInReply reply;
    int delay = 0;
    {
        std::lock_guard<std::mutex> locker(m_lock);
        record(received);
        reply = m_canned.contains(received.path) ? m_canned.value(received.path) : dispatch(received);
        delay = m_delays.take(received.path);
    }
    if (delay > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    if (m_verbose)
        std::fprintf(stderr, "%s %s -> %d\n", request.method.c_str(), request.target.c_str(), reply.status);
    response.status = reply.status;
    response.set_content(reply.body.toStdString(), reply.contentType.toStdString());
}

void StandInServer::record(const StandInRequest& request)
{
    m_journal.append(request);
    while (m_journal.size() > kJournalLength)
        m_journal.removeFirst();
}

StandInReply StandInServer::dispatch(const StandInRequest& request)
{
    static const QRegularExpression uploadPath(QStringLiteral("^/upload/([123])/?$"));
    if (request.method == "POST" && request.path.startsWith(kApiPrefix)) {
        const auto route = m_routes.constFind(request.path.mid(kApiPrefix.size()));
        return route == m_routes.constEnd() ? StandInReply::notFound() : (*route)(request);
    }
    const QRegularExpressionMatch upload = uploadPath.match(request.path);
    if (request.method == "POST" && upload.hasMatch()) {
        QString stored;
        const StandInReply reply = m_state->objects.upload(request, upload.captured(1).toInt(), &stored);
        if (!stored.isEmpty())
            m_state->note(QStringLiteral("stored ") + stored);
        return reply;
    }
    if (request.method == "GET" && !request.path.startsWith(kApiPrefix))
        return getFile(request);
    return StandInReply::notFound();
}

// The design-data host, the image host and the store's public downloads.
StandInReply StandInServer::getFile(const StandInRequest& request) const
{
    static const QRegularExpression design(QStringLiteral("^/designs/([a-z_]+)\\.(pdb|png)$"));
    const QString path = request.path;
    if (path == QLatin1String("/"))
        return StandInReply::file("ZoCut stand-in\n", "text/plain");
    if (path == QLatin1String("/images/homeicon.png"))
        return StandInReply::file(FixtureDesigns::homeIcon(), "image/png");
    if (path == QLatin1String("/uploads/wutu.png"))
        return StandInReply::file(FixtureDesigns::placeholder(), "image/png");
    const QRegularExpressionMatch match = design.match(path);
    if (match.hasMatch() && m_state->designs.contains(match.captured(1))) {
        if (match.captured(2) == QLatin1String("png"))
            return StandInReply::file(m_state->designs.preview(match.captured(1)), "image/png");
        return StandInReply::file(m_state->designs.package(match.captured(1)), "application/octet-stream");
    }
    if (path.startsWith(QLatin1String("/files/")))
        return m_state->objects.download(path.mid(7));
    // Packages uploaded by the template batch are served beside the fixture's.
    return m_state->objects.download(path.mid(1));
}

QList<StandInRequest> StandInServer::journal() const
{
    std::lock_guard<std::mutex> locker(m_lock);
    return m_journal;
}

int StandInServer::requestCount(const QString& path) const
{
    std::lock_guard<std::mutex> locker(m_lock);
    int count = 0;
    for (const StandInRequest& request : m_journal)
        count += request.path == path ? 1 : 0;
    return count;
}

StandInRequest StandInServer::lastRequest(const QString& path) const
{
    std::lock_guard<std::mutex> locker(m_lock);
    for (int i = m_journal.size() - 1; i >= 0; --i) {
        if (m_journal.at(i).path == path)
            return m_journal.at(i);
    }
    return StandInRequest();
}

void StandInServer::clearJournal()
{
    std::lock_guard<std::mutex> locker(m_lock);
    m_journal.clear();
    m_state->events.clear();
}

QStringList StandInServer::events() const
{
    std::lock_guard<std::mutex> locker(m_lock);
    return m_state->events;
}

void StandInServer::setCannedReply(
    const QString& path, int status, const QByteArray& body, const QByteArray& contentType)
{
    std::lock_guard<std::mutex> locker(m_lock);
    StandInReply reply;
    reply.status = status;
    reply.body = body;
    reply.contentType = contentType;
    m_canned.insert(path, reply);
}

void StandInServer::clearCannedReplies()
{
    std::lock_guard<std::mutex> locker(m_lock);
    m_canned.clear();
}

void StandInServer::delayNext(const QString& path, int milliseconds)
{
    std::lock_guard<std::mutex> locker(m_lock);
    m_delays.insert(path, milliseconds);
}

void StandInServer::resetFixture()
{
    std::lock_guard<std::mutex> locker(m_lock);
    m_state->loadFixture();
}

void StandInServer::setLatestVersion(const QString& version)
{
    std::lock_guard<std::mutex> locker(m_lock);
    m_state->latestVersion = version;
}

QString StandInServer::issueToken(const QString& mobile)
{
    std::lock_guard<std::mutex> locker(m_lock);
    const Accounts::Account* account = m_state->accounts.byMobile(mobile);
    return account ? m_state->accounts.issueToken(*account) : QString();
}

QByteArray StandInServer::storedObject(const QString& bucket, const QString& key) const
{
    std::lock_guard<std::mutex> locker(m_lock);
    return m_state->objects.object(bucket, key);
}

} // namespace standin
