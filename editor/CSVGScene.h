#pragma once

#include "CSVGMatrix.h"
#include "CSVGRect.h"

#include <QGraphicsScene>
#include <QHash>
#include <QPointer>

#include <cstdint>

class CMainFrame;
class CSVGDocument;
class CSVGElement;
class CSVGElementShape;
class CSVGGraphicsItem;
class QMutex;
class SVGGraphicsSelectionItem;

// Shows one document: an item for every drawable child of the root svg
// element and the frame around the selection. It follows the document's
// changed() and treeChanged() signals, shown or not, and rebuilds its items
// under the canvas mutex, which the views' paints take too.
class CSVGScene : public QGraphicsScene
{
    Q_OBJECT
public:
    // The frame gives the page; without one the page is (0, 0, 15000, 1520).
    explicit CSVGScene(CMainFrame* frame);
    ~CSVGScene() override;

    // The one mutex of the whole program that keeps a rebuild of the items
    // and a paint of any canvas apart.
    static QMutex& canvasMutex();

    void setDocument(CSVGDocument* document);
    CSVGDocument* getDocument() const { return m_document; }
    // The boxes of the items made since the last setDocument, each grown by
    // 25.4; null before the first.
    QRectF getItemsRect() const { return m_itemsRect; }
    // The frame's canvas rectangle under the document's page matrix.
    QRectF getPageRect() const;
    SVGGraphicsSelectionItem* getSelectionItem() const { return m_selectionItem; }
    // A new item for a drawable element, under the parent item or, without
    // one, in the scene; null for anything else.
    CSVGGraphicsItem* createItem(CSVGElementShape* element, QGraphicsItem* parent, QGraphicsScene* scene);

    // A view's paint runs between these two calls; the scene's items keep
    // their boxes meanwhile.
    void beginPaint();
    void endPaint();
    bool isPainting() const { return m_painting; }
    // Every piece's item takes its element's box now. Elements change
    // without telling their items (a drag, a load, an undo); the view runs
    // this before each paint, never during one.
    void syncItemGeometry();

    // The rebuild, when some list of children changed since the last one: a
    // command that adds or takes out pieces need not announce it.
    void rebuildIfTreeChanged();

public slots:
    void onDocumentChanged();
    void onElementAdded(CSVGElementShape* element);
    void onElementRemoved(CSVGElementShape* element);

protected:
    void drawBackground(QPainter* painter, const QRectF& rect) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent* event) override;

private:
    CSVGRect canvasRect() const;
    CSVGMatrix pageMatrix() const;
    void rebuildItems(CSVGElement* root);
    void deleteItems(QList<CSVGGraphicsItem*> items);
    void uniteItemsRect(const QRectF& box);

    QPointer<CMainFrame> m_frame;
    CSVGDocument* m_document = nullptr;
    QRectF m_itemsRect;
    SVGGraphicsSelectionItem* m_selectionItem = nullptr;
    // Keyed by address; an entry counts only while its item still shows that
    // very element, since a new element may take a deleted one's address.
    QHash<CSVGElementShape*, CSVGGraphicsItem*> m_items;
    bool m_painting = false;
    bool m_rebuildQueued = false;
    std::uint64_t m_rebuiltRevision = 0;
};
