#pragma once

#include <QColor>
#include <QIcon>
#include <QToolButton>

#include <string>

class CMenuColor;

// A style-toolbar button that shows its current colour as a bar under its
// icon. A press on the icon part applies that colour again; a press on the
// arrow part (x 24 and beyond) opens the colour menu.
class CToolButtonColorMenu : public QToolButton
{
    Q_OBJECT
public:
    // Kind 0: text colour, 1: stroke colour, 2: fill colour (whose menu
    // offers gradients and patterns too).
    CToolButtonColorMenu(int kind, const QColor& color, QWidget* parent);

    QIcon makeIcon(const QColor& color);
    CMenuColor* colorMenu() const { return m_menu; }
    QColor currentColor() const { return m_color; }

    static constexpr int kArrowLeft = 24;

signals:
    void ColorSelected(QColor color);
    void colorSelectedRadient(std::wstring markup);
    void colorSelectedPattern(std::wstring markup);
    void colorSelectedPicture(std::wstring markup);

public slots:
    void OnColorSelect(QColor color);
    void OncolorSelectedRadient(std::wstring markup);
    void OncolorSelectedPattern(std::wstring markup);
    void OncolorSelectedPicture(std::wstring markup);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    CMenuColor* m_menu = nullptr;
    int m_kind = 0;
    QColor m_color;
};
