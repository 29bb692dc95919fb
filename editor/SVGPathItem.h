#pragma once

#include <QGraphicsItem>
#include <QPointer>

class CSVGElementPath;
class CSVGView;

// The path that the path tool is drawing. The element belongs to the
// document once it is finished; until then the tool owns it. The handle of
// a closing cubic curve shows as two red squares joined by a dashed line.
class SVGPathItem : public QGraphicsItem
{
public:
    SVGPathItem(CSVGView* view, CSVGElementPath* path, QGraphicsItem* parent = nullptr);

    CSVGElementPath* getPath() const { return m_path; }
    // After the path changed: its box may have grown.
    void pathChanged();
    // Takes the path's box now, telling the scene first (the scene's index
    // must always hold the box that boundingRect returns); false when it had
    // not changed.
    bool syncGeometry();
    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    QRectF calcBoundingRect() const;
    void drawHandle(QPainter* painter, CSVGElementPath* path) const;

    QPointer<CSVGView> m_view;
    QPointer<CSVGElementPath> m_path;
    QRectF m_rect;
};
