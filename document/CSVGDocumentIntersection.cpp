// The piece intersection check: which pieces overlap one another or lie
// across the page border, and the refusal to cut while they do.

#include "CSVGDocument.h"
#include "CSVGElementShape.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QMetaObject>
#include <QMutex>
#include <QMutexLocker>
#include <QPainterPath>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numeric>

namespace {

// Shared by every document: runs exclude each other, and any request stops
// the run under way.
QMutex g_checkMutex;
std::atomic<bool> g_checkAbort { false };

bool isFinite(const QRectF& rect)
{
    return std::isfinite(rect.x()) && std::isfinite(rect.y()) && std::isfinite(rect.width())
        && std::isfinite(rect.height());
}

// A polygon of two points closed back onto the first.
bool isDegenerate(const QPainterPath& outline)
{
    return outline.elementCount() == 3 && outline.pointAtPercent(1.0) == outline.pointAtPercent(0.0);
}

} // namespace

bool CSVGDocument::CheckedPiece::operator==(const CheckedPiece& other) const
{
    return element == other.element && outline == other.outline;
}

// The largest ring of every piece. A piece whose box is not finite (numbers
// beyond range in the file) cannot be tested and is left out, and so is one
// that is not drawn: it is not cut either.
std::vector<CSVGDocument::CheckedPiece> CSVGDocument::collectPieces()
{
    std::vector<CheckedPiece> pieces;
    CSVGElement* root = getOwnerSvg();
    for (int i = 0; root && i < root->getChildCount(); ++i) {
        CSVGElementShape* shape = CSVGElementShape::asShape(root->getChild(i));
        if (!shape || shape->isTearLine() || shape->isHidden())
            continue;
        QPainterPath outline;
        outline.addPolygon(CSVGElementShape::getLargestPolygon(shape->getTransformedPath()));
        const QRectF box = outline.boundingRect();
        if (isFinite(box))
            pieces.push_back({ shape, outline, box });
    }
    return pieces;
}

void CSVGDocument::requestIntersectionCheck()
{
    if (!getOwnerSvg())
        return;
    g_checkAbort = true;
    QMetaObject::invokeMethod(
        this, [this]() { checkIntersections(); }, Qt::QueuedConnection);
}

void CSVGDocument::checkIntersections()
{
    QMutexLocker lock(&g_checkMutex);
    runCheck(collectPieces());
}

// Pairs are found by a sweep over the boxes sorted by their left edges, so
// pieces lying apart cost little; only pairs whose boxes overlap are tested
// on their outlines.
void CSVGDocument::runCheck(std::vector<CheckedPiece> pieces)
{
    g_checkAbort = false;
    m_intersected.clear();
    qDebug().noquote() << QStringLiteral("begin CheckIntersection ");
    QElapsedTimer timer;
    timer.start();

    std::vector<size_t> order(pieces.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(),
        [&pieces](size_t a, size_t b) { return pieces[a].box.left() < pieces[b].box.left(); });
    for (size_t p = 0; p < order.size() && !g_checkAbort; ++p) {
        const CheckedPiece& piece = pieces[order[p]];
        if (isDegenerate(piece.outline) || crossesPageBorder(piece.outline))
            m_intersected.insert(piece.element);
        for (size_t q = p + 1; q < order.size() && !g_checkAbort; ++q) {
            const CheckedPiece& other = pieces[order[q]];
            if (other.box.left() >= piece.box.right())
                break;
            if (!piece.box.intersected(other.box).isEmpty() && piece.outline.intersects(other.outline)) {
                m_intersected.insert(piece.element);
                m_intersected.insert(other.element);
            }
        }
    }
    m_intersectionStale = g_checkAbort;
    m_checkedPieces = std::move(pieces);
    qDebug().noquote() << QStringLiteral("CheckIntersection time used: ") + QString::number(timer.elapsed());
    notifyChanged();
}

bool CSVGDocument::isIntersected(const CSVGElement* shape) const
{
    return shape && m_intersected.count(shape) > 0;
}

bool CSVGDocument::isIntersectionStale()
{
    return m_intersectionStale || collectPieces() != m_checkedPieces;
}

// The check that the cut command queues just before comes too late for this
// answer: with stale marks the check runs here first.
bool CSVGDocument::checkNoIntersection()
{
    CSVGElement* root = getOwnerSvg();
    if (!root)
        return false;
    std::vector<CheckedPiece> pieces = collectPieces();
    if (m_intersectionStale || pieces != m_checkedPieces) {
        QMutexLocker lock(&g_checkMutex);
        runCheck(std::move(pieces));
    }
    for (int i = 0; i < root->getChildCount(); ++i) {
        CSVGElementShape* shape = CSVGElementShape::asShape(root->getChild(i));
        if (!shape || shape->isHidden())
            continue;
        if ((isInsidePage(shape) && isIntersected(shape)) || crossesPageBorder(shape->getTransformedPath())) {
            showWarning(tr("Warning"), tr("Some pieces has intersected!"));
            return false;
        }
    }
    return true;
}

bool CSVGDocument::crossesPageBorder(const QPainterPath& path) const
{
    const QRectF box = path.boundingRect();
    const QRectF inside = box.intersected(getMappedPageRect().toQRectF());
    return !inside.isEmpty() && inside != box;
}

bool CSVGDocument::isInsidePage(CSVGElement* element) const
{
    if (!element)
        return true;
    CSVGElementShape* shape = CSVGElementShape::asShape(element);
    return shape && getMappedPageRect().contains(shape->getTransformedBoundingRect());
}

CSVGRect CSVGDocument::getMappedPageRect() const
{
    CSVGRect page;
    page.setFromQRectF(m_pageRect);
    return page.transformed(m_pageMatrix);
}

void CSVGDocument::setPageRect(const QRectF& rect)
{
    m_pageRect = rect;
    m_intersectionStale = true;
}

void CSVGDocument::setPageMatrix(const CSVGMatrix& matrix)
{
    m_pageMatrix = matrix;
    m_intersectionStale = true;
}

CSVGDocument::WarningHook& CSVGDocument::warningHook()
{
    static WarningHook hook;
    return hook;
}

void CSVGDocument::setWarningHook(WarningHook hook)
{
    warningHook() = std::move(hook);
}

void CSVGDocument::showWarning(const QString& title, const QString& text)
{
    if (warningHook())
        warningHook()(title, text);
    else
        qWarning().noquote() << title + QStringLiteral(": ") + text;
}
