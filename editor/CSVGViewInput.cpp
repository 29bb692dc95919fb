// The canvas's mouse, wheel, key and drop handling: the view keeps the
// rubber band, the tool lines and the path being drawn, and hands every
// point to its document in document coordinates.

#include "CSVGView.h"

#include "CMainFrame.h"
#include "CSVGElementPath.h"
#include "CSVGRulerItem.h"
#include "CSVGScene.h"
#include "DlgText.h"
#include "PictureDecoder.h"
#include "SVGCurveItem.h"
#include "SVGPathItem.h"
#include "SelectRubberBand.h"
#include "SvgCodes.h"

#include <QClipboard>
#include <QCursor>
#include <QGraphicsLineItem>
#include <QGuiApplication>
#include <QHash>
#include <QMimeData>
#include <QMouseEvent>
#include <QMutexLocker>
#include <QScrollBar>
#include <QToolTip>
#include <QUrl>

#include <cfloat>
#include <cmath>

namespace {
const double kNotchFactor = 0.8911;
const int kNotch = 120;
// The formats a drop may carry as Base64 under "text" followed by the name,
// in the order they are looked for.
const char* const kDroppedImageFormats[]
    = { "jpg", "bmp", "png", "jpeg", "gif", "tiff", "jfif", "tif", "pcx", "tga", "exif", "fpx", "avif" };

struct CursorImage
{
    int code;
    const char* path;
    int hotX;
    int hotY;
};

const CursorImage kCursorImages[] = {
    { CursorCode::Drawing, ":/images/drawcursor.png", 10, 10 },
    { CursorCode::ZoomIn, ":/images/zoomin.png", 8, 8 },
    { CursorCode::ZoomOut, ":/images/zoomout.png", 8, 8 },
    { CursorCode::OverNode, ":/images/movecursor.png", 12, 12 },
    { CursorCode::HandOpen, ":/images/hand_open.png", 12, 12 },
    { CursorCode::OverSelection, ":/images/select.png", 8, 8 },
    { CursorCode::HandClosed, ":/images/hand_close.png", 12, 12 },
    { CursorCode::Copy, ":/images/drawcopy.png", 12, 12 },
};

// Made once: every move sets a cursor, and a decode per move would show.
const QHash<int, QCursor>& imageCursors()
{
    static const QHash<int, QCursor> cursors = [] {
        QHash<int, QCursor> made;
        for (const CursorImage& image : kCursorImages)
            made.insert(image.code, QCursor(QPixmap::fromImage(QImage(image.path)), image.hotX, image.hotY));
        return made;
    }();
    return cursors;
}

bool within(const QPointF& a, const QPointF& b, double tolerance)
{
    return std::fabs(a.x() - b.x()) < tolerance && std::fabs(a.y() - b.y()) < tolerance;
}

QPointF pathStart(CSVGElementPath* path)
{
    const CSVGPathSeg* first = path->getSegment(0);
    return first ? path->getMatrix().map(QPointF(first->x, first->y)) : QPointF();
}

// The picture of the Base64 text, read only when its size is within what an
// image element may hold; a null image otherwise.
QImage decodeDroppedImage(const QByteArray& base64, QByteArray& bytes)
{
    const auto decoded = QByteArray::fromBase64Encoding(base64.trimmed(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return QImage();
    bytes = decoded.decoded;
    return PictureDecoder::decode(bytes);
}
} // namespace

QPointF CSVGView::toDocument(const QPoint& viewportPoint) const
{
    return mapToScene(viewportPoint);
}

// One screen millimetre, in document units.
void CSVGView::setSnapTolerance()
{
    const double scale = displayScale();
    if (std::fabs(scale) > 1e-5)
        m_document.setPickTolerance(1 / scale);
}

void CSVGView::updateMainFrameActions()
{
    if (m_mainFrame)
        m_mainFrame->updateActionStates();
}

void CSVGView::mousePressEvent(QMouseEvent* event)
{
    if (m_pathItem && m_document.getEditMode() != EditMode::Path)
        endPathDrawing();
    setSnapTolerance();
    const QPointF point = toDocument(event->pos());
    if (event->button() == Qt::LeftButton) {
        if (!leftPress(event, point))
            return;
    } else if (event->button() == Qt::RightButton) {
        rightPress(event, point);
    } else if (event->button() == Qt::MiddleButton && !m_document.hasTearLine()) {
        m_middleDrag = true;
        m_dragPosition = event->pos();
        onMiddleButtonDown(event);
    }
    QGraphicsView::mousePressEvent(event);
}

// False when the press is used up here and the base class is not to see it.
bool CSVGView::leftPress(QMouseEvent* event, const QPointF& point)
{
    m_leftButtonDown = true;
    m_pressPosition = event->pos();
    m_nodePress = false;
    if (m_pickPosition && m_textDialog) {
        m_textDialog->setPosition(point);
        m_pickPosition = false;
        return false;
    }
    const int mode = m_document.getEditMode();
    if (mode == EditMode::MovePoint && !movePointPress(point))
        return false;
    if (mode == EditMode::Select) {
        // A press on a piece selects it and its drag moves it: only empty
        // canvas starts a band.
        if (!m_document.getSelectionRect().contains(point) && m_document.elementsAtPoint(point).isEmpty()) {
            showRubberBand();
            m_bandBase.clear();
            if (event->modifiers() & Qt::ShiftModifier) {
                for (CSVGElement* element : m_document.getSelection())
                    m_bandBase.append(element);
            }
        }
    } else if (m_document.isOutlineEditMode() && mode != EditMode::AddNode && !m_nodePress) {
        showRubberBand();
    } else if (mode == EditMode::Ruler) {
        rulerPress(point);
    } else if (mode == EditMode::Mirror || mode == EditMode::Split) {
        linePress(point);
    } else if (mode == EditMode::Copy) {
        copyToolPress(point);
    } else if (mode == EditMode::Path) {
        pathPress(point);
    } else if (mode == EditMode::AddNode) {
        m_document.insertPointOnOutline(point);
        repaint();
    }
    onLeftButtonDown(event);
    return true;
}

// A press beside the nodes on an edge of the selection starts bending that
// edge: false, the curve takes the press.
bool CSVGView::movePointPress(const QPointF& point)
{
    if (m_document.findNodeAt(point).index >= 0) {
        m_nodePress = true;
        return true;
    }
    const QLineF segment = m_document.nearestSegment(point);
    if (segment.isNull())
        return true;
    delete m_curveItem;
    m_curveItem = new SVGCurveItem(this);
    QPainterPath path(segment.p1());
    path.lineTo(segment.center());
    path.lineTo(segment.p2());
    m_curveItem->setPath(path);
    m_curveItem->setPen(QPen(Qt::green, 1 / displayScale(), Qt::DashDotDotLine));
    m_scene->addItem(m_curveItem);
    return false;
}

void CSVGView::showRubberBand()
{
    if (!m_rubberBand)
        m_rubberBand = new SelectRubberBand(viewport());
    m_rubberBand->setGeometry(QRect(m_pressPosition, QSize()));
    m_rubberBand->show();
}

void CSVGView::rulerPress(const QPointF& point)
{
    if (!m_currentRuler) {
        m_currentRuler = new CSVGRulerItem(this);
        m_currentRuler->setLine(QLineF(point, point));
        m_currentRuler->syncGeometry();
        m_scene->addItem(m_currentRuler);
        return;
    }
    m_rulers.append(m_currentRuler);
    m_currentRuler = nullptr;
}

void CSVGView::linePress(const QPointF& point)
{
    if (m_lineItem) {
        splitAlong(point);
        return;
    }
    m_lineItem = new QGraphicsLineItem(QLineF(point, point));
    QPen pen(Qt::black, 0);
    pen.setCosmetic(true);
    m_lineItem->setPen(pen);
    m_scene->addItem(m_lineItem);
}

// The line of the mirror or split tool ends at the point and is used.
void CSVGView::splitAlong(const QPointF& end)
{
    QLineF line = m_lineItem->line();
    line.setP2(end);
    delete m_lineItem;
    m_lineItem = nullptr;
    if (m_document.getEditMode() == EditMode::Mirror)
        m_document.mirrorAlongLine(line.x1(), line.y1(), line.x2(), line.y2());
    else
        m_document.splitShape(line.p1(), line.p2());
    repaint();
}

void CSVGView::pathPress(const QPointF& pressed)
{
    QPointF point = pressed;
    const HighlightNode node = m_document.findNodeAt(point);
    if (node.index >= 0)
        point = node.point;
    if (!m_pathItem) {
        CSVGElement* element = m_document.createElement(L"path");
        auto* path = element && element->getType() == SvgType::Path ? static_cast<CSVGElementPath*>(element) : nullptr;
        if (!path) {
            delete element;
            return;
        }
        path->appendMoveto(point.x(), point.y());
        path->appendLineto(point.x(), point.y());
        path->setAttribute(L"d", path->toPathData(), true);
        m_continuedData.clear();
        m_continuing = false;
        m_pathItem = new SVGPathItem(this, path);
        m_scene->addItem(m_pathItem);
        return;
    }
    CSVGElementPath* path = m_pathItem->getPath();
    if (!path)
        return;
    const QPointF start = pathStart(path);
    if (within(point, start, m_document.getPickTolerance()))
        point = start;
    m_continuedData.clear();
    m_document.appendPathPoint(path, point);
    m_pathItem->pathChanged();
    const bool closed = m_continuing ? point == start : m_document.isDrawnPathClosed(path);
    if (closed)
        endPathDrawing();
}

void CSVGView::endPathDrawing()
{
    SVGPathItem* item = m_pathItem;
    m_pathItem = nullptr;
    m_continuing = false;
    CSVGElementPath* path = item ? item->getPath() : nullptr;
    delete item;
    if (!path)
        return;
    if (!m_continuedData.empty()) {
        // Continued, and no node added: the path is as it was.
        path->setAttribute(L"d", m_continuedData, true);
        m_continuedData.clear();
        return;
    }
    m_document.updatePathDrawing(path, QPointF(DBL_MAX, DBL_MAX));
    m_document.finishPathDrawing(path);
    if (!path->getParent())
        delete path;
    repaint();
}

// The segment placed last goes and the path is finished without it; with
// less than two segments placed the drawing goes on untouched. A continued
// path that has gained nothing yet is left as it was.
void CSVGView::undoPathSegment()
{
    CSVGElementPath* path = m_pathItem->getPath();
    if (!path || !m_continuedData.empty()) {
        endPathDrawing();
        return;
    }
    // The last segment is the rubber one that follows the pointer.
    if (path->getSegmentCount() - 1 < 2)
        return;
    SVGPathItem* item = std::exchange(m_pathItem, nullptr);
    m_continuing = false;
    delete item;
    m_document.updatePathDrawing(path, QPointF(DBL_MAX, DBL_MAX));
    path->removeSegment(path->getSegmentFromEnd(0));
    path->removeSegment(path->getSegmentFromEnd(0));
    path->setAttribute(L"d", path->toPathData(), true);
    m_document.finishPathDrawing(path);
    if (!path->getParent())
        delete path;
    setDrawMode(EditMode::Select);
}

void CSVGView::onLeftButtonDown(QMouseEvent* event)
{
    QMutexLocker locker(&m_viewMutex);
    m_pressPosition = event->pos();
    const QPointF point = toDocument(event->pos());
    const int mode = m_document.getEditMode();
    if (mode == EditMode::PasteAt) {
        const QString text = QGuiApplication::clipboard()->text();
        if (!text.isEmpty())
            m_document.pasteSvgTextAt(text.toStdWString(), point);
        repaint();
        return;
    }
    if (mode == EditMode::Text)
        return;
    const Qt::KeyboardModifiers keys = event->modifiers();
    const bool extend = mode == EditMode::Select || mode == EditMode::DeleteFeature ? keys & Qt::ShiftModifier
                                                                                    : keys & Qt::ControlModifier;
    setCursorShape(m_document.leftButtonDown(point, extend, keys & Qt::AltModifier));
    updateMainFrameActions();
}

void CSVGView::rightPress(QMouseEvent* event, const QPointF& point)
{
    switch (m_document.getEditMode()) {
    case EditMode::PartialExpand:
        m_document.partialExpand(m_partialExpandWidth);
        break;
    case EditMode::CutCurve:
        m_document.cutCurve();
        break;
    case EditMode::DeletePoint:
        m_document.deletePoint();
        break;
    case EditMode::DeleteFeature:
        m_document.deleteFeature();
        break;
    case EditMode::Split:
        if (m_lineItem)
            splitAlong(point);
        return;
    case EditMode::AddNode:
        setDrawMode(EditMode::Select);
        return;
    default:
        m_dragPosition = event->pos();
        m_rightButtonDown = true;
        m_rotationCentre = m_document.getSelectionRect().center();
        return;
    }
    repaint();
}

void CSVGView::onMiddleButtonDown(QMouseEvent* event)
{
    setCursorShape(m_document.middleButtonDown(toDocument(event->pos())));
}

void CSVGView::onMiddleButtonUp(QMouseEvent* event)
{
    setCursorShape(m_document.middleButtonUp(toDocument(event->pos())));
}

void CSVGView::mouseMoveEvent(QMouseEvent* event)
{
    setSnapTolerance();
    const QPointF point = toDocument(event->pos());
    if (!toolMove(event, point))
        onMouseMoved(event);
    QGraphicsView::mouseMoveEvent(event);
}

// True when the move is the view's own business and the document is not
// told of it.
bool CSVGView::toolMove(QMouseEvent* event, const QPointF& point)
{
    const int mode = m_document.getEditMode();
    if ((mode == EditMode::Select || m_document.isOutlineEditMode()) && m_leftButtonDown && m_rubberBand) {
        m_rubberBand->setGeometry(QRect(m_pressPosition, event->pos()).normalized());
        return true;
    }
    if (mode == EditMode::Select && m_rightButtonDown) {
        rotateMove(event->pos());
        return true;
    }
    if (mode == EditMode::MovePoint && m_curveItem && m_curveItem->path().elementCount() == 3) {
        QPainterPath path = m_curveItem->path();
        path.setElementPositionAt(1, point.x(), point.y());
        m_curveItem->setPath(path);
        return true;
    }
    if (mode == EditMode::Ruler && m_currentRuler) {
        const bool constrain = (event->modifiers() & Qt::ControlModifier) || m_document.isOrientation();
        const QPointF start = m_currentRuler->line().p1();
        m_currentRuler->setLine(QLineF(start, constrain ? CSVGDocument::constrainAngle(start, point) : point));
        m_currentRuler->syncGeometry();
        return true;
    }
    if ((mode == EditMode::Mirror || mode == EditMode::Split) && m_lineItem) {
        m_lineItem->setLine(QLineF(m_lineItem->line().p1(), point));
        return true;
    }
    if (m_middleDrag) {
        const QPoint shift = m_dragPosition - event->pos();
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + shift.x());
        verticalScrollBar()->setValue(verticalScrollBar()->value() + shift.y());
        m_dragPosition = event->pos();
        return true;
    }
    if (mode == EditMode::Copy && copyToolMove(point))
        return true;
    if (mode == EditMode::Path && m_pathItem)
        pathMove(point);
    return false;
}

// The piece turns the way the pointer goes round the centre: angles of
// lines count counter-clockwise on the screen, a rotation of the drawing
// clockwise.
void CSVGView::rotateMove(const QPoint& position)
{
    const QLineF before(m_rotationCentre, toDocument(m_dragPosition));
    const QLineF after(m_rotationCentre, toDocument(position));
    {
        QMutexLocker locker(&m_viewMutex);
        m_document.rotateSelection(after.angleTo(before), m_rotationCentre, false);
    }
    m_dragPosition = position;
    repaint();
}

void CSVGView::pathMove(const QPointF& point)
{
    CSVGElementPath* path = m_pathItem->getPath();
    if (!path)
        return;
    const bool onStart = within(point, pathStart(path), m_document.getPickTolerance());
    setCursorShape(onStart ? CursorCode::OverNode : CursorCode::OverSelection);
    m_document.updatePathDrawing(path, point);
    m_pathItem->pathChanged();
    m_scene->update();
}

void CSVGView::onMouseMoved(QMouseEvent* event)
{
    QMutexLocker locker(&m_viewMutex);
    const QPointF point = toDocument(event->pos());
    const Qt::KeyboardModifiers keys = event->modifiers();
    const int code = m_document.mouseMove(point, keys & Qt::ControlModifier, keys & Qt::AltModifier);
    if (m_document.isContentChanged())
        repaint();
    setCursorShape(code);
    if (m_mainFrame)
        m_mainFrame->setCursorPosition(point.x(), point.y());
}

void CSVGView::mouseReleaseEvent(QMouseEvent* event)
{
    toolRelease(event);
    if (event->button() == Qt::LeftButton) {
        onLeftButtonUp(event);
        m_leftButtonDown = false;
    } else if (event->button() == Qt::RightButton) {
        onRightButtonUp(event);
        m_rightButtonDown = false;
    } else if (event->button() == Qt::MiddleButton) {
        onMiddleButtonUp(event);
        m_middleDrag = false;
    }
    QGraphicsView::mouseReleaseEvent(event);
}

// What the rubber band or the move-point curve marked goes to the document.
void CSVGView::toolRelease(QMouseEvent* event)
{
    const int mode = m_document.getEditMode();
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    if (mode == EditMode::MovePoint && m_curveItem) {
        const QPainterPath path = m_curveItem->path();
        delete m_curveItem;
        m_curveItem = nullptr;
        m_document.movePoint(path);
        repaint();
        return;
    }
    if (!m_rubberBand)
        return;
    const QRectF band = mapToScene(m_rubberBand->geometry()).boundingRect();
    const bool empty = m_rubberBand->geometry().isEmpty();
    delete m_rubberBand;
    m_rubberBand = nullptr;
    if (empty)
        return;
    if (mode == EditMode::Select) {
        m_document.clearSelection();
        for (const QPointer<CSVGElement>& element : qAsConst(m_bandBase)) {
            if (element && extend)
                m_document.selectElement(element, Qt::green);
        }
        for (CSVGElement* element : m_document.elementsInRect(band))
            m_document.selectElement(element, Qt::green);
    } else if (m_document.isOutlineEditMode()) {
        const CSVGRect rect(band.x(), band.y(), band.width(), band.height());
        m_document.selectInRubberBand(rect, extend);
    }
}

// The zoom tools scale the canvas itself: the document's view matrix is not
// what the canvas shows.
void CSVGView::onLeftButtonUp(QMouseEvent* event)
{
    QMutexLocker locker(&m_viewMutex);
    const int mode = m_document.getEditMode();
    int code = CursorCode::Default;
    if (mode == EditMode::ZoomIn || mode == EditMode::ZoomOut) {
        m_document.cancelDrag();
        const double factor = mode == EditMode::ZoomIn ? 1.2 : 0.8;
        if (m_leftButtonDown)
            zoomAt(factor, factor, event->pos());
        code = mode == EditMode::ZoomIn ? CursorCode::ZoomIn : CursorCode::ZoomOut;
    } else {
        code = m_document.leftButtonUp(toDocument(event->pos()), event->modifiers() & Qt::ControlModifier);
    }
    repaint();
    setCursorShape(code);
    updateMainFrameActions();
}

void CSVGView::onRightButtonUp(QMouseEvent*)
{
    QMutexLocker locker(&m_viewMutex);
    const int mode = m_document.getEditMode();
    if (mode == EditMode::Select && m_rightButtonDown && m_document.isRotating()) {
        m_document.rotateSelection(0, m_rotationCentre, true);
        repaint();
    } else if (mode == EditMode::Path && m_pathItem) {
        endPathDrawing();
    } else {
        m_document.cancelDrag();
    }
    setDrawMode(EditMode::Select);
    setCursorShape(CursorCode::Default);
}

void CSVGView::mouseDoubleClickEvent(QMouseEvent* event)
{
    m_document.setShowNodeRecords(!m_document.isShowNodeRecords());
    repaint();
    QGraphicsView::mouseDoubleClickEvent(event);
}

void CSVGView::wheelEvent(QWheelEvent* event)
{
    event->accept();
    if (m_middleDrag || m_leftButtonDown || m_rightButtonDown)
        return;
    const int steps = event->angleDelta().y() / kNotch;
    if (steps == 0)
        return;
    const double factor = steps < 0 ? std::pow(kNotchFactor, -steps) : std::pow(1 / kNotchFactor, steps);
    zoomAt(factor, factor, event->position().toPoint());
}

bool CSVGView::event(QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QGraphicsView::event(event);
    keyPressed(static_cast<QKeyEvent*>(event));
    repaint();
    return true;
}

void CSVGView::keyPressed(QKeyEvent* event)
{
    if (m_pathItem && m_document.getEditMode() != EditMode::Path)
        endPathDrawing();
    bool moved = false;
    switch (event->key()) {
    case Qt::Key_Down:
        moved = m_document.onKeyDown();
        break;
    case Qt::Key_Up:
        moved = m_document.onKeyUp();
        break;
    case Qt::Key_Left:
        moved = m_document.onKeyLeft();
        break;
    case Qt::Key_Right:
        moved = m_document.onKeyRight();
        break;
    case Qt::Key_Escape:
        m_document.cancelDrawing();
        m_document.cancelDrag();
        if (m_pathItem)
            endPathDrawing();
        setDrawMode(EditMode::Select);
        break;
    case Qt::Key_A:
        if (event->modifiers() & Qt::ControlModifier) {
            m_document.selectAll();
            repaint();
        }
        break;
    default:
        break;
    }
    if (moved)
        restartCaretClock();
    if (m_document.getEditMode() == EditMode::MovePoint) {
        const QPointF offset = CSVGDocument::getNudgeOffset();
        QToolTip::showText(QCursor::pos(),
            QStringLiteral("%1,%2").arg(QString::number(offset.x(), 'g'), QString::number(offset.y(), 'g')), this);
    }
    updateMainFrameActions();
}

void CSVGView::setCursorShape(int code)
{
    switch (code) {
    case CursorCode::Default:
        viewport()->setCursor(Qt::ArrowCursor);
        return;
    case CursorCode::SizeHorizontal:
        viewport()->setCursor(Qt::SizeHorCursor);
        return;
    case CursorCode::SizeVertical:
        viewport()->setCursor(Qt::SizeVerCursor);
        return;
    case CursorCode::SizeBDiagonal:
        viewport()->setCursor(Qt::SizeBDiagCursor);
        return;
    case CursorCode::SizeFDiagonal:
        viewport()->setCursor(Qt::SizeFDiagCursor);
        return;
    default:
        break;
    }
    const auto found = imageCursors().find(code);
    if (found != imageCursors().end())
        viewport()->setCursor(found.value());
}

void CSVGView::dragEnterEvent(QDragEnterEvent* event)
{
    event->acceptProposedAction();
}

// The scene has no item that takes drops: the canvas takes them all.
void CSVGView::dragMoveEvent(QDragMoveEvent* event)
{
    event->acceptProposedAction();
}

void CSVGView::dropEvent(QDropEvent* event)
{
    const QMimeData* data = event->mimeData();
    event->acceptProposedAction();
    if (data->hasUrls()) {
        for (const QUrl& url : data->urls()) {
            const QString path = url.toLocalFile();
            if (path.indexOf(QLatin1String(".svg"), 0, Qt::CaseInsensitive) > 0 && m_mainFrame)
                m_mainFrame->openFileInTab(path);
        }
        return;
    }
    const QPointF point = toDocument(event->pos());
    QByteArray text = data->data(QStringLiteral("text"));
    if (text.isEmpty())
        text = data->text().toUtf8();
    if (!text.isEmpty())
        dropSvgText(text, point);
    dropImages(data, point);
    updateMainFrameActions();
    if (m_document.isContentChanged())
        repaint();
}

// The drop's drawing as one group, centred on the point; text that holds no
// drawing adds nothing.
void CSVGView::dropSvgText(const QByteArray& text, const QPointF& point)
{
    CSVGDocument dropped;
    dropped.parseSvgText(QString::fromUtf8(text).toStdWString(), false, false);
    const CSVGElement* root = dropped.getOwnerSvg();
    if (!root || root->getChildCount() == 0)
        return;
    dropped.groupRootChildren();
    m_document.pasteSvgTextAt(dropped.toSvgText(), point);
}

// Only what decodes to a picture goes in, and as Base64 of our own making:
// the dropped text never reaches the markup.
void CSVGView::dropImages(const QMimeData* data, const QPointF& point)
{
    for (const char* format : kDroppedImageFormats) {
        const QByteArray base64 = data->data(QStringLiteral("text") + QLatin1String(format));
        if (base64.isEmpty())
            continue;
        QByteArray bytes;
        const QImage image = decodeDroppedImage(base64, bytes);
        if (image.isNull())
            continue;
        const int width = image.width();
        const int height = image.height();
        const int x = static_cast<int>(point.x()) - width / 2;
        const int y = static_cast<int>(point.y()) - height / 2;
        const QString element = QStringLiteral(
            "<image x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" xlink:href=\"data:image/%5; base64, %6\"/>")
                                    .arg(x)
                                    .arg(y)
                                    .arg(width)
                                    .arg(height)
                                    .arg(QLatin1String(format), QString::fromLatin1(bytes.toBase64()));
        m_document.pasteSvgText(element.toStdWString());
    }
}
