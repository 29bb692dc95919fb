// The piece intersection check: which pieces overlap one another or lie
// across the page border, and the refusal to cut while they do.

#include "CSVGDocument.h"
#include "CSVGElementSVG.h"
#include "CSVGElementShape.h"
#include "InterfaceLocale.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QMetaObject>
#include <QMutex>
#include <QMutexLocker>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

namespace {

// Shared by every document: runs exclude each other.
QMutex g_checkMutex;

// Long enough for some hundred pieces, short enough that input and paints
// between two slices are not held up.
qint64 g_checkSliceNs = 8000000;
const int kPiecesPerClockCheck = 32;

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

namespace {
// Boxes that share an area, not only an edge.
bool boxesOverlap(const QRectF& a, const QRectF& b)
{
    return std::max(a.left(), b.left()) < std::min(a.right(), b.right())
        && std::max(a.top(), b.top()) < std::min(a.bottom(), b.bottom());
}

// The pieces that are drawn: one that is not is not cut either.
std::vector<CSVGElementShape*> listPieces(CSVGElement* root)
{
    std::vector<CSVGElementShape*> shapes;
    for (int i = 0; root && i < root->getChildCount(); ++i) {
        CSVGElementShape* shape = CSVGElementShape::asShape(root->getChild(i));
        if (shape && !shape->isTearLine() && !shape->isHidden())
            shapes.push_back(shape);
    }
    return shapes;
}
} // namespace

// The largest ring of a piece. A piece whose box is not finite (numbers
// beyond range in the file) cannot be tested and is left out.
void CSVGDocument::outlinePiece(CSVGElementShape* shape, std::vector<CheckedPiece>& pieces)
{
    QPainterPath outline;
    outline.addPolygon(CSVGElementShape::getLargestPolygon(shape->getTransformedPath()));
    const QRectF box = outline.boundingRect();
    if (isFinite(box))
        pieces.push_back({ shape, outline, box });
}

std::vector<CSVGDocument::CheckedPiece> CSVGDocument::collectPieces()
{
    std::vector<CheckedPiece> pieces;
    for (CSVGElementShape* shape : listPieces(getOwnerSvg()))
        outlinePiece(shape, pieces);
    return pieces;
}

void CSVGDocument::requestIntersectionCheck()
{
    if (!getOwnerSvg())
        return;
    m_checkRun = std::make_unique<CheckRun>();
    queueCheckSlice();
}

void CSVGDocument::queueCheckSlice()
{
    if (m_checkSliceQueued)
        return;
    m_checkSliceQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this]() {
            m_checkSliceQueued = false;
            runCheckSlice();
        },
        Qt::QueuedConnection);
}

void CSVGDocument::runCheckSlice()
{
    if (!m_checkRun)
        return;
    if (m_checkRun->outdated)
        m_checkRun = std::make_unique<CheckRun>();
    QMutexLocker lock(&g_checkMutex);
    if (!advanceCheck(*m_checkRun, g_checkSliceNs)) {
        queueCheckSlice();
        return;
    }
    const std::unique_ptr<CheckRun> run = std::move(m_checkRun);
    lock.unlock();
    finishCheck(*run);
}

void CSVGDocument::checkIntersections()
{
    QMutexLocker lock(&g_checkMutex);
    runCheck(collectPieces());
}

void CSVGDocument::runCheck(std::vector<CheckedPiece> pieces)
{
    m_checkRun.reset();
    qDebug().noquote() << QStringLiteral("begin CheckIntersection ");
    CheckRun run;
    run.clock.start();
    run.listed = true;
    run.pieces = std::move(pieces);
    advanceCheck(run, -1);
    finishCheck(run);
}

qint64 CSVGDocument::setCheckSliceTime(qint64 ns)
{
    return std::exchange(g_checkSliceNs, ns);
}

// Pairs are found by a sweep over the boxes sorted by their left edges, so
// pieces lying apart cost little; only pairs whose boxes overlap are tested
// on their outlines. The clock is read after work, so that every slice
// takes the run on, however short its time.
bool CSVGDocument::advanceCheck(CheckRun& run, qint64 budgetNs)
{
    QElapsedTimer clock;
    clock.start();
    const auto timeUp = [&clock, budgetNs]() { return budgetNs >= 0 && clock.nsecsElapsed() > budgetNs; };
    if (!run.listed) {
        qDebug().noquote() << QStringLiteral("begin CheckIntersection ");
        run.clock.start();
        run.shapes = listPieces(getOwnerSvg());
        run.listed = true;
    }
    while (run.outlined < run.shapes.size()) {
        outlinePiece(run.shapes[run.outlined++], run.pieces);
        if (run.outlined % kPiecesPerClockCheck == 0 && timeUp())
            return false;
    }
    if (run.order.size() != run.pieces.size()) {
        run.shapes.clear();
        run.order.resize(run.pieces.size());
        std::iota(run.order.begin(), run.order.end(), size_t(0));
        const std::vector<CheckedPiece>& pieces = run.pieces;
        std::stable_sort(run.order.begin(), run.order.end(),
            [&pieces](size_t a, size_t b) { return pieces[a].box.left() < pieces[b].box.left(); });
    }
    while (run.swept < run.order.size()) {
        sweepPiece(run, run.swept++);
        if (run.swept % kPiecesPerClockCheck == 0 && timeUp())
            return false;
    }
    return true;
}

// Marks the piece at that place of the sweep, and the later ones it overlaps.
void CSVGDocument::sweepPiece(CheckRun& run, size_t at) const
{
    const CheckedPiece& piece = run.pieces[run.order[at]];
    if (isDegenerate(piece.outline) || crossesPageBorder(piece.outline))
        run.marked.insert(piece.element);
    for (size_t q = at + 1; q < run.order.size(); ++q) {
        const CheckedPiece& other = run.pieces[run.order[q]];
        if (other.box.left() >= piece.box.right())
            break;
        if (boxesOverlap(piece.box, other.box) && piece.outline.intersects(other.outline)) {
            run.marked.insert(piece.element);
            run.marked.insert(other.element);
        }
    }
}

void CSVGDocument::finishCheck(CheckRun& run)
{
    qDebug().noquote() << QStringLiteral("CheckIntersection time used: ") + QString::number(run.clock.elapsed());
    m_intersected = std::move(run.marked);
    m_checkedPieces = std::move(run.pieces);
    m_intersectionStale = false;
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
        if (isInsidePage(shape) && isIntersected(shape)) {
            showWarning(tr("Warning"), tr("Some pieces has intersected!"));
            return false;
        }
        const QPainterPath outline = shape->getTransformedPath();
        if (crossesPageBorder(outline)) {
            warnPageEdge(outline.boundingRect());
            return false;
        }
    }
    return true;
}

// Which piece, by its size and place, so that the user can find it.
void CSVGDocument::warnPageEdge(const QRectF& piece)
{
    showWarning(tr("Warning"),
        tr("A piece of %1 × %2 mm at (%3, %4) mm crosses the page's edge.")
            .arg(millimetreText(piece.width()), millimetreText(piece.height()), millimetreText(piece.left()),
                millimetreText(piece.top())));
}

QString CSVGDocument::millimetreText(double value)
{
    return InterfaceLocale::fixed(value, 1);
}

// Edge by edge: a piece as thin as a line has an empty box, which QRectF's
// own tests pass over.
bool CSVGDocument::crossesPageBorder(const QPainterPath& path) const
{
    const QRectF box = path.boundingRect();
    const QRectF page = getMappedPageRect().toQRectF();
    const double tolerance = kPageEdgeTolerance;
    const bool intoPage = box.right() > page.left() + tolerance && box.left() < page.right() - tolerance
        && box.bottom() > page.top() + tolerance && box.top() < page.bottom() - tolerance;
    CSVGRect outline;
    outline.setFromQRectF(box);
    return intoPage && !getCutRegion().contains(outline);
}

bool CSVGDocument::isInsidePage(CSVGElement* element) const
{
    if (!element)
        return true;
    return CSVGElementShape::asShape(element) && element->isWithinRegion(getCutRegion());
}

CSVGRect CSVGDocument::getCutRegion() const
{
    const QRectF page = getMappedPageRect().toQRectF();
    const double tolerance = kPageEdgeTolerance;
    CSVGRect region;
    region.setFromQRectF(page.adjusted(-tolerance, -tolerance, tolerance, tolerance));
    return region;
}

// The pieces that the page's text leaves out, found as it finds them.
QVector<QRectF> CSVGDocument::piecesOutsidePage()
{
    QVector<QRectF> outside;
    CSVGElement* root = getOwnerSvg();
    const CSVGRect region = getCutRegion();
    for (int i = 0; root && i < root->getChildCount(); ++i) {
        CSVGElement* piece = root->getChild(i);
        CSVGElementShape* shape = CSVGElementShape::asShape(piece);
        if (shape && !shape->isHidden() && !piece->isWithinRegion(region))
            outside << shape->getTransformedBoundingRect().toQRectF();
    }
    return outside;
}

CSVGRect CSVGDocument::getMappedPageRect() const
{
    CSVGRect page;
    page.setFromQRectF(m_pageRect);
    return page.transformed(m_pageMatrix);
}

QRectF CSVGDocument::getNestingPageRect()
{
    const QRectF cut = getMappedPageRect().toQRectF();
    if (!cut.isEmpty())
        return cut;
    auto* root = dynamic_cast<CSVGElementSVG*>(getOwnerSvg());
    if (!root)
        return cut;
    const CSVGRect viewBox = root->getViewBox();
    return !root->getAttribute(L"viewBox").empty() && viewBox.width > 0 && viewBox.height > 0
        ? viewBox.toQRectF()
        : QRectF(0, 0, root->getWidth(), root->getHeight());
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
