#pragma once

#include <QList>
#include <QPolygonF>

namespace HelmSystem {

// One traced outline with the holes directly inside it, each a closed point
// list in pixels of the traced picture.
struct Polygon
{
    QPolygonF outer;
    QList<QPolygonF> inners;
};

} // namespace HelmSystem
