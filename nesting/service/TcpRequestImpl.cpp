#include "TcpRequestImpl.h"

#include "HelmFrame.h"

#include <QCoreApplication>

#include <boost/asio/connect.hpp>
#include <boost/asio/read.hpp>
#include <boost/asio/write.hpp>

#include <chrono>
#include <memory>

namespace asio = boost::asio;
using asio::ip::tcp;

namespace HelmSystem {

TcpRequestImpl::TcpRequestImpl()
    : m_resolver(m_io)
    , m_socket(m_io)
{
}

TcpRequestImpl::~TcpRequestImpl()
{
    close();
}

bool TcpRequestImpl::runFor(int timeoutMilliseconds)
{
    m_io.restart();
    m_io.run_for(std::chrono::milliseconds(std::max(timeoutMilliseconds, 1)));
    if (m_io.stopped())
        return true;
    // Out of time: cancel what is pending and let its handlers see that.
    m_resolver.cancel();
    close();
    m_io.restart();
    m_io.run();
    return false;
}

QString TcpRequestImpl::open(const QString& host, quint16 port, int timeoutMilliseconds)
{
    close();
    QString failure;
    m_resolver.async_resolve(host.toStdString(), std::to_string(port),
        [this, &failure](const boost::system::error_code& error, const tcp::resolver::results_type& endpoints) {
            if (error) {
                failure = describe(error);
                return;
            }
            asio::async_connect(
                m_socket, endpoints, [&failure](const boost::system::error_code& error, const tcp::endpoint&) {
                    if (error)
                        failure = describe(error);
                });
        });
    if (!runFor(timeoutMilliseconds))
        return QCoreApplication::translate("TcpRequestImpl", "The nesting server did not answer in time.");
    boost::system::error_code ignored;
    if (!failure.isEmpty())
        close();
    else
        m_socket.set_option(tcp::no_delay(true), ignored);
    return failure;
}

QString TcpRequestImpl::exchange(const QByteArray& request, QByteArray& reply, int timeoutMilliseconds)
{
    if (!isOpen())
        return QCoreApplication::translate("TcpRequestImpl", "The connection to the nesting server is closed.");
    if (quint64(request.size()) > HelmFrame::kMaximumSize)
        return QCoreApplication::translate("TcpRequestImpl", "The request is too large.");
    const auto frame = std::make_shared<QByteArray>(HelmFrame::frame(request));
    QString failure;
    asio::async_write(m_socket, asio::buffer(frame->constData(), std::size_t(frame->size())),
        [this, frame, &reply, &failure](const boost::system::error_code& error, std::size_t) {
            if (error) {
                failure = describe(error);
                return;
            }
            asio::async_read(m_socket, asio::buffer(m_header),
                [this, &reply, &failure](const boost::system::error_code& error, std::size_t) {
                    if (error)
                        failure = describe(error);
                    else
                        readPayload(reply, failure);
                });
        });
    if (!runFor(timeoutMilliseconds))
        return QCoreApplication::translate("TcpRequestImpl", "The nesting server did not answer in time.");
    if (!failure.isEmpty())
        close();
    return failure;
}

void TcpRequestImpl::readPayload(QByteArray& reply, QString& failure)
{
    const std::uint32_t size = HelmFrame::size(m_header);
    if (size > HelmFrame::kMaximumSize) {
        failure = QCoreApplication::translate("TcpRequestImpl", "The nesting server sent a frame that is too large.");
        return;
    }
    reply = QByteArray(int(size), '\0');
    asio::async_read(
        m_socket, asio::buffer(reply.data(), size), [&failure](const boost::system::error_code& error, std::size_t) {
            if (error)
                failure = describe(error);
        });
}

void TcpRequestImpl::close()
{
    boost::system::error_code ignored;
    if (m_socket.is_open()) {
        m_socket.shutdown(tcp::socket::shutdown_both, ignored);
        m_socket.close(ignored);
    }
}

QString TcpRequestImpl::describe(const boost::system::error_code& error)
{
    if (error == asio::error::eof || error == asio::error::connection_reset || error == asio::error::broken_pipe)
        return QCoreApplication::translate("TcpRequestImpl", "The nesting server closed the connection.");
    if (error == asio::error::connection_refused)
        return QCoreApplication::translate("TcpRequestImpl", "The nesting server refused the connection.");
    return QCoreApplication::translate("TcpRequestImpl", "Network error: %1")
        .arg(QString::fromStdString(error.message()));
}

} // namespace HelmSystem
