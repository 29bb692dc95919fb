#include "HttpListener.h"

#include <httplib.h>

#include <chrono>

namespace standin {

int HttpListener::listen(int port)
{
    const int bound
        = port == 0 ? m_server.bind_to_any_port("127.0.0.1") : (m_server.bind_to_port("127.0.0.1", port) ? port : -1);
    if (bound <= 0)
        return -1;
    m_ended = false;
    m_thread = std::thread([this]() {
        m_server.listen_after_bind();
        m_ended = true;
    });
    // The server ignores a stop that comes before its loop has begun, and
    // would then serve for ever: return only once it runs.
    while (!m_server.is_running() && !m_ended)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return bound;
}

void HttpListener::stop()
{
    m_server.stop();
    wait();
}

void HttpListener::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace standin
