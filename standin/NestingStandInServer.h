#pragma once

#include <QHash>
#include <QJsonObject>
#include <QString>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace Vantor {
namespace Placement {
struct PlacementStatus;
}
} // namespace Vantor

namespace standin {

class NestingSession;

// Stands in for the TCP nesting server on 127.0.0.1: it speaks the nesting
// service's frames, signs accounts in with the service password, accepts
// jobs of pieces and computes their placements with the placement engine's
// stand-in, one thread per job, while it keeps answering. Jobs stay until
// they are cancelled or the server stops.
class NestingStandInServer
{
public:
    // How the server misbehaves, for tests of the client.
    enum class Fault {
        None,
        // Reads requests and never answers.
        Silent,
        // Answers with text that is no reply of the service.
        Garbage,
        // Announces a reply larger than any frame may be.
        Oversized,
        // Answers, but jobs sent from now on never make progress.
        Stalled,
    };

    explicit NestingStandInServer(const QString& password = QStringLiteral("482915"));
    ~NestingStandInServer();
    NestingStandInServer(const NestingStandInServer&) = delete;
    NestingStandInServer& operator=(const NestingStandInServer&) = delete;

    // Listens on 127.0.0.1; port 0 takes a free one. False when it cannot.
    bool start(int port = 0);
    // Closes every connection and stops every job, as a server that goes
    // down would.
    void stop();
    int port() const { return m_port; }
    void setFault(Fault fault) { m_fault = fault; }
    Fault fault() const { return m_fault; }
    // How often a command was received.
    int requestCount(const QString& command) const;

    // The reply to one request payload of a session; for the sessions.
    QByteArray answer(NestingSession& session, const QByteArray& payload);

private:
    struct Job;
    QJsonObject handle(NestingSession& session, const QString& command, const QJsonObject& parameters);
    QJsonObject submit(const QString& account, const QJsonObject& parameters);
    static Vantor::Placement::PlacementStatus statusOf(const Job& job);
    QJsonObject jobStatus(const Job& job, const QString& id) const;
    QJsonObject jobList(const QString& account) const;
    Job* findJob(const QString& account, const QJsonObject& parameters);
    void accept();

    struct Network;
    std::unique_ptr<Network> m_network;
    std::thread m_thread;
    int m_port = 0;
    QString m_password;
    std::atomic<Fault> m_fault { Fault::None };

    mutable std::mutex m_lock;
    QHash<QString, int> m_counts;
    std::map<QString, std::unique_ptr<Job>> m_jobs;
    int m_jobNumber = 0;
};

} // namespace standin
