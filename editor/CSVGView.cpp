#include "CSVGView.h"

#include "CGlobalConfig.h"
#include "CMainFrame.h"
#include "CSVGElementPath.h"
#include "CSVGRulerItem.h"
#include "CSVGScene.h"
#include "DlgText.h"
#include "SVGGraphicsSelectionItem.h"
#include "SVGPathItem.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMutexLocker>
#include <QScreen>
#include <QStandardPaths>
#include <QTimerEvent>

#include <algorithm>
#include <cmath>
#include <exception>

namespace {
const double kMinimumScale = 0.001;
const double kMillimetresPerInch = 25.4;

// Pixels per millimetre of the primary screen; a screen that reports no
// physical size falls back to its logical dots per inch.
double screenPixelsPerMillimetre()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 96.0 / kMillimetresPerInch;
    const double millimetres = screen->physicalSize().height();
    const double pixels = screen->geometry().height();
    if (millimetres > 0 && pixels > 0 && std::isfinite(millimetres))
        return pixels / millimetres;
    const double dpi = screen->logicalDotsPerInchY();
    return (dpi > 0 ? dpi : 96.0) / kMillimetresPerInch;
}
} // namespace

CSVGView::CSVGView(CMainFrame* mainFrame)
    : QGraphicsView(static_cast<QWidget*>(nullptr))
    , m_mainFrame(mainFrame)
{
    setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setFocus(Qt::NoFocusReason);
    setAttribute(Qt::WA_InputMethodEnabled);
    setTransform(QTransform());

    m_scene = new CSVGScene(mainFrame);
    setScene(m_scene);
    m_scene->setDocument(&m_document);
    setAlignment(Qt::AlignCenter);
    const CSVGRect canvas = mainFrame ? mainFrame->canvasRect() : CSVGRect(0, 0, 15000, 1520);
    m_document.setPageRect(canvas.toQRectF());

    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setRenderHint(QPainter::Antialiasing, false);
    setRenderHint(QPainter::TextAntialiasing, false);
    setRenderHint(QPainter::SmoothPixmapTransform, false);
    setViewportUpdateMode(QGraphicsView::MinimalViewportUpdate);

    m_document.markSaved();
    startAutosaveTimer();
    startCaretBlink();
}

// The scene and every item that points at the document go first.
CSVGView::~CSVGView()
{
    delete m_textDialog;
    // A path still being drawn belongs to no tree: it goes with the view.
    CSVGElementPath* drawn = m_pathItem ? m_pathItem->getPath() : nullptr;
    if (drawn && !drawn->getParent())
        delete drawn;
    if (!m_keepAutosave)
        removeAutosave();
    setScene(nullptr);
    delete m_scene;
    m_scene = nullptr;
}

bool CSVGView::hasUnsavedChanges()
{
    return m_document.hasUnsavedChanges();
}

// Nothing is left to recover: the copy would offer the saved drawing back
// as unsaved work after a crash.
void CSVGView::setSaved()
{
    m_document.markSaved();
    m_document.setModified(false);
    removeAutosave();
    if (m_mainFrame)
        m_mainFrame->updateTabTitle(this);
}

void CSVGView::setStoreOrigin(const QString& name, const QString& source)
{
    m_storeName = name;
    m_storeSource = source;
}

void CSVGView::setPageRect(const QRectF& rect)
{
    m_document.setPageRect(rect);
    repaint();
}

bool CSVGView::hasTearLine()
{
    return m_document.hasTearLine();
}

void CSVGView::insertTextElement(const QString& text, const QTextCharFormat& format, const QPointF& point)
{
    m_pickPosition = false;
    m_document.insertTextElement(text, format, point);
    repaint();
}

double CSVGView::positiveSetting(const char* key, double fallback)
{
    bool ok = false;
    const double value = g_config.getSetting(QString::fromLatin1(key)).toDouble(&ok);
    return ok && value > 0 && std::isfinite(value) ? value : fallback;
}

double CSVGView::displayScale() const
{
    return transform().mapRect(QRectF(0, 0, 1, 1)).height() / screenPixelsPerMillimetre();
}

void CSVGView::boundZoom(double& sx, double& sy) const
{
    const double scale = displayScale();
    const double limit = positiveSetting("ZoomLimit", 5);
    double bounded = sx;
    if (sx > 1.0 && scale * sx > limit)
        bounded = limit / scale;
    else if (scale * sx < kMinimumScale)
        bounded = kMinimumScale / scale;
    sy *= bounded / sx;
    sx = bounded;
}

// A factor that is not a positive number, or a view that has lost its
// scale, leaves the view as it is.
void CSVGView::zoom(double sx, double sy)
{
    if (!(sx > 0 && sy > 0 && std::isfinite(sx) && std::isfinite(sy) && displayScale() > 0))
        return;
    boundZoom(sx, sy);
    scale(sx, sy);
}

void CSVGView::zoomAt(double sx, double sy, const QPoint& viewportPoint)
{
    if (!(sx > 0 && sy > 0 && std::isfinite(sx) && std::isfinite(sy) && displayScale() > 0))
        return;
    const QPointF scenePoint = mapToScene(viewportPoint);
    boundZoom(sx, sy);
    scale(sx, sy);
    const QPoint moved = mapFromScene(scenePoint) - viewportPoint;
    centerOn(mapToScene(viewport()->rect().center() + moved));
}

void CSVGView::fitPage()
{
    QRectF rect = m_scene->getItemsRect();
    if (rect.isNull())
        rect = m_scene->getPageRect();
    if (rect.isNull()) {
        const double scale = displayScale();
        zoom(1 / scale, 1 / scale);
        return;
    }
    const double margin = std::max(0.02 * rect.height(), 0.02 * rect.width());
    rect.adjust(-margin, -margin, margin, margin);
    const QRectF mapped = transform().mapRect(rect);
    const double factor
        = std::min(std::abs(viewport()->width() / mapped.width()), std::abs(viewport()->height() / mapped.height()));
    zoom(factor, factor);
    centerOn(rect.center());
}

std::pair<double, double> CSVGView::cosSinOfDegrees(double degrees)
{
    if (degrees == 90 || degrees == -270)
        return { 0, 1 };
    if (degrees == 270 || degrees == -90)
        return { 0, -1 };
    if (degrees == 180)
        return { -1, 0 };
    const double radians = degrees * M_PI / 180;
    return { std::cos(radians), std::sin(radians) };
}

// What was read is the saved drawing, as far as it was read. The overlap
// marks are the drawing's colours on the canvas: a drawing just read is
// checked before its first paint, so that its pieces never show all black
// first. Edits are checked in slices, between paints.
bool CSVGView::openFile(const std::wstring& path)
{
    const bool opened = m_document.openFile(path);
    m_document.setBaseDir(QFileInfo(QString::fromStdWString(path)).absolutePath().toStdWString() + L"/");
    if (opened)
        m_document.markSaved();
    fitPage();
    m_document.checkIntersections();
    return opened;
}

bool CSVGView::loadData(const QByteArray& data)
{
    const bool loaded = m_document.loadSvgData(data);
    if (loaded)
        m_document.markSaved();
    m_document.checkIntersections();
    fitPage();
    return loaded;
}

void CSVGView::repaint()
{
    try {
        if (m_document.isContentChanged())
            m_document.requestIntersectionCheck();
        m_scene->rebuildIfTreeChanged();
        m_scene->update(QRectF());
        m_scene->getSelectionItem()->onItemChanged();
        if (m_mainFrame) {
            const QRectF selection = m_document.getSelectionRect();
            m_mainFrame->setSizeLabels(selection.width(), selection.height());
            m_mainFrame->updateTabTitle(this);
        }
        dropAutosaveWhenSaved();
    } catch (const std::exception& error) {
        qDebug() << error.what();
    }
}

// The pieces come from the scene; a piece that throws while it draws ends
// this paint only, and the canvas mutex is let go on every way out. A piece
// that left the tree without a word (a click that drew nothing, taken back)
// loses its item before the paint: the scene's items follow the tree.
void CSVGView::paintEvent(QPaintEvent* event)
{
    const bool smooth = displayScale() > positiveSetting("AntialiasingThreshold", 0.03);
    setRenderHint(QPainter::Antialiasing, smooth);
    setRenderHint(QPainter::TextAntialiasing, smooth);
    m_scene->rebuildIfTreeChanged();
    QMutexLocker locker(&CSVGScene::canvasMutex());
    syncItemGeometry();
    m_scene->beginPaint();
    try {
        QGraphicsView::paintEvent(event);
    } catch (...) {
    }
    m_scene->endPaint();
}

// The pieces, the rulers (their labels keep their screen size) and the path
// being drawn take their boxes before the scene's index is asked for them.
void CSVGView::syncItemGeometry()
{
    m_scene->syncItemGeometry();
    for (CSVGRulerItem* ruler : qAsConst(m_rulers))
        ruler->syncGeometry();
    if (m_currentRuler)
        m_currentRuler->syncGeometry();
    if (m_pathItem)
        m_pathItem->syncGeometry();
}

void CSVGView::resizeEvent(QResizeEvent* event)
{
    QGraphicsView::resizeEvent(event);
    m_document.setViewSize(rect().width(), rect().height());
    repaint();
}

QRectF CSVGView::contentBoundingRect()
{
    return m_document.getContentBoundingRect();
}

QString CSVGView::nestingJobId() const
{
    return m_document.getNestingJobId();
}
