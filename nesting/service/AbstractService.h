#pragma once

#include "AbstractRequestImpl.h"
#include "CommandParameter.h"

#include <QString>

#include <memory>

// Client of the nesting service. Each call blocks its caller until the
// server answers or the time is up, so it belongs on a worker thread; one
// service is used by one thread at a time.
//
// Failures come back in band: the reply text is then "_err://helm/", a code,
// "/" and a message. Codes of 1000 and above are the client's own (network,
// time, malformed replies); below are the server's.
class AbstractService
{
public:
    enum ErrorCode {
        NetworkFailure = 1001,
        Malformed = 1004,
        BadSetting = 1006,
    };

    // With no transport given, TCP.
    explicit AbstractService(std::unique_ptr<AbstractRequestImpl> transport = nullptr);
    virtual ~AbstractService();
    AbstractService(const AbstractService&) = delete;
    AbstractService& operator=(const AbstractService&) = delete;

    // Connects to the server that the setting "NestingServer" names ("host:port")
    // and sends it the keep-alive request; its reply (or the failure).
    QString connect();
    // Signs in with the setting "NestingAccount" ("account:password").
    QString login();
    // Sends the request and returns the server's reply, a JSON object text.
    // Throws HelmSystem::AssertionError when not connected.
    QString request(const CommandParameter& command);
    QString logout();
    bool isConnected() const;

    // For each network operation; 10 seconds unless changed.
    void setTimeout(int milliseconds) { m_timeout = milliseconds; }

    static QString makeError(int code, const QString& message);
    static bool isError(const QString& reply);
    static int errorCode(const QString& reply);
    static QString errorMessage(const QString& reply);

private:
    std::unique_ptr<AbstractRequestImpl> m_transport;
    int m_timeout = 10000;
};
