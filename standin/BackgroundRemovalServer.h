#pragma once

#include <QImage>

#include <memory>

namespace httplib {
class Server;
}

namespace standin {

class HttpListener;

// Stands in for the background-removal image server on 127.0.0.1: a
// multipart POST of an image (part "image") to "/remove-background" is
// answered with the same picture as PNG, every pixel close to the colour of
// the picture's border turned white.
class BackgroundRemovalServer
{
public:
    static constexpr int kMaximumBody = 32 * 1024 * 1024;
    static constexpr qint64 kMaximumPixels = 40LL * 1000 * 1000;

    BackgroundRemovalServer();
    ~BackgroundRemovalServer();
    BackgroundRemovalServer(const BackgroundRemovalServer&) = delete;
    BackgroundRemovalServer& operator=(const BackgroundRemovalServer&) = delete;

    // Listens on 127.0.0.1; port 0 takes a free one. False when it cannot.
    bool start(int port = 0);
    void stop();
    int port() const { return m_port; }

    static QImage removeBackground(const QImage& image);

private:
    static QRgb borderColour(const QImage& image);

    std::unique_ptr<httplib::Server> m_server;
    std::unique_ptr<HttpListener> m_listener;
    int m_port = 0;
};

} // namespace standin
