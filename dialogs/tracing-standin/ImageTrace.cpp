#include "ImageTrace.h"

#include <QPainterPath>

#include <potracelib.h>

#include <array>
#include <climits>
#include <memory>
#include <vector>

namespace HelmSystem {

namespace {
constexpr int kWordBits = int(sizeof(potrace_word) * CHAR_BIT);
}

QList<Polygon> ImageTrace::trace(const QImage& image, const TraceSetting& setting)
{
    if (image.isNull())
        return {};
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    const int threshold = setting.threshold < 0 ? otsuThreshold(grey) : setting.threshold;

    // Scanline y of the bitmap is row y of the picture, so that potrace's
    // coordinates are the picture's.
    potrace_bitmap_t bitmap;
    bitmap.w = grey.width();
    bitmap.h = grey.height();
    bitmap.dy = (bitmap.w + kWordBits - 1) / kWordBits;
    std::vector<potrace_word> words(std::size_t(bitmap.dy) * std::size_t(bitmap.h), 0);
    bitmap.map = words.data();
    for (int y = 0; y < bitmap.h; ++y) {
        const uchar* line = grey.constScanLine(y);
        potrace_word* row = bitmap.map + std::size_t(y) * std::size_t(bitmap.dy);
        for (int x = 0; x < bitmap.w; ++x)
            if (line[x] < threshold)
                row[x / kWordBits] |= potrace_word(1) << (kWordBits - 1 - x % kWordBits);
    }

    const std::unique_ptr<potrace_param_t, decltype(&potrace_param_free)> param(
        potrace_param_default(), &potrace_param_free);
    if (!param)
        return {};
    param->turdsize = setting.turdSize;
    param->alphamax = setting.alphaMax;
    const std::unique_ptr<potrace_state_t, decltype(&potrace_state_free)> state(
        potrace_trace(param.get(), &bitmap), &potrace_state_free);
    QList<Polygon> result;
    if (state && state->status == POTRACE_STATUS_OK)
        for (const potrace_path_t* root = state->plist; root; root = root->sibling)
            collect(root, result);
    return result;
}

void ImageTrace::collect(const potrace_path_s* root, QList<Polygon>& out)
{
    Polygon polygon { flatten(root), {} };
    for (const potrace_path_t* hole = root->childlist; hole; hole = hole->sibling)
        polygon.inners.append(flatten(hole));
    out.append(polygon);
    for (const potrace_path_t* hole = root->childlist; hole; hole = hole->sibling)
        for (const potrace_path_t* island = hole->childlist; island; island = island->sibling)
            collect(island, out);
}

QPolygonF ImageTrace::flatten(const potrace_path_s* path)
{
    const potrace_curve_t& curve = path->curve;
    if (curve.n <= 0)
        return {};
    const auto point = [](const potrace_dpoint_t& p) { return QPointF(p.x, p.y); };
    QPainterPath outline(point(curve.c[curve.n - 1][2]));
    for (int i = 0; i < curve.n; ++i) {
        if (curve.tag[i] == POTRACE_CORNER) {
            outline.lineTo(point(curve.c[i][1]));
            outline.lineTo(point(curve.c[i][2]));
        } else {
            outline.cubicTo(point(curve.c[i][0]), point(curve.c[i][1]), point(curve.c[i][2]));
        }
    }
    // Qt flattens curves to well within a pixel.
    const QList<QPolygonF> rings = outline.toSubpathPolygons();
    return rings.isEmpty() ? QPolygonF() : rings.first();
}

int ImageTrace::otsuThreshold(const QImage& grey)
{
    std::array<double, 256> histogram {};
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* line = grey.constScanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            ++histogram[line[x]];
    }
    double total = 0;
    double sum = 0;
    for (int i = 0; i < 256; ++i) {
        total += histogram[i];
        sum += i * histogram[i];
    }
    // The threshold that best separates the two classes of grey values;
    // pixels below it are the dark class.
    double weightBelow = 0;
    double sumBelow = 0;
    double bestSpread = -1;
    int best = 128;
    for (int t = 0; t < 255; ++t) {
        weightBelow += histogram[t];
        sumBelow += t * histogram[t];
        const double weightAbove = total - weightBelow;
        if (weightBelow == 0 || weightAbove == 0)
            continue;
        const double difference = sumBelow / weightBelow - (sum - sumBelow) / weightAbove;
        const double spread = weightBelow * weightAbove * difference * difference;
        if (spread > bestSpread) {
            bestSpread = spread;
            best = t + 1;
        }
    }
    return best;
}

} // namespace HelmSystem
