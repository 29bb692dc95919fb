#include "NestingStandInServer.h"

#include "AbstractService.h"
#include "CommandParameter.h"
#include "HelmFrame.h"
#include "NestingJobFormat.h"
#include "NestingSession.h"
#include "PlacementRunner.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>

#include <algorithm>
#include <vector>

namespace asio = boost::asio;
using asio::ip::tcp;
using namespace Vantor::Placement;

namespace standin {

namespace {
// Codes of the server's failures, in the manner of HTTP.
enum Code { BadRequest = 400, Unauthorised = 401, NotFound = 404, NotReady = 409, Failed = 500 };

QJsonObject failure(int code, const QString& message)
{
    return { { QStringLiteral("_error"), code }, { QStringLiteral("message"), message } };
}

QString stateOf(const PlacementStatus& status)
{
    if (status.running)
        return QStringLiteral("running");
    return status.finished ? QStringLiteral("finished") : QStringLiteral("failed");
}
} // namespace

struct NestingStandInServer::Network
{
    asio::io_context io;
    tcp::acceptor acceptor { io };
    std::vector<std::weak_ptr<NestingSession>> sessions;
};

struct NestingStandInServer::Job
{
    QString account;
    QString name;
    bool stalled = false;
    int pieces = 0;
    PlacementRunner runner;
};

NestingStandInServer::NestingStandInServer(const QString& password)
    : m_password(password)
{
}

NestingStandInServer::~NestingStandInServer()
{
    stop();
}

bool NestingStandInServer::start(int port)
{
    stop();
    m_network = std::make_unique<Network>();
    boost::system::error_code error;
    const tcp::endpoint endpoint(asio::ip::make_address_v4("127.0.0.1"), static_cast<unsigned short>(port));
    m_network->acceptor.open(endpoint.protocol(), error);
    if (!error)
        m_network->acceptor.set_option(tcp::acceptor::reuse_address(true), error);
    if (!error)
        m_network->acceptor.bind(endpoint, error);
    if (!error)
        m_network->acceptor.listen(asio::socket_base::max_listen_connections, error);
    if (error) {
        m_network.reset();
        return false;
    }
    m_port = m_network->acceptor.local_endpoint().port();
    accept();
    m_thread = std::thread([this] { m_network->io.run(); });
    return true;
}

void NestingStandInServer::stop()
{
    if (m_network) {
        Network* network = m_network.get();
        asio::post(network->io, [network] {
            boost::system::error_code ignored;
            network->acceptor.close(ignored);
            for (const auto& weak : network->sessions)
                if (const auto session = weak.lock())
                    session->close();
            network->io.stop();
        });
        if (m_thread.joinable())
            m_thread.join();
        m_network.reset();
    }
    std::lock_guard<std::mutex> guard(m_lock);
    m_jobs.clear();
}

void NestingStandInServer::accept()
{
    m_network->acceptor.async_accept([this](const boost::system::error_code& error, tcp::socket socket) {
        if (error)
            return;
        auto session = std::make_shared<NestingSession>(std::move(socket), *this);
        auto& sessions = m_network->sessions;
        sessions.erase(
            std::remove_if(sessions.begin(), sessions.end(), [](const auto& weak) { return weak.expired(); }),
            sessions.end());
        sessions.push_back(session);
        session->begin();
        accept();
    });
}

int NestingStandInServer::requestCount(const QString& command) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_counts.value(command);
}

QByteArray NestingStandInServer::answer(NestingSession& session, const QByteArray& payload)
{
    switch (m_fault.load()) {
    case Fault::Silent:
        return QByteArray();
    case Fault::Garbage:
        return HelmFrame::frame(QByteArrayLiteral("<html>Service Unavailable</html>"));
    case Fault::Oversized:
        return HelmFrame::header(HelmFrame::kMaximumSize + 1);
    case Fault::None:
    case Fault::Stalled:
        break;
    }
    CommandParameter request;
    QJsonObject reply = CommandParameter::fromPayload(payload, request)
        ? handle(session, request.command(), request.parameters())
        : failure(BadRequest, QStringLiteral("Malformed request"));
    if (reply.contains(QStringLiteral("_error")))
        return HelmFrame::frame(AbstractService::makeError(
            reply.value(QStringLiteral("_error")).toInt(), reply.value(QStringLiteral("message")).toString())
                                    .toUtf8());
    return HelmFrame::frame(QJsonDocument(reply).toJson(QJsonDocument::Compact));
}

QJsonObject NestingStandInServer::handle(NestingSession& session, const QString& command, const QJsonObject& parameters)
{
    std::lock_guard<std::mutex> guard(m_lock);
    ++m_counts[command];
    if (command == QLatin1String("heartbeat"))
        return { { QStringLiteral("alive"), true } };
    if (command == QLatin1String("login")) {
        const QString account = parameters.value(QStringLiteral("account")).toString();
        if (account.isEmpty() || parameters.value(QStringLiteral("password")).toString() != m_password)
            return failure(Unauthorised, QStringLiteral("Wrong account or password"));
        session.account = account;
        return { { QStringLiteral("account"), account } };
    }
    if (session.account.isEmpty())
        return failure(Unauthorised, QStringLiteral("Not signed in"));
    if (command == QLatin1String("logout")) {
        session.account.clear();
        return {};
    }
    if (command == QLatin1String("submit"))
        return submit(session.account, parameters);
    if (command == QLatin1String("jobs"))
        return jobList(session.account);
    Job* job = findJob(session.account, parameters);
    const QString id = parameters.value(QStringLiteral("job")).toString();
    if (!job)
        return failure(NotFound, QStringLiteral("No such job"));
    if (command == QLatin1String("status"))
        return jobStatus(*job, id);
    if (command == QLatin1String("cancel")) {
        m_jobs.erase(id);
        return {};
    }
    if (command == QLatin1String("result")) {
        const PlacementStatus status = statusOf(*job);
        if (status.running)
            return failure(NotReady, QStringLiteral("The job is still running"));
        if (!status.finished)
            return failure(Failed, status.error);
        return { { QStringLiteral("job"), id }, { QStringLiteral("length"), status.rollLength },
            { QStringLiteral("placements"), NestingJobFormat::placementsToJson(status.placements) } };
    }
    return failure(NotFound, QStringLiteral("Unknown command"));
}

QJsonObject NestingStandInServer::submit(const QString& account, const QJsonObject& parameters)
{
    PlacementSettings settings;
    QVector<PieceInfo> pieces;
    if (!NestingJobFormat::settingsFromJson(parameters.value(QStringLiteral("settings")).toObject(), settings)
        || !NestingJobFormat::piecesFromJson(parameters.value(QStringLiteral("pieces")).toArray(), pieces))
        return failure(BadRequest, QStringLiteral("The job cannot be read"));
    const QString id = QStringLiteral("job-%1").arg(++m_jobNumber);
    auto job = std::make_unique<Job>();
    job->account = account;
    job->name = parameters.value(QStringLiteral("name")).toString();
    job->pieces = pieces.size();
    job->stalled = m_fault == Fault::Stalled;
    if (!job->stalled)
        job->runner.start(pieces, settings);
    m_jobs[id] = std::move(job);
    return { { QStringLiteral("job"), id } };
}

PlacementStatus NestingStandInServer::statusOf(const Job& job)
{
    if (!job.stalled)
        return job.runner.status();
    PlacementStatus status;
    status.running = true;
    status.pieces = job.pieces;
    return status;
}

QJsonObject NestingStandInServer::jobStatus(const Job& job, const QString& id) const
{
    const PlacementStatus status = statusOf(job);
    QJsonObject reply { { QStringLiteral("job"), id }, { QStringLiteral("name"), job.name },
        { QStringLiteral("state"), stateOf(status) }, { QStringLiteral("placed"), status.placed },
        { QStringLiteral("pieces"), status.pieces }, { QStringLiteral("length"), status.rollLength },
        { QStringLiteral("error"), status.error } };
    if (status.refusal.kind != PlacementRefusal::Kind::None)
        reply.insert(QStringLiteral("refusal"), NestingJobFormat::refusalToJson(status.refusal));
    return reply;
}

QJsonObject NestingStandInServer::jobList(const QString& account) const
{
    QJsonArray jobs;
    for (const auto& [id, job] : m_jobs)
        if (job->account == account)
            jobs.append(jobStatus(*job, id));
    return { { QStringLiteral("jobs"), jobs } };
}

NestingStandInServer::Job* NestingStandInServer::findJob(const QString& account, const QJsonObject& parameters)
{
    const auto found = m_jobs.find(parameters.value(QStringLiteral("job")).toString());
    return found != m_jobs.end() && found->second->account == account ? found->second.get() : nullptr;
}

} // namespace standin
