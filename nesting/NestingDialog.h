#pragma once

#include "PieceInfo.h"
#include "PlacementInfo.h"
#include "PlacementSettings.h"

#include "TranslatedDialog.h"

#include <QVector>

class CSVGDocument;
class QDialogButtonBox;
class QDoubleSpinBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;

// What the nesting dialogs share: the roll's width (no wider than the
// document's page), the spacing and the turns allowed (kept in "autoplace"),
// a Start button, the progress and a status line. A subclass starts its
// placement in startPlacement() and reports back through the protected
// helpers.
class NestingDialog : public TranslatedDialog
{
    Q_OBJECT
public:
    NestingDialog(CSVGDocument* document, QWidget* parent);

protected:
    // The shared texts; each dialog adds its title.
    void retranslateUi() override;
    CSVGDocument* document() const { return m_document; }
    // The pieces checked and the fields' settings taken, then the fields
    // locked and the progress at nought; false when the placement cannot
    // start.
    bool beginPlacement(
        const QVector<Vantor::Placement::PieceInfo>& pieces, Vantor::Placement::PlacementSettings* settings);
    void setRunning(bool running);
    void showProgress(int placed, int pieces);
    void showStatus(const QString& text, bool failure = false);
    // A plain message for a placement that did not come about.
    void showFailure(const QString& message);
    QPushButton* okButton() const;

    virtual void startPlacement() = 0;

private:
    // The settings of the fields, saved for next time; false after telling
    // the user what is wrong with them.
    bool takeSettings(Vantor::Placement::PlacementSettings* settings);
    // False after "No selected pieces!" when there is nothing to place.
    bool hasPieces(const QVector<Vantor::Placement::PieceInfo>& pieces);
    // The roll is at most as wide as the document's page holds, and the
    // status says so when the width wanted is wider.
    void holdWidthToPage(double wanted);

    CSVGDocument* m_document;
    QDoubleSpinBox* m_width;
    QDoubleSpinBox* m_spacing;
    QSpinBox* m_rotations;
    QPushButton* m_start;
    QProgressBar* m_progress;
    QLabel* m_status;
    QDialogButtonBox* m_buttons;
    QLabel* m_widthLabel;
    QLabel* m_spacingLabel;
    QLabel* m_rotationsLabel;
};
