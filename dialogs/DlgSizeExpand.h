#pragma once

#include "TranslatedDialog.h"

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QRadioButton;

// Outline expansion: a distance outward or, where allowed, inward. The caller
// sets the title.
class DlgSizeExpand : public TranslatedDialog
{
    Q_OBJECT
public:
    DlgSizeExpand(bool allowInward, QWidget* parent);

    struct ExpandValue
    {
        // Expand the selection as one outline rather than piece by piece.
        bool overall;
        // Millimetres; negative for inward.
        double distance;
    };
    ExpandValue getExpandValue() const;

protected:
    void retranslateUi() override;

private:
    QDoubleSpinBox* m_distance = nullptr;
    QRadioButton* m_outward = nullptr;
    QRadioButton* m_inward = nullptr;
    QCheckBox* m_overall = nullptr;
    QLabel* m_distanceLabel = nullptr;
    QLabel* m_directionLabel = nullptr;
};
