// Tear lines around the pieces, and cutting a piece along a line.

#include "CActionAdd.h"
#include "CActionAttr.h"
#include "CActionComposite.h"
#include "CActionDel.h"
#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "CSVGElementPath.h"
#include "CSVGShapeBoolean.h"
#include "CSVGUtils.h"
#include "SvgCodes.h"

#include <QLineF>

#include <climits>
#include <cmath>
#include <unordered_map>

namespace {
const wchar_t* const kTearLine = L"tear_line";

bool isMarkedTearLine(const CSVGElement* element)
{
    return element->getAttribute(kTearLine) == L"true";
}

// The setting as whole units; anything unusable reads 0.
int separationSetting()
{
    const double value = std::trunc(g_config.getSetting(QStringLiteral("Separation")).toDouble());
    return std::isfinite(value) && value > 0 && value <= INT_MAX ? int(value) : 0;
}

// The leaf with the largest untransformed box, the first on ties; null when
// every leaf's box has no area. Tear lines are no part of a piece.
CSVGElementShape* largestLeaf(CSVGElement* piece)
{
    CSVGElementShape* largest = nullptr;
    double largestArea = 0;
    for (CSVGElement* leaf : CSVGUtils::collectShapes(piece)) {
        CSVGElementShape* shape = isMarkedTearLine(leaf) ? nullptr : CSVGElementShape::asShape(leaf);
        const CSVGRect box = shape ? shape->getBoundingRect() : CSVGRect();
        const double area = box.width * box.height;
        if (shape && area > largestArea) {
            largest = shape;
            largestArea = area;
        }
    }
    return largest;
}

const QPolygonF* largestPolygon(const std::vector<QPolygonF>& polygons)
{
    const QPolygonF* largest = nullptr;
    double largestArea = -1;
    for (const QPolygonF& polygon : polygons) {
        const QRectF box = polygon.boundingRect();
        if (box.width() * box.height() > largestArea) {
            largest = &polygon;
            largestArea = box.width() * box.height();
        }
    }
    return largest;
}
} // namespace

bool CSVGDocument::hasTearLine()
{
    for (CSVGElement* leaf : CSVGUtils::collectShapes(getOwnerSvg())) {
        if (leaf->isTearLine())
            return true;
    }
    return false;
}

void CSVGDocument::createTearLine(bool create)
{
    CSVGElement* root = getOwnerSvg();
    if (!root)
        return;
    setContentChanged(true);
    if (!create) {
        removeTearLines(root);
        return;
    }
    QList<CSVGElement*> pieces;
    for (CSVGElement* element : m_selection)
        pieces.append(element);
    for (int i = 0; m_selection.isEmpty() && i < root->getChildCount(); ++i) {
        if (root->getChild(i)->isShape())
            pieces.append(root->getChild(i));
    }
    // A line on or inside the pieces would cut into them.
    const int separation = separationSetting();
    const QList<CSVGElement*> offsets = separation > 0 ? tearLineOffsets(pieces, separation) : QList<CSVGElement*>();
    if (offsets.isEmpty())
        return;
    const QList<CSVGElement*> united = CSVGShapeBoolean(this).unite(offsets);
    qDeleteAll(offsets);
    if (united.isEmpty())
        return;
    auto* step = new CActionComposite(this);
    m_history.push(step);
    // A line, not a piece: filled, it would cover the pieces it surrounds.
    for (CSVGElement* line : united) {
        for (CSVGElement* leaf : CSVGUtils::collectShapes(line)) {
            leaf->setAttribute(kTearLine, L"true", true);
            leaf->setAttribute(L"fill", L"none", true);
        }
        root->adoptChild(line, true);
        step->addAction(new CActionAdd(this, root, line));
    }
    m_tearLinePlacement.added(step, united, pieces);
}

// The pieces' places before and after the move are remembered, so that
// taking the lines away again gives back the drawing as it was, text for
// text.
void CSVGDocument::placeNewTearLines(const QRectF& rect)
{
    CActionComposite* step = m_tearLinePlacement.addedStep();
    const size_t done = m_history.getCursor();
    if (!step || done == 0 || m_history.getActions()[done - 1] != step)
        return;
    clearSelection();
    std::vector<CSVGTearLinePlacement::Move> moves;
    for (CSVGElement* piece : m_tearLinePlacement.addedPieces()) {
        if (isInDrawing(piece) && piece->isShape() && !piece->isTearLine()) {
            selectElement(piece, Qt::green);
            moves.push_back({ piece, piece->getAttribute(L"transform"), std::wstring() });
        }
    }
    alignLeftBottom(rect, step);
    for (CSVGTearLinePlacement::Move& move : moves)
        move.after = move.piece->getAttribute(L"transform");
    m_tearLinePlacement.placed(std::move(moves));
}

// The offsets get no parent: they only carry the outlines into the union,
// and the caller deletes them.
QList<CSVGElement*> CSVGDocument::tearLineOffsets(const QList<CSVGElement*>& pieces, int separation)
{
    QList<CSVGElement*> offsets;
    for (CSVGElement* piece : pieces) {
        CSVGElementShape* leaf = largestLeaf(piece);
        const std::vector<QPolygonF> rings = leaf
            ? leaf->getOffsetOutline(separation, 0.01, ClipperLib::jtRound, ClipperLib::etClosedPolygon)
            : std::vector<QPolygonF>();
        if (const QPolygonF* ring = largestPolygon(rings)) {
            QPainterPath outline;
            outline.addPolygon(*ring);
            offsets.append(createPathElement(outline));
        }
    }
    return offsets;
}

// Exactly the tear lines go, and a container whose every shape is one:
// the pieces beside them stay at any depth. The walk keeps its own stack.
void CSVGDocument::removeTearLines(CSVGElement* root)
{
    std::vector<CSVGElement*> elements;
    root->collectDescendants(elements, false);
    std::unordered_map<const CSVGElement*, bool> onlyTearLines;
    for (auto it = elements.rbegin(); it != elements.rend(); ++it) {
        const CSVGElement* element = *it;
        bool all = element->getChildCount() > 0 || isMarkedTearLine(element);
        bool anyShape = element->getChildCount() == 0;
        for (int i = 0; i < element->getChildCount(); ++i) {
            const CSVGElement* child = element->getChild(i);
            if (child->isShape()) {
                anyShape = true;
                all = all && onlyTearLines[child];
            }
        }
        onlyTearLines[element] = element->isShape() && all && anyShape;
    }
    std::vector<CSVGElement*> doomed;
    for (CSVGElement* element : elements) {
        const CSVGElement* parent = element->getParent();
        if (onlyTearLines[element] && (parent == root || !onlyTearLines[parent]))
            doomed.push_back(element);
    }
    for (CSVGElement* element : doomed)
        unselectElement(element);
    if (!doomed.empty()) {
        auto* step = new CActionComposite(this);
        m_history.push(step);
        removeInto(step, doomed);
        restorePlacedPieces(step, doomed);
    }
    if (m_currentElement && !isInDrawing(m_currentElement))
        clearCurrentElement();
}

void CSVGDocument::restorePlacedPieces(CActionComposite* step, const std::vector<CSVGElement*>& lines)
{
    for (const auto& [piece, transform] : m_tearLinePlacement.restores(lines)) {
        if (!isInDrawing(piece))
            continue;
        auto* change = new CActionAttr(this, piece, L"transform");
        piece->setAttribute(L"transform", transform, true);
        piece->updateMatrix(nullptr, true);
        change->captureAfterState();
        step->addAction(change);
    }
}

void CSVGDocument::splitShape(const QPointF& start, const QPointF& end)
{
    CSVGElementShape* shape = CSVGElementShape::asShape(getFirstSelected());
    if (!shape || !lineCrossesOutline(shape, QLineF(start, end)))
        return;
    QPainterPath line(start);
    line.lineTo(end);
    const QList<CSVGElement*> pieces = CSVGShapeBoolean(this).cutByLine(shape, line);
    if (pieces.isEmpty())
        return;
    CSVGElement* root = getOwnerSvg();
    clearSelection();
    auto* step = new CActionComposite(this);
    m_history.push(step);
    for (CSVGElement* piece : pieces)
        step->addAction(new CActionAdd(this, root, piece));
    step->addAction(new CActionDel(this, shape));
    shape->removeFromParent(true);
    setContentChanged(true);
    setEditMode(EditMode::Select);
}

// A line that crosses no edge leaves the piece whole: at most a slit inside
// it, which is no split.
bool CSVGDocument::lineCrossesOutline(CSVGElementShape* shape, const QLineF& line)
{
    if (line.p1() == line.p2())
        return false;
    for (const QPolygonF& polygon : CSVGUtils::pathToPolygons(shape->getTransformedPath(), QTransform())) {
        for (int i = 0; i + 1 < polygon.size(); ++i) {
            if (line.intersects(QLineF(polygon[i], polygon[i + 1]), nullptr) == QLineF::BoundedIntersection)
                return true;
        }
    }
    return false;
}
