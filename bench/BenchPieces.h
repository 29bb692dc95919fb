#pragma once

#include "CSVGDocument.h"
#include "CSVGElementPath.h"

#include <QPainterPath>
#include <QPolygonF>

#include <polyclipping/clipper.hpp>

#include <cmath>
#include <memory>
#include <string>

// The pieces of the merge and offset benchmarks.

// A 64-gon of radius 20 around the centre.
inline QPolygonF polygon64(double cx, double cy)
{
    QPolygonF polygon;
    for (int i = 0; i < 64; ++i) {
        const double angle = i * 2 * M_PI / 64;
        polygon << QPointF(cx + 20 * std::cos(angle), cy + 20 * std::sin(angle));
    }
    return polygon;
}

// Pieces on a grid, every one selected: squares turned a little, or 64-gons
// that overlap their neighbours.
inline std::unique_ptr<CSVGDocument> selectedPieces(int count, bool polygons)
{
    auto document = std::make_unique<CSVGDocument>();
    CSVGElement* root = document->getOwnerSvg();
    for (int i = 0; i < count; ++i) {
        const double x = i % 100 * 30.0;
        const double y = i / 100 * 30.0;
        QPainterPath path;
        if (polygons)
            path.addPolygon(polygon64(x, y));
        else
            path.addRect(x, y, 10 + i % 7, 10);
        path.closeSubpath();
        CSVGElementPath* piece = document->createPathElement(path);
        if (!polygons)
            piece->setAttribute(L"transform", L"rotate(" + std::to_wstring(i % 40) + L")", false);
        root->appendChild(piece, true, false);
        piece->updateMatrix(nullptr, false);
    }
    for (int i = 0; i < root->getChildCount(); ++i)
        document->selectElement(root->getChild(i), Qt::green);
    return document;
}

// The 64-gons of selectedPieces as bare Clipper reads them.
inline ClipperLib::Paths scaledPolygons(int count)
{
    ClipperLib::Paths paths;
    for (int i = 0; i < count; ++i) {
        ClipperLib::Path path;
        for (const QPointF& p : polygon64(i % 100 * 30.0, i / 100 * 30.0))
            path.emplace_back(ClipperLib::cInt(p.x() * 10000), ClipperLib::cInt(p.y() * 10000));
        paths.push_back(std::move(path));
    }
    return paths;
}
