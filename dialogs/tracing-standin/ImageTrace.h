#pragma once

#include "Polygon.h"
#include "TraceSetting.h"

#include <QImage>
#include <QList>

struct potrace_path_s;

namespace HelmSystem {

// Stands in for the closed tracing library: traces the dark areas of a
// picture with potrace and flattens its curves into point lists.
class ImageTrace
{
public:
    // Outer outlines in potrace's tree order, each with its holes; an island
    // inside a hole is an outer outline of its own. Empty when nothing is
    // dark enough or tracing fails.
    static QList<Polygon> trace(const QImage& image, const TraceSetting& setting);
    static int otsuThreshold(const QImage& grey);

private:
    static QPolygonF flatten(const potrace_path_s* path);
    static void collect(const potrace_path_s* root, QList<Polygon>& out);
};

} // namespace HelmSystem
