#pragma once

#include <QObject>
#include <QPolygonF>

#include <vector>

// Drops the points of a closed ring that lie within a tolerance of the
// simplified outline (Douglas-Peucker). The tolerance applies to coordinates
// normalised to the ring's bounding box, so one value serves drawings of any
// size. Keeps no state: make one on the stack per ring, in any thread.
class DouglasPeuckerSimplify : public QObject
{
    Q_OBJECT
public:
    static constexpr double kTolerance = 1e-6;

    explicit DouglasPeuckerSimplify(QObject* parent = nullptr);

    // The reduced ring, closed again with its first kept point. A polygon
    // that is not closed comes back unchanged.
    QPolygonF simplify(const QPolygonF& polygon) const;

private:
    static void reduce(const std::vector<QPointF>& points, std::vector<char>& kept);
    static int farthest(const QPointF* points, int first, int last, double& distance);
};
