#pragma once

// Pieces for the placement tests, and the check that a placement is sound.

#include "PieceInfo.h"
#include "PlacementInfo.h"

#include <QRandomGenerator>
#include <QtTest>

#include <polyclipping/clipper.hpp>

#include <cmath>

// Star-shaped polygons with 5 to 11 corners, 20 to 80 mm across, in places
// of their own; always the same for one seed.
inline QVector<Vantor::Placement::PieceInfo> randomPieces(int count, quint32 seed = 7)
{
    QRandomGenerator random(seed);
    QVector<Vantor::Placement::PieceInfo> pieces;
    for (int i = 0; i < count; ++i) {
        const int corners = 5 + random.bounded(7);
        const double radius = 10 + random.bounded(30.0);
        const QPointF centre(random.bounded(500.0), random.bounded(500.0));
        QPolygonF ring;
        for (int k = 0; k < corners; ++k) {
            const double angle = 2 * M_PI * k / corners;
            ring << centre + radius * (0.5 + random.bounded(0.5)) * QPointF(std::cos(angle), std::sin(angle));
        }
        pieces.append({ QStringLiteral("piece_%1").arg(i), { { ring } } });
    }
    return pieces;
}

inline ClipperLib::Path scaled(const QPolygonF& ring)
{
    ClipperLib::Path path;
    for (const QPointF& p : ring)
        path.emplace_back(ClipperLib::cInt(std::llround(p.x() * 1e4)), ClipperLib::cInt(std::llround(p.y() * 1e4)));
    return path;
}

// Every piece where its placement puts it lies within the roll (to a
// thousandth of a millimetre) and overlaps no other by any area.
inline void verifyPlacement(const QVector<Vantor::Placement::PieceInfo>& pieces,
    const QVector<Vantor::Placement::PlacementInfo>& placements, double rollWidth)
{
    QCOMPARE(placements.size(), pieces.size());
    QVector<ClipperLib::Path> placed;
    for (int i = 0; i < pieces.size(); ++i) {
        QCOMPARE(placements[i].id, pieces[i].id);
        const QPolygonF ring = placements[i].transform().map(pieces[i].shape.parts.first());
        const QRectF bounds = ring.boundingRect();
        QVERIFY2(bounds.top() > -1e-3 && bounds.bottom() < rollWidth + 1e-3 && bounds.left() > -1e-3,
            qPrintable(pieces[i].id));
        placed.append(scaled(ring));
    }
    for (int i = 0; i < placed.size(); ++i)
        for (int j = i + 1; j < placed.size(); ++j) {
            ClipperLib::Clipper clipper;
            clipper.AddPath(placed[i], ClipperLib::ptSubject, true);
            clipper.AddPath(placed[j], ClipperLib::ptClip, true);
            ClipperLib::Paths overlap;
            clipper.Execute(ClipperLib::ctIntersection, overlap, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
            QVERIFY2(overlap.empty(), qPrintable(pieces[i].id + QLatin1Char(' ') + pieces[j].id));
        }
}
