#pragma once

#include <atomic>
#include <thread>

namespace httplib {
class Server;
}

namespace standin {

// Serves an HTTP server of the stand-ins on 127.0.0.1 from a thread of its
// own.
class HttpListener
{
public:
    explicit HttpListener(httplib::Server& server)
        : m_server(server)
    {
    }
    ~HttpListener() { stop(); }
    HttpListener(const HttpListener&) = delete;
    HttpListener& operator=(const HttpListener&) = delete;

    // The port listened on (a free one for port 0), or -1 when it cannot.
    int listen(int port);
    void stop();
    // Blocks until the server stops.
    void wait();

private:
    httplib::Server& m_server;
    std::thread m_thread;
    std::atomic<bool> m_ended { false };
};

} // namespace standin
