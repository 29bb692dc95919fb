#pragma once

#include <QToolButton>

#include <memory>

class CMenuCombox;

// A style-toolbar button that shows the chosen line-width or dash-type strip
// and opens the strip menu on a left press.
class CToolButtonComboxMenu : public QToolButton
{
    Q_OBJECT
public:
    // Kind 0: line widths, 1: dash types; index: the strip shown first.
    CToolButtonComboxMenu(int kind, int index, QWidget* parent);
    ~CToolButtonComboxMenu() override;

    void updateIcon();
    CMenuCombox* stripMenu() const { return m_menu.get(); }
    int selectedIndex() const { return m_index; }

signals:
    void OnSelected(int index);

public slots:
    void Select(int index);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    // A menu without parent, as a pop-up of its own; owned here.
    std::unique_ptr<CMenuCombox> m_menu;
    int m_index = 0;
    int m_kind = 0;
};
