#pragma once

#include <QByteArray>
#include <QString>

#include <boost/asio/ip/tcp.hpp>

#include <memory>

namespace standin {

class NestingStandInServer;

// One client connection of the nesting server's stand-in: reads a frame,
// has the server answer it, writes the reply, and so on until the client
// goes or sends a frame larger than the limit.
class NestingSession : public std::enable_shared_from_this<NestingSession>
{
public:
    NestingSession(boost::asio::ip::tcp::socket socket, NestingStandInServer& server);

    void begin() { readHeader(); }
    void close();

    // The signed-in account; empty before login.
    QString account;

private:
    void readHeader();
    void readPayload(std::uint32_t size);
    void write(const QByteArray& frame);

    boost::asio::ip::tcp::socket m_socket;
    NestingStandInServer& m_server;
    unsigned char m_header[4] {};
    QByteArray m_payload;
};

} // namespace standin
