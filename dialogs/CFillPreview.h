#pragma once

#include <QSizeF>
#include <QSvgRenderer>
#include <QWidget>

// Shows a fill as the fill dialogs will hand it out, rendered from its own
// SVG text.
class CFillPreview : public QWidget
{
    Q_OBJECT
public:
    explicit CFillPreview(QWidget* parent);

    // Without a tile the picture fills the preview; with one it repeats at
    // that size (in millimetres), as a pattern does.
    void setSvg(const QByteArray& svg, const QSizeF& tile = QSizeF());

    static constexpr double kPixelsPerMillimetre = 2.0;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSvgRenderer m_renderer;
    QSizeF m_tile;
};
