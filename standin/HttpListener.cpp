#include "HttpListener.h"

#include <httplib.h>

namespace standin {

int HttpListener::listen(int port)
{
    const int bound
        = port == 0 ? m_server.bind_to_any_port("127.0.0.1") : (m_server.bind_to_port("127.0.0.1", port) ? port : -1);
    if (bound > 0)
        m_thread = std::thread([this]() { m_server.listen_after_bind(); });
    return bound > 0 ? bound : -1;
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
