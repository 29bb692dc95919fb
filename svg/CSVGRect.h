#pragma once

#include <QPointF>
#include <QRectF>

class CSVGMatrix;

// Axis-aligned rectangle; (x, y) is the top-left corner in the y-down
// coordinates of SVG.
class CSVGRect
{
public:
    CSVGRect() = default;
    CSVGRect(double x, double y, double width, double height);

    void setEmpty();
    CSVGRect inflated(double dx, double dy) const;
    // Edges count as inside: rectangles that only touch intersect.
    bool intersects(const CSVGRect& other) const;
    bool contains(const CSVGRect& other) const;
    bool containsRect(const CSVGRect& other) const { return contains(other); }
    bool containsPoint(const QPointF& p) const;
    // Thinner than 5e-7 in either direction; a negative size is not empty.
    bool isEmpty() const;
    // The four fields hold left, top, right and bottom.
    CSVGRect toCornerRect() const;
    // The smallest rectangle that holds both, from their left, top, right
    // and bottom edges.
    CSVGRect united(const CSVGRect& other) const;
    // The bounding box of the four corners mapped by the matrix.
    CSVGRect transformed(const CSVGMatrix& matrix) const;
    void setFromQRectF(const QRectF& rect);
    QRectF toQRectF() const;

    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};
