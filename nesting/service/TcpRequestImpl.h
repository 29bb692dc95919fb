#pragma once

#include "AbstractRequestImpl.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>

namespace HelmSystem {

// The transport on Boost.Asio: asynchronous operations run on the caller's
// thread until they finish or the deadline passes, which closes the socket.
class TcpRequestImpl : public AbstractRequestImpl
{
public:
    TcpRequestImpl();
    ~TcpRequestImpl() override;

    QString open(const QString& host, quint16 port, int timeoutMilliseconds) override;
    QString exchange(const QByteArray& request, QByteArray& reply, int timeoutMilliseconds) override;
    void close() override;
    bool isOpen() const override { return m_socket.is_open(); }

private:
    // Runs the started operations; false when the time ran out first.
    bool runFor(int timeoutMilliseconds);
    void readPayload(QByteArray& reply, QString& failure);
    static QString describe(const boost::system::error_code& error);

    boost::asio::io_context m_io;
    boost::asio::ip::tcp::resolver m_resolver;
    boost::asio::ip::tcp::socket m_socket;
    unsigned char m_header[4] {};
};

} // namespace HelmSystem
