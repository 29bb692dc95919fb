#pragma once

#include "CDlgFill.h"

class QComboBox;
class QDoubleSpinBox;

// The pattern editor of the fill colour menu: lines, a grid, a checker board
// or dots in one colour on a background, repeated at a chosen size.
class CDlgPattern : public CDlgFill
{
    Q_OBJECT
public:
    explicit CDlgPattern(QWidget* parent = nullptr);

    // One pattern element in user space, its tile drawn by its children.
    std::wstring getPatternSvg() const;

    static constexpr double kMinTile = 1.0;
    static constexpr double kMaxTile = 100.0;

protected:
    void retranslateUi() override;
    CSVGXmlNode buildServer() const override;
    void showPreview(CFillPreview* preview) const override;

private:
    QComboBox* m_kind = nullptr;
    CColorPickButton* m_foreground = nullptr;
    CColorPickButton* m_background = nullptr;
    QDoubleSpinBox* m_size = nullptr;
    QLabel* m_kindLabel = nullptr;
    QLabel* m_foregroundLabel = nullptr;
    QLabel* m_backgroundLabel = nullptr;
    QLabel* m_sizeLabel = nullptr;
};
