#pragma once

#include <QImage>
#include <QMenu>

class QWidgetAction;

// The line pop-up of the style toolbar: a column of line-width or dash-type
// strips, each cut from one image.
class CMenuCombox : public QMenu
{
    Q_OBJECT
public:
    CMenuCombox();

    // Kind 0: line widths, kind 1: dash types; any other kind stays empty.
    void build(int kind);

    static constexpr int kStripHeight = 20;
    // The strip image of a kind, null for any other kind.
    static QImage stripImage(int kind);
    static int stripCount(const QImage& image) { return image.height() / kStripHeight; }

    QWidget* stripGrid() const { return m_widget; }

signals:
    void OnSelect(int index);

public slots:
    void OnSelected();

private:
    QWidgetAction* m_action = nullptr;
    QWidget* m_widget = nullptr;
};
