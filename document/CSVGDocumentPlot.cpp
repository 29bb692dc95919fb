// Plot preparation: the drawing cut into frames of a roll plotter, each frame
// one SVG text of polylines starting again at x = 0.

#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "CSVGElementPolyline.h"
#include "CSVGElementShape.h"
#include "CSVGSectionClipper.h"
#include "CSVGUtils.h"

#include <QDebug>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The frames are tall enough for any roll.
QRectF sectionRectangle(double width)
{
    return QRectF(0.0, -999999.0, width, 1999998.0);
}

// The index of the last section that the outlines reach; -1 when none is
// finite.
double lastSectionReached(const QList<QPolygonF>& polygons, const QRectF& sectionRect)
{
    double right = -std::numeric_limits<double>::infinity();
    for (const QPolygonF& polygon : polygons) {
        for (const QPointF& point : polygon) {
            if (std::isfinite(point.x()) && std::isfinite(point.y()))
                right = std::max(right, point.x());
        }
    }
    if (!std::isfinite(right))
        return -1.0;
    return std::max(0.0, std::floor((right - sectionRect.left()) / sectionRect.width()));
}

QList<QPolygonF> flattenElement(CSVGElement* element)
{
    CSVGElementShape* shape = CSVGElementShape::asShape(element);
    if (!shape)
        return {};
    shape->getTransformedBoundingRect();
    return CSVGUtils::pathToPolygons(shape->getTransformedPath(), QTransform());
}

std::vector<std::vector<QPolygonF>> clipPolygons(
    const QList<QPolygonF>& polygons, const QRectF& sectionRect, double overlap, int first, int last)
{
    CSVGSectionClipper clipper(sectionRect, overlap, first, last);
    for (const QPolygonF& polygon : polygons)
        clipper.addPolyline(polygon);
    return clipper.takeSections();
}

} // namespace

std::vector<QPolygonF> CSVGDocument::clipPolylineToRect(const QPolygonF& polyline, const QRectF& rect, double extension)
{
    return CSVGSectionClipper::clipPolylineToRect(polyline, rect, extension);
}

std::vector<std::vector<QPolygonF>> CSVGDocument::clipElementToSections(
    CSVGElement* element, const QRectF& sectionRect, double overlap)
{
    const QList<QPolygonF> polygons = flattenElement(element);
    if (polygons.isEmpty() || !(sectionRect.width() > 0))
        return {};
    const double last = std::min(lastSectionReached(polygons, sectionRect), double(kMaxPlotSections - 1));
    return clipPolygons(polygons, sectionRect, overlap, 0, std::max(0, int(last)));
}

// What is not drawn is not cut.
QList<QPolygonF> CSVGDocument::flattenRootChildren(CSVGDocument& work)
{
    QList<QPolygonF> polygons;
    CSVGElement* root = work.getOwnerSvg();
    for (int i = 0; root && i < root->getChildCount(); ++i) {
        CSVGElementShape* shape = CSVGElementShape::asShape(root->getChild(i));
        if (shape && !shape->isHidden())
            polygons += flattenElement(shape);
    }
    return polygons;
}

// The overlap check runs once on the pieces as they are, before any
// clipping: a piece cut in two by a frame boundary would otherwise be
// checked in halves, in documents without the other pieces. The pieces are
// clipped together, frame by frame, so they need no group of their own.
std::vector<std::wstring> CSVGDocument::buildPlotSections(double width, bool endLine, PlotOutcome* outcome)
{
    PlotOutcome ignored = PlotOutcome::NoSections;
    PlotOutcome& result = outcome ? *outcome : ignored;
    result = PlotOutcome::NoSections;
    CSVGDocument work;
    if (!(width > 0) || !std::isfinite(width) || !copyForPlot(work))
        return {};
    if (hasOverlappingPieces(work)) {
        showWarning(tr("Warning"), tr("Some pieces has intersected!"));
        result = PlotOutcome::Overlapping;
        return {};
    }
    if (endLine)
        addPlotEndMarks(work);
    if (!(work.getContentBoundingRect().right() > width))
        return {};

    const QRectF sectionRect = sectionRectangle(width);
    const QList<QPolygonF> polygons = flattenRootChildren(work);
    const double last = lastSectionReached(polygons, sectionRect);
    if (last >= kMaxPlotSections) {
        qWarning().noquote() << QStringLiteral("Plot refused: a frame length of %1 would need more than %2 frames")
                                    .arg(width)
                                    .arg(kMaxPlotSections);
        result = PlotOutcome::TooManySections;
        return {};
    }
    const auto sections = clipPolygons(polygons, sectionRect, 0.0, 0, std::max(0, int(last)));
    std::vector<std::wstring> texts;
    texts.reserve(sections.size());
    for (size_t k = 0; k < sections.size(); ++k)
        texts.push_back(sectionText(sections[k], double(k) * width));
    result = PlotOutcome::Sections;
    return texts;
}

// Through the SVG text, as the file would be read: the working copy holds
// what a reader of the saved drawing sees. Id tracking is off while the
// text is written, so this document's ids stay as they were.
bool CSVGDocument::copyForPlot(CSVGDocument& work)
{
    CSVGElement* root = getOwnerSvg();
    if (!root)
        return false;
    updateReferencedIds();
    updateRootNamespaces();
    std::wstring text;
    const bool tracking = isIdTracking();
    setIdTracking(false);
    root->writeSvg(text, 0, CSVGRect());
    setIdTracking(tracking);

    work.parseSvgText(text, false, false);
    CSVGElement* workRoot = work.getOwnerSvg();
    if (!workRoot)
        return false;
    work.updateReferencedIds();
    work.updateRootNamespaces();
    workRoot->updateMatrix(nullptr, false);
    for (int i = 0; i < workRoot->getChildCount(); ++i) {
        if (CSVGElementShape* shape = CSVGElementShape::asShape(workRoot->getChild(i))) {
            shape->getTransformedBoundingRect();
            shape->updateMatrix(nullptr, true);
        }
    }
    return true;
}

bool CSVGDocument::hasOverlappingPieces(CSVGDocument& work)
{
    work.setPageRect(QRectF());
    work.checkIntersections();
    for (const CheckedPiece& piece : work.m_checkedPieces) {
        if (work.isIntersected(piece.element) && piece.outline.elementCount() > 3)
            return true;
    }
    return false;
}

// Every piece of every section reached by the range, clipped whole; a piece
// is kept when it reaches into (first, last + 1) frames.
void CSVGDocument::keepSectionRange(const QRectF& sectionRect, double overlap, int first, int last)
{
    CSVGElement* root = getOwnerSvg();
    if (!root)
        return;
    const QList<QPolygonF> polygons = flattenRootChildren(*this);
    root->deleteChildren();
    const double width = sectionRect.width();
    if (polygons.isEmpty() || !(width > 0) || !std::isfinite(width))
        return;
    // An overlap wider than a frame lets earlier frames reach into the range.
    const double reach = std::isfinite(overlap) && overlap > 0 ? std::ceil(overlap / width) : 0.0;
    const int from = int(std::max(0.0, double(first) - 1.0 - reach));
    const int to = int(std::min(double(last), lastSectionReached(polygons, sectionRect)));
    if (to - double(from) >= kMaxPlotSections) {
        qWarning().noquote() << QStringLiteral("Sections %1 to %2 refused: more than %3 frames")
                                    .arg(first)
                                    .arg(last)
                                    .arg(kMaxPlotSections);
        return;
    }
    const double low = width * first;
    const double high = width * (double(last) + 1.0);
    for (const auto& section : clipPolygons(polygons, sectionRect, overlap, from, to)) {
        for (const QPolygonF& piece : section) {
            const QRectF box = piece.boundingRect();
            if (box.right() > low && box.left() < high)
                appendSectionPolyline(root, piece);
        }
    }
}

// In the order the cutting converter expects: stroke, fill, points and an
// identity transform.
CSVGElement* CSVGDocument::appendSectionPolyline(CSVGElement* parent, const QPolygonF& points)
{
    CSVGDocument* target = parent->getDocument();
    CSVGElement* polyline = target->createElement(L"polyline");
    polyline->setAttribute(L"stroke", m_defaultStroke, false);
    polyline->setAttribute(L"stroke-width", m_defaultStrokeWidth, false);
    polyline->setAttribute(L"stroke-dasharray", m_defaultStrokeDashArray, false);
    polyline->setAttribute(L"stroke-opacity", L"1", false);
    polyline->setAttribute(L"fill", m_defaultFill, false);
    polyline->setAttribute(L"fill-opacity", m_defaultFillOpacity, false);
    parent->adoptChild(polyline, true);
    polyline->setAttribute(L"points", CSVGElementPolyline::pointsToText(points), true);
    polyline->setAttribute(L"transform", CSVGMatrix().toString(), true);
    polyline->updateMatrix(nullptr, true);
    return polyline;
}

// One frame in a document of its own, moved left by the frame's start.
std::wstring CSVGDocument::sectionText(const std::vector<QPolygonF>& pieces, double shift)
{
    CSVGDocument section;
    CSVGElement* root = section.getOwnerSvg();
    for (const QPolygonF& piece : pieces)
        appendSectionPolyline(root, piece.translated(-shift, 0.0));
    return section.toSvgText();
}

// Sectioning needs one group holding the pieces; the range is cut only when
// the drawing is longer than one frame.
void CSVGDocument::keepSections(CSVGDocument& work, int widthLimit, double overlap, int firstSection, int lastSection)
{
    CSVGElement* root = work.getOwnerSvg();
    work.clearSelection();
    for (int i = 0; root && i < root->getChildCount(); ++i) {
        if (root->getChild(i)->isShape())
            work.selectElement(root->getChild(i), Qt::green);
    }
    work.groupSelection();
    const QRectF content = work.getContentBoundingRect();
    if (content.right() > widthLimit)
        work.keepSectionRange(sectionRectangle(widthLimit), overlap, firstSection, lastSection);
}
