#pragma once

#include <QColor>
#include <QMenu>

#include <functional>
#include <string>

class QWidgetAction;

// The colour pop-up of the style toolbar: "transparent", a grid of 48
// swatches, "more color" and, for fills, "gradual" and "pattern".
class CMenuColor : public QMenu
{
    Q_OBJECT
public:
    // Kind 1 adds the gradient and pattern entries.
    CMenuColor(int kind, QWidget* parent);

    static constexpr int kSwatchRows = 6;
    static constexpr int kSwatchColumns = 8;
    static QColor swatchColor(int row, int column);

    // Runs a fill editor modally; true, with the paint server's markup, when
    // it was accepted. The editors live in the dialogs library, which builds
    // on this one, so whoever links both installs them here.
    using FillEditor = std::function<bool(std::wstring& markup)>;
    static void setFillEditors(FillEditor gradient, FillEditor pattern);

    QWidget* swatchGrid() const { return m_swatchWidget; }

signals:
    void colorSelected(QColor color);
    void colorSelectedRadient(std::wstring markup);
    void colorSelectedPattern(std::wstring markup);
    void colorSelectedPicture(std::wstring markup);

public slots:
    void OnColorSelected();
    void OnTransprent(QAction* action);
    void OnMoreColor();
    void OnRadient();
    void OnPattern();

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslateUi();
    void addTransparentEntry();
    void addSwatches();
    static FillEditor& gradientEditor();
    static FillEditor& patternEditor();

    QWidgetAction* m_transparent = nullptr;
    QAction* m_more = nullptr;
    QAction* m_gradient = nullptr;
    QAction* m_pattern = nullptr;
    QWidgetAction* m_swatchAction = nullptr;
    QWidget* m_swatchWidget = nullptr;
};
