// DXF export: every drawable piece of the root as plain R12 polylines, the
// simplest entity that every cutter and CAD program reads.

#include "CSVGDocument.h"

#include "CGlobalConfig.h"
#include "CSVGElementShape.h"

#include <QPainterPath>

namespace {
void pair(std::string& out, int code, const std::string& value)
{
    out += std::to_string(code);
    out += '\n';
    out += value;
    out += '\n';
}

// Locale-free, and short for whole millimetres.
std::string number(double value)
{
    return QString::number(value, 'g', 12).toStdString();
}

void vertex(std::string& out, const QPointF& point)
{
    pair(out, 0, "VERTEX");
    pair(out, 8, "0");
    pair(out, 10, number(point.x()));
    // DXF counts y upward, SVG downward.
    pair(out, 20, number(-point.y()));
    pair(out, 30, "0");
}

void polyline(std::string& out, QPolygonF points)
{
    const bool closed = points.size() > 2 && points.isClosed();
    if (closed)
        points.removeLast();
    if (points.size() < 2)
        return;
    pair(out, 0, "POLYLINE");
    pair(out, 8, "0");
    pair(out, 66, "1");
    pair(out, 10, "0");
    pair(out, 20, "0");
    pair(out, 30, "0");
    pair(out, 70, closed ? "1" : "0");
    for (const QPointF& point : points)
        vertex(out, point);
    pair(out, 0, "SEQEND");
    pair(out, 8, "0");
}
} // namespace

std::string CSVGDocument::toDxfText()
{
    std::string out;
    pair(out, 0, "SECTION");
    pair(out, 2, "HEADER");
    pair(out, 9, "$INSUNITS");
    pair(out, 70, "4");
    pair(out, 0, "ENDSEC");
    pair(out, 0, "SECTION");
    pair(out, 2, "ENTITIES");
    if (CSVGElement* root = getOwnerSvg()) {
        root->updateMatrix(nullptr, false);
        for (int i = 0; i < root->getChildCount(); ++i) {
            CSVGElementShape* shape = CSVGElementShape::asShape(root->getChild(i));
            if (!shape)
                continue;
            for (const QPolygonF& points : shape->getTransformedPath().toSubpathPolygons())
                polyline(out, points);
        }
    }
    pair(out, 0, "ENDSEC");
    pair(out, 0, "EOF");
    return out;
}

bool CSVGDocument::saveDxf(const QString& path)
{
    return writeTextFile(path, QString::fromStdString(toDxfText()));
}
