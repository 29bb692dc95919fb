#include "BackgroundRemovalServer.h"

#include "HttpListener.h"

#include <QBuffer>
#include <QImageReader>

#include <httplib.h>

#include <algorithm>
#include <vector>

namespace standin {

namespace {
// How far (in the sum of channel differences) a pixel may lie from the
// border's colour and still count as background.
constexpr int kTolerance = 90;

void refuse(httplib::Response& response, int status, const char* message)
{
    response.status = status;
    response.set_content(message, "text/plain");
}
} // namespace

BackgroundRemovalServer::BackgroundRemovalServer() = default;

BackgroundRemovalServer::~BackgroundRemovalServer()
{
    stop();
}

bool BackgroundRemovalServer::start(int port)
{
    stop();
    m_server = std::make_unique<httplib::Server>();
    m_server->set_payload_max_length(kMaximumBody);
    m_server->set_read_timeout(30, 0);
    m_server->Post("/remove-background", [](const httplib::Request& request, httplib::Response& response) {
        if (!request.has_file("image"))
            return refuse(response, 400, "the part \"image\" is missing");
        const std::string& content = request.get_file_value("image").content;
        QByteArray bytes = QByteArray::fromRawData(content.data(), int(content.size()));
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer);
        const QSize size = reader.size();
        if (!size.isValid() || qint64(size.width()) * size.height() > kMaximumPixels)
            return refuse(response, 415, "not an image of a size this server takes");
        const QImage image = reader.read();
        if (image.isNull())
            return refuse(response, 415, "the image cannot be decoded");
        QByteArray png;
        QBuffer out(&png);
        out.open(QIODevice::WriteOnly);
        removeBackground(image).save(&out, "PNG");
        response.set_content(png.constData(), std::size_t(png.size()), "image/png");
    });
    m_listener = std::make_unique<HttpListener>(*m_server);
    m_port = m_listener->listen(port);
    return m_port > 0;
}

void BackgroundRemovalServer::stop()
{
    m_listener.reset();
}

QImage BackgroundRemovalServer::removeBackground(const QImage& image)
{
    QImage result = image.convertToFormat(QImage::Format_RGB32);
    const QRgb background = borderColour(result);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            const int distance = std::abs(qRed(line[x]) - qRed(background))
                + std::abs(qGreen(line[x]) - qGreen(background)) + std::abs(qBlue(line[x]) - qBlue(background));
            if (distance <= kTolerance)
                line[x] = qRgb(255, 255, 255);
        }
    }
    return result;
}

QRgb BackgroundRemovalServer::borderColour(const QImage& image)
{
    // The median of each channel over the border, so that a piece touching
    // the edge does not tint it.
    std::vector<int> channels[3];
    const auto take = [&](int x, int y) {
        const QRgb pixel = image.pixel(x, y);
        channels[0].push_back(qRed(pixel));
        channels[1].push_back(qGreen(pixel));
        channels[2].push_back(qBlue(pixel));
    };
    for (int x = 0; x < image.width(); ++x) {
        take(x, 0);
        take(x, image.height() - 1);
    }
    for (int y = 0; y < image.height(); ++y) {
        take(0, y);
        take(image.width() - 1, y);
    }
    int median[3] = { 255, 255, 255 };
    for (int c = 0; c < 3; ++c)
        if (!channels[c].empty()) {
            std::nth_element(channels[c].begin(), channels[c].begin() + channels[c].size() / 2, channels[c].end());
            median[c] = channels[c][channels[c].size() / 2];
        }
    return qRgb(median[0], median[1], median[2]);
}

} // namespace standin
