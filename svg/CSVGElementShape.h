#pragma once

#include "CSVGElementStyleable.h"

#include <QList>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QRectF>

#include <initializer_list>
#include <optional>
#include <polyclipping/clipper.hpp>

#include <string>
#include <vector>

class QPainter;
class QTransform;

// Base of every drawable element: the shapes, text, images, use and the
// containers. It caches the painter path in the element's own coordinates and
// the untransformed bounding box, keeps the vertices marked by node editing,
// and paints the element for the canvas, for printing and for exports.
//
// Geometry is rebuilt lazily: attribute changes mark it dirty and every
// reader calls updateGeometry first, which rebuilds only while it is dirty.
//
// Subclasses supply the geometry: a leaf shape rebuilds m_path in its
// updateGeometry while the element is dirty and then calls the base, which
// computes the box with computeBounds and clears the flag. A container keeps
// an empty path; the base computeBounds gives it the union of its children's
// boxes.
class CSVGElementShape : public CSVGElementStyleable
{
    Q_OBJECT
public:
    CSVGElementShape(CSVGDocument* document, const std::wstring& tagName, std::uint16_t type);

    bool isShape() const override { return true; }
    // The styleable names and "transform".
    std::set<std::wstring> getAttributeNames() const override;
    // A group clears its shape children; any other shape its own marks.
    void clearNodeSelection() override;

    // Paints the element with the view matrix (canvas to device) in front of
    // its own accumulated matrix. onScreen asks for the canvas look (line
    // width from the settings, vertex and end markers); innerPiece is set by
    // a container for every child but the first one it paints.
    virtual void draw(
        QPainter* painter, const CSVGMatrix& view, bool selected, bool highlighted, bool onScreen, bool innerPiece);
    // Between these two calls on a thread, painting for the screen takes the
    // "LineWidth" read at the first instead of reading the setting for every
    // element; a view makes them around each of its paints.
    static void beginScreenPaint();
    static void endScreenPaint();
    // Nothing calls this; the base does nothing.
    virtual void buildPainterPath(double width, double height);
    // x, y in canvas coordinates. On a hit a leaf writes its id into id and
    // leaves groupId alone. The base is never hit.
    virtual bool hitTest(double x, double y, std::wstring& groupId, std::wstring& id);
    // For the rubber band: whether a corner of the box, in canvas
    // coordinates, lies in the rectangle. Never for the root svg element.
    virtual bool intersectsRect(const CSVGRect& rect);
    // The code of the selection handle at (x, y), 100001 ... 100009, or -1.
    // The point is mapped by the inverse of matrix x the element's matrix.
    virtual int hitTestHandle(double x, double y, const CSVGMatrix& matrix);
    // Rebuilds the cached geometry while it is dirty. The base: computeBounds,
    // then the flag is cleared. Tree changes and moves of a child mark a
    // container dirty, so a clean container's box is up to date.
    virtual void updateGeometry();
    // Subclasses write their geometry back into their attributes first. The
    // base marks the geometry dirty and rebuilds it.
    virtual void commitGeometry();
    // The largest flattened ring of the transformed path grown (positive
    // delta) or shrunk by delta, in canvas coordinates; holes and further
    // islands are left out. The same for every kind of element.
    virtual std::vector<QPolygonF> getOffsetOutline(
        double delta, double arcTolerance, ClipperLib::JoinType joinType, ClipperLib::EndType endType);
    // Sets m_box. The base: the union of the shape children's boxes mapped
    // into this element's coordinates; an element without children keeps
    // its box.
    virtual void computeBounds();

    QPainterPath getPainterPath();
    CSVGRect getBoundingRect();
    // In canvas coordinates: the bounds of the transformed painter path, or
    // the transformed box when the path is empty.
    CSVGRect getTransformedBoundingRect();
    // What of it is drawn, in canvas coordinates: the union of the
    // getTransformedBoundingRect of the drawn leaves, so that a turned group
    // or one of curves measures its outlines, not a box of their boxes; none
    // when nothing of it is drawn. Works out the styles of the whole subtree.
    // This is the size that the editor shows, sizes and measures.
    std::optional<CSVGRect> getDrawnBoundingRect();
    // The own path under the accumulated matrix, with those of every shape
    // descendant that is drawn added as further sub-paths; each outline
    // once, also where a text's path already holds the outlines of its runs.
    QPainterPath getTransformedPath();
    // The flattened sub-path whose bounding box has the largest area; the
    // earlier on equal areas; empty when there is none.
    static QPolygonF getLargestPolygon(const QPainterPath& path);
    // The same with the curve tolerance given (see CSVGUtils::pathToPolygons),
    // for a command that reads the setting once for many pieces.
    static QPolygonF getLargestPolygon(const QPainterPath& path, double curveTolerance);
    // The ring of the list whose bounding box has the largest area, the
    // earlier on equal areas, leaving out rings of fewer than two points, as
    // getLargestPolygon finds it in a path made of the rings; empty when
    // there is none.
    static QPolygonF getLargestPolygon(const std::vector<QPolygonF>& rings);
    // The element as a drawable one; null for any other.
    static CSVGElementShape* asShape(CSVGElement* element);
    // Every shape of the subtree that has no children, reached through shape
    // children only.
    static std::vector<CSVGElementShape*> collectLeafShapes(CSVGElement* element);

    // Scales the element in canvas coordinates about the canvas point and
    // writes the result into its own "transform"; the accumulated matrices
    // follow.
    void scaleAbout(double sx, double sy, const QPointF& centre);

    // Node editing. Marks the vertices of the largest polygon of the
    // transformed path that lie in the rectangle (each index once) and adds
    // the rectangle to the node-selection area; a group passes the
    // rectangle to its shape children. Returns getNodeSelectionArea.
    QPainterPath selectNodesInRect(const CSVGRect& rect);
    const QList<int>& getMarkedNodes() const { return m_markedNodes; }
    // The areas of the element and of its shape descendants as sub-paths.
    QPainterPath getNodeSelectionArea() const;

    // Not drawn, so not cut either: "display" "none" or "visibility"
    // "hidden", its own or inherited, unless "tyvisibility" is "visible".
    bool isHidden();

    // The bounds of the outline last painted, after the combined matrix, or
    // of the position name drawn last.
    QRectF getLastPaintedRect() const { return m_lastPaintedRect; }

protected:
    // A length attribute of a class's own, parsed into its field.
    struct LengthField
    {
        const wchar_t* name;
        double* field;
    };
    // True when the name is one of the fields'; that field takes the value.
    static bool readLengthField(
        const std::wstring& name, const std::wstring& value, std::initializer_list<LengthField> fields);

    bool isWithinRegion(const CSVGRect& region) override;
    // The point mapped into the element's coordinates; false when the matrix
    // cannot be inverted.
    bool toLocal(double x, double y, QPointF& local) const;
    // Whether inside holds for the point mapped into the element's
    // coordinates; on a hit the id goes into id. A matrix without inverse
    // hits nothing.
    template <typename Inside> bool hitLocal(double x, double y, std::wstring& id, Inside inside)
    {
        QPointF p;
        if (!toLocal(x, y, p) || !inside(p))
            return false;
        id = getId();
        return true;
    }
    // The index of the first point within 3 units of (x, y) mapped by the
    // inverse of matrix x the element's matrix; -1 for none.
    int pointHandleAt(double x, double y, const CSVGMatrix& matrix, const QPolygonF& points) const;
    // Whether p lies within reach of the segment from a to b, measured
    // square to it; nothing beyond its ends counts.
    static bool isNearSegment(const QPointF& a, const QPointF& b, double reach, const QPointF& p);
    // Writes the fields back into their attributes, notifying.
    void writeLengthFields(std::initializer_list<LengthField> fields);
    // The effective "stroke-width"; 0 without one.
    double strokeWidth();
    // The hit test of frames: inside the cached box grown by the stroke width
    // on every side, edges included; on a hit the id goes into id.
    bool hitTestBox(double x, double y, std::wstring& id);
    // For the image element, which draws its picture into its box under the
    // combined matrix before the outline is stroked.
    virtual void drawPicture(QPainter*, const QTransform&) { }
    // For the use element: the shape it shows, and the matrix that moves that
    // shape from its own place to the use's (to be put in front of the
    // shape's accumulated matrix). Null for every other element.
    virtual CSVGElementShape* getShownElement(CSVGMatrix&) { return nullptr; }
    // The outlines one after the other, in a path of just their size; a
    // single outline is shared, not copied. A text holds its runs' outlines
    // so, each once more at most.
    static QPainterPath joinOutlines(const std::vector<CSVGElementShape*>& shapes);
    // Whether the own path already holds the outlines of the shape children,
    // as a text's path holds those of its runs.
    virtual bool holdsChildOutlines() const { return false; }

    CSVGRect m_box;
    QPainterPath m_path;

private:
    bool isGroupElement() const;
    void drawChildren(QPainter* painter, const CSVGMatrix& view, bool selected, bool highlighted, bool onScreen);
    void drawReferenced(
        QPainter* painter, const CSVGMatrix& view, bool selected, bool highlighted, bool onScreen, bool innerPiece);
    bool hasClipPath();
    void applyClipPaths(QPainter* painter, const CSVGMatrix& view);
    QPen outlinePen(QPainter* painter, bool selected, bool highlighted, bool onScreen) const;
    static void strokeInDevicePixels(QPainter* painter, const QPainterPath& mapped, const QPen& pen);
    QColor penColor(bool selected, bool highlighted) const;
    void drawPosition(QPainter* painter, const QPainterPath& mapped, bool innerPiece);
    void drawPositionName(QPainter* painter, const QPainterPath& mapped, const QString& name);
    void drawMarkers(QPainter* painter, const QTransform& view, const QPainterPath& mapped, bool selected);
    void drawVertexMarkers(QPainter* painter, const QTransform& toDevice, const QPainterPath& mapped);
    void drawHighlightNodes(QPainter* painter, const QTransform& toDevice);
    // Whether the outline does not end where it starts.
    static bool hasOpenEnds(const QPainterPath& mapped);
    void drawEndMarkers(QPainter* painter, const QTransform& toDevice, const QPainterPath& mapped);
    void drawHighlightLines(QPainter* painter, const QTransform& toDevice);

    QList<int> m_markedNodes;
    QPainterPath m_nodeArea;
    QRectF m_lastPaintedRect;
};
