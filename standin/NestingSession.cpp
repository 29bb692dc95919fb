#include "NestingSession.h"

#include "HelmFrame.h"
#include "NestingStandInServer.h"

#include <boost/asio/read.hpp>
#include <boost/asio/write.hpp>

namespace asio = boost::asio;

namespace standin {

NestingSession::NestingSession(asio::ip::tcp::socket socket, NestingStandInServer& server)
    : m_socket(std::move(socket))
    , m_server(server)
{
}

void NestingSession::close()
{
    boost::system::error_code ignored;
    m_socket.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
    m_socket.close(ignored);
}

void NestingSession::readHeader()
{
    asio::async_read(m_socket, asio::buffer(m_header),
        [self = shared_from_this()](const boost::system::error_code& error, std::size_t) {
            if (error)
                return;
            const std::uint32_t size = HelmFrame::size(self->m_header);
            // A client that announces more than a frame may hold is not
            // worth the memory.
            if (size > HelmFrame::kMaximumSize)
                self->close();
            else
                self->readPayload(size);
        });
}

void NestingSession::readPayload(std::uint32_t size)
{
    m_payload = QByteArray(int(size), '\0');
    asio::async_read(m_socket, asio::buffer(m_payload.data(), size),
        [self = shared_from_this()](const boost::system::error_code& error, std::size_t) {
            if (error)
                return;
            const QByteArray reply = self->m_server.answer(*self, self->m_payload);
            if (reply.isNull())
                self->readHeader();
            else
                self->write(reply);
        });
}

void NestingSession::write(const QByteArray& frame)
{
    auto bytes = std::make_shared<QByteArray>(frame);
    asio::async_write(m_socket, asio::buffer(bytes->constData(), std::size_t(bytes->size())),
        [self = shared_from_this(), bytes](const boost::system::error_code& error, std::size_t) {
            if (!error)
                self->readHeader();
        });
}

} // namespace standin
