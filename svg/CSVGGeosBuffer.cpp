#include "CSVGGeosBuffer.h"

#include "CSVGUtils.h"

#include <geos_c.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {
// A context of its own per call, so that several threads may offset at once.
struct Context
{
    GEOSContextHandle_t handle = GEOS_init_r();
    ~Context() { GEOS_finish_r(handle); }
};

struct GeometryDeleter
{
    GEOSContextHandle_t handle;
    void operator()(GEOSGeometry* geometry) const { GEOSGeom_destroy_r(handle, geometry); }
};
using Geometry = std::unique_ptr<GEOSGeometry, GeometryDeleter>;

bool isFinite(const QPolygonF& ring)
{
    for (const QPointF& p : ring) {
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
            return false;
    }
    return true;
}

Geometry polygonOf(GEOSContextHandle_t handle, QPolygonF ring)
{
    if (!ring.isClosed())
        ring.append(ring.first());
    if (ring.size() < 4)
        return Geometry(nullptr, { handle });
    // QPointF is two doubles, x then y, as GEOS reads a buffer of points.
    static_assert(sizeof(QPointF) == 2 * sizeof(double), "QPointF holds x and y alone");
    GEOSCoordSequence* points = GEOSCoordSeq_copyFromBuffer_r(
        handle, reinterpret_cast<const double*>(ring.constData()), unsigned(ring.size()), 0, 0);
    GEOSGeometry* shell = points ? GEOSGeom_createLinearRing_r(handle, points) : nullptr;
    return Geometry(shell ? GEOSGeom_createPolygon_r(handle, shell, nullptr, 0) : nullptr, { handle });
}

// The ring's points, turned to the sign asked for.
bool appendRing(GEOSContextHandle_t handle, const GEOSGeometry* ring, bool positive, std::vector<QPolygonF>& rings)
{
    const GEOSCoordSequence* points = ring ? GEOSGeom_getCoordSeq_r(handle, ring) : nullptr;
    unsigned int size = 0;
    if (!points || !GEOSCoordSeq_getSize_r(handle, points, &size))
        return false;
    QPolygonF polygon(static_cast<int>(size));
    if (size > 0 && !GEOSCoordSeq_copyToBuffer_r(handle, points, reinterpret_cast<double*>(polygon.data()), 0, 0))
        return false;
    if ((CSVGUtils::signedArea(polygon) > 0) != positive)
        std::reverse(polygon.begin(), polygon.end());
    if (!polygon.isEmpty())
        rings.push_back(std::move(polygon));
    return true;
}

bool appendPolygon(GEOSContextHandle_t handle, const GEOSGeometry* polygon, std::vector<QPolygonF>& rings)
{
    if (!appendRing(handle, GEOSGetExteriorRing_r(handle, polygon), true, rings))
        return false;
    const int holes = GEOSGetNumInteriorRings_r(handle, polygon);
    for (int i = 0; i < holes; ++i) {
        if (!appendRing(handle, GEOSGetInteriorRingN_r(handle, polygon, i), false, rings))
            return false;
    }
    return holes >= 0;
}
} // namespace

bool CSVGGeosBuffer::roundOffset(
    const QPolygonF& ring, double delta, int quadrantSegments, std::vector<QPolygonF>& rings)
{
    if (ring.size() < 3 || !isFinite(ring) || !std::isfinite(delta) || quadrantSegments < 1)
        return false;
    const Context context;
    const GEOSContextHandle_t handle = context.handle;
    const Geometry polygon = polygonOf(handle, ring);
    if (!polygon || GEOSisValid_r(handle, polygon.get()) != 1)
        return false;
    GEOSBufferParams* parameters = GEOSBufferParams_create_r(handle);
    if (!parameters)
        return false;
    GEOSBufferParams_setJoinStyle_r(handle, parameters, GEOSBUF_JOIN_ROUND);
    GEOSBufferParams_setQuadrantSegments_r(handle, parameters, quadrantSegments);
    const Geometry result(GEOSBufferWithParams_r(handle, polygon.get(), parameters, delta), { handle });
    GEOSBufferParams_destroy_r(handle, parameters);
    if (!result)
        return false;
    std::vector<QPolygonF> found;
    const int parts = GEOSGetNumGeometries_r(handle, result.get());
    for (int i = 0; i < parts; ++i) {
        const GEOSGeometry* part = GEOSGetGeometryN_r(handle, result.get(), i);
        if (GEOSisEmpty_r(handle, part) == 1)
            continue;
        if (GEOSGeomTypeId_r(handle, part) != GEOS_POLYGON || !appendPolygon(handle, part, found))
            return false;
    }
    rings.insert(rings.end(), found.begin(), found.end());
    return parts >= 0;
}
