#pragma once

#include "PieceInfo.h"
#include "PlacementInfo.h"
#include "PlacementSettings.h"

#include "NumberField.h"
#include "TranslatedDialog.h"

#include <QVector>

class CSVGDocument;
class QDialogButtonBox;
class QLabel;
class QProgressBar;
class QPushButton;

// What the nesting dialogs share: the roll's width (no wider than the
// drawing's page), the spacing and the turns allowed (kept in "autoplace"),
// a Start button, the progress and a status line. A subclass starts its
// placement in startPlacement() and offers the outcome through the
// protected helpers; the document changes only when the user accepts the
// placements offered, so Cancel always leaves it as it was.
class NestingDialog : public TranslatedDialog
{
    Q_OBJECT
public:
    NestingDialog(CSVGDocument* document, QWidget* parent);

    // Writes the placements offered into the document; nothing without, nor
    // once a field differs from what they were made with.
    void accept() override;

protected:
    // The shared texts; each dialog adds its title.
    void retranslateUi() override;
    CSVGDocument* document() const { return m_document; }
    // The pieces checked and the fields' settings taken, then the fields
    // locked, the progress at nought and the placements offered before
    // dropped; false when the placement cannot start.
    bool beginPlacement(
        const QVector<Vantor::Placement::PieceInfo>& pieces, Vantor::Placement::PlacementSettings* settings);
    void setRunning(bool running);
    void showProgress(int placed, int pieces);
    void showStatus(const QString& text, bool failure = false);
    // A plain message for a placement that did not come about.
    void showFailure(const QString& message);
    // A finished placement for the user to accept, unless the pieces would
    // reach past the end of the page.
    void offerPlacements(const QVector<Vantor::Placement::PlacementInfo>& placements, double rollLength);
    QPushButton* okButton() const;

    virtual void startPlacement() = 0;

private:
    // The ranges the placement takes, in millimetres.
    static constexpr double kMaxRollWidth = 100000;
    static constexpr double kMaxSpacing = 1000;

    NumberField* addField(const QString& name, double minimum, double maximum, double value,
        NumberField::Unit unit = NumberField::Unit::Millimetre);
    // The settings of the fields, saved for next time; false after telling
    // the user what is wrong with them.
    bool takeSettings(Vantor::Placement::PlacementSettings* settings);
    // False after "No selected pieces!" when there is nothing to place.
    bool hasPieces(const QVector<Vantor::Placement::PieceInfo>& pieces);
    // A saved width wider than the page holds is set to the widest, and the
    // status says so.
    void holdWidthToPage(double wanted);
    // The fields hold what the placements offered were made with.
    bool showsSettingsPlaced() const;
    // OK offers the placements only while the fields show their settings.
    void fieldEdited();

    CSVGDocument* m_document;
    // The nested pieces go to the page's left-bottom corner, 1 unit inside:
    // the widest roll and the longest layout that then lie on the page; 0
    // without a page.
    double m_widthLimit = 0;
    double m_lengthLimit = 0;
    QVector<Vantor::Placement::PlacementInfo> m_placements;
    // What the placements offered were made with.
    Vantor::Placement::PlacementSettings m_placedWith;
    // The status that offered them.
    QString m_offered;
    NumberField* m_width;
    NumberField* m_spacing;
    NumberField* m_rotations;
    QPushButton* m_start;
    QProgressBar* m_progress;
    QLabel* m_status;
    QDialogButtonBox* m_buttons;
    QLabel* m_widthLabel;
    QLabel* m_spacingLabel;
    QLabel* m_rotationsLabel;
};
