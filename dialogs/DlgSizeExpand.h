#pragma once

#include "TranslatedDialog.h"

class NumberField;
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
        // Always false: the dialog offers no choice of expanding the
        // selection as one outline, as every caller offsets piece by piece.
        bool overall;
        // Millimetres; negative for inward.
        double distance;
    };
    ExpandValue getExpandValue() const;

protected:
    void retranslateUi() override;

private:
    NumberField* m_distance = nullptr;
    QRadioButton* m_outward = nullptr;
    QRadioButton* m_inward = nullptr;
    QLabel* m_distanceLabel = nullptr;
    QLabel* m_directionLabel = nullptr;
};
