#pragma once

#include "CDlgFill.h"

class QComboBox;
class QSpinBox;

// The gradient editor of the fill colour menu: a linear gradient at an angle
// or a radial one, from a start colour to an end colour.
class CDlgGradient : public CDlgFill
{
    Q_OBJECT
public:
    explicit CDlgGradient(QWidget* parent = nullptr);

    // One linearGradient or radialGradient element with its two stops.
    std::wstring getGradientSvg() const;

protected:
    void retranslateUi() override;
    CSVGXmlNode buildServer() const override;
    void showPreview(CFillPreview* preview) const override;

private:
    QComboBox* m_type = nullptr;
    CColorPickButton* m_start = nullptr;
    CColorPickButton* m_end = nullptr;
    QSpinBox* m_angle = nullptr;
    QLabel* m_typeLabel = nullptr;
    QLabel* m_startLabel = nullptr;
    QLabel* m_endLabel = nullptr;
    QLabel* m_angleLabel = nullptr;
};
