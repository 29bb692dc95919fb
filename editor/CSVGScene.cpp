#include "CSVGScene.h"

#include "CMainFrame.h"
#include "CSVGDocument.h"
#include "CSVGElementShape.h"
#include "CSVGGraphicsItem.h"
#include "CanvasGeometry.h"
#include "SVGApplication.h"
#include "SVGGraphicsSelectionItem.h"

#include <QGraphicsSceneMouseEvent>
#include <QMutex>
#include <QPainter>

#include <algorithm>

CSVGScene::CSVGScene(CMainFrame* frame)
    : m_frame(frame)
{
    setSceneRect(-500000, -100000, 1000000, 200000);
}

// The items point at the document's elements: they go with the scene, and
// the scene goes before its view's document. The clipboard's outline is not
// the scene's to delete.
CSVGScene::~CSVGScene()
{
    if (SVGApplication* application = SVGApplication::instance())
        application->clipboard()->releaseFrom(this);
    if (m_document)
        disconnect(m_document, nullptr, this, nullptr);
    m_items.clear();
    delete m_selectionItem;
}

QMutex& CSVGScene::canvasMutex()
{
    static QMutex mutex;
    return mutex;
}

void CSVGScene::setDocument(CSVGDocument* document)
{
    if (document == m_document)
        return;
    if (m_document)
        disconnect(m_document, nullptr, this, nullptr);
    m_document = document;
    m_itemsRect = QRectF();
    if (!m_document)
        return;
    onDocumentChanged();
    connect(m_document, SIGNAL(changed()), this, SLOT(onDocumentChanged()));
    connect(m_document, &CSVGDocument::treeChanged, this, &CSVGScene::rebuildIfTreeChanged);
    auto* selectionItem = new SVGGraphicsSelectionItem(m_document);
    delete m_selectionItem;
    m_selectionItem = selectionItem;
    addItem(m_selectionItem);
    m_selectionItem->onItemChanged();
}

QRectF CSVGScene::getPageRect() const
{
    return canvasRect().transformed(pageMatrix()).toQRectF();
}

CSVGGraphicsItem* CSVGScene::createItem(CSVGElementShape* element, QGraphicsItem* parent, QGraphicsScene* scene)
{
    if (!element || !element->isShape())
        return nullptr;
    auto* item = new CSVGGraphicsItem(element, parent, parent ? nullptr : scene);
    const QRectF box = element->getTransformedBoundingRect().toQRectF().normalized();
    const double margin = CanvasGeometry::kItemMargin;
    uniteItemsRect(box.adjusted(-margin, -margin, margin, margin));
    return item;
}

void CSVGScene::uniteItemsRect(const QRectF& box)
{
    if (!CanvasGeometry::isFinite(box))
        return;
    m_itemsRect = m_itemsRect.isEmpty() ? box : m_itemsRect.united(box);
}

void CSVGScene::beginPaint()
{
    CSVGElementShape::beginScreenPaint();
    m_painting = true;
}

void CSVGScene::endPaint()
{
    CSVGElementShape::endScreenPaint();
    m_painting = false;
}

void CSVGScene::syncItemGeometry()
{
    if (m_painting)
        return;
    for (CSVGGraphicsItem* item : qAsConst(m_items))
        item->syncGeometry();
    if (m_selectionItem)
        m_selectionItem->syncGeometry();
}

// The view and the document handle every press; no item takes one. The
// base class would still look up the items under the pointer, and over the
// wide scene rectangle its index returns every item there is.
void CSVGScene::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    event->ignore();
}

void CSVGScene::mouseDoubleClickEvent(QGraphicsSceneMouseEvent* event)
{
    event->ignore();
}

// A change that arrives while a paint holds the canvas mutex on this thread
// would wait for itself: it is taken up once the paint is over.
void CSVGScene::onDocumentChanged()
{
    if (!m_document)
        return;
    if (!canvasMutex().tryLock()) {
        if (!m_rebuildQueued) {
            m_rebuildQueued = true;
            QMetaObject::invokeMethod(this, &CSVGScene::onDocumentChanged, Qt::QueuedConnection);
        }
        return;
    }
    m_rebuildQueued = false;
    m_rebuiltRevision = m_document->getTreeRevision();
    rebuildItems(m_document->getOwnerSvg());
    invalidate(sceneRect(), QGraphicsScene::AllLayers);
    m_document->setContentChanged(false);
    canvasMutex().unlock();
}

// Kept items keep their place in the stacking order; new ones go above in
// child order. Without a root every item goes.
void CSVGScene::rebuildIfTreeChanged()
{
    if (m_document && m_document->getTreeRevision() != m_rebuiltRevision)
        onDocumentChanged();
}

void CSVGScene::rebuildItems(CSVGElement* root)
{
    QHash<CSVGElementShape*, CSVGGraphicsItem*> kept;
    kept.reserve(root ? root->getChildCount() : 0);
    QVector<CSVGElementShape*> added;
    for (int i = 0; root && i < root->getChildCount(); ++i) {
        CSVGElementShape* shape = CSVGElementShape::asShape(root->getChild(i));
        if (!shape)
            continue;
        const auto found = m_items.find(shape);
        if (found != m_items.end() && found.value()->getElement() == shape) {
            kept.insert(shape, found.value());
            m_items.erase(found);
        } else {
            added.append(shape);
        }
    }
    deleteItems(m_items.values());
    m_items.swap(kept);
    for (CSVGElementShape* shape : qAsConst(added))
        m_items.insert(shape, createItem(shape, nullptr, this));
}

// The scene looks for each item it loses in its list of items from the
// front: items going oldest first are found at once, so taking every piece
// of a large drawing away stays linear. Each item that leaves adds the
// place where it was drawn to its views' dirty regions, and a region of
// thousands of scattered rectangles costs several paints to build: the
// whole canvas is marked for repainting first, which the views take as
// the one update of the change and so skip the rectangles.
void CSVGScene::deleteItems(QList<CSVGGraphicsItem*> items)
{
    if (items.isEmpty())
        return;
    update();
    std::sort(items.begin(), items.end(),
        [](const CSVGGraphicsItem* a, const CSVGGraphicsItem* b) { return a->creationNumber() < b->creationNumber(); });
    qDeleteAll(items);
}

void CSVGScene::onElementAdded(CSVGElementShape* element)
{
    if (CSVGGraphicsItem* item = createItem(element, nullptr, this)) {
        delete m_items.value(element);
        m_items.insert(element, item);
    }
}

void CSVGScene::onElementRemoved(CSVGElementShape* element)
{
    const auto found = m_items.find(element);
    if (found == m_items.end())
        return;
    delete found.value();
    m_items.erase(found);
}

void CSVGScene::drawBackground(QPainter* painter, const QRectF& rect)
{
    QGraphicsScene::drawBackground(painter, rect);
    painter->fillRect(rect, Qt::white);
    CSVGRect page = canvasRect();
    if (page.width < 0)
        page.width = rect.width();
    const QRectF pageRect = page.transformed(pageMatrix()).toQRectF();
    painter->save();
    painter->setOpacity(0.05);
    painter->fillRect(rect, Qt::black);
    painter->setOpacity(1.0);
    painter->setPen(QPen(Qt::black, 0));
    painter->setBrush(Qt::white);
    painter->drawRect(pageRect);
    painter->restore();
}

// The document's own page: the one its cut checks, so that what is drawn
// is what is cut.
CSVGRect CSVGScene::canvasRect() const
{
    if (m_document) {
        CSVGRect page;
        page.setFromQRectF(m_document->getPageRect());
        return page;
    }
    return m_frame ? m_frame->canvasRect() : CSVGRect(0, 0, 15000, 1520);
}

CSVGMatrix CSVGScene::pageMatrix() const
{
    return m_document ? m_document->getPageMatrix() : CSVGMatrix();
}
