#include "NestingDialog.h"

#include "CSVGDocument.h"
#include "NestingPieces.h"
#include "NestingSettings.h"
#include "NumberField.h"
#include "Prompt.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

using Vantor::Placement::PieceInfo;
using Vantor::Placement::PlacementInfo;
using Vantor::Placement::PlacementSettings;

NestingDialog::NestingDialog(CSVGDocument* document, QWidget* parent)
    : TranslatedDialog(parent)
    , m_document(document)
{
    const PlacementSettings saved = NestingSettings::load();
    m_width = addField(QStringLiteral("width"), 1, kMaxRollWidth, saved.rollWidth);
    m_spacing = addField(QStringLiteral("spacing"), 0, kMaxSpacing, saved.spacing);
    m_rotations = addField(
        QStringLiteral("rotations"), 1, PlacementSettings::kMaximumRotations, saved.rotations, NumberField::Unit::None);
    m_rotations->setWholeNumbers(true);
    m_start = new QPushButton(this);
    m_start->setObjectName(QStringLiteral("start"));
    m_progress = new QProgressBar(this);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    okButton()->setEnabled(false);
    const QRectF page = m_document ? m_document->getNestingPageRect() : QRectF();
    if (page.height() > 2 && page.width() > 2) {
        m_widthLimit = page.height() - 1;
        m_lengthLimit = page.width() - 1;
    }
    holdWidthToPage(saved.rollWidth);

    m_widthLabel = new QLabel(this);
    m_spacingLabel = new QLabel(this);
    m_rotationsLabel = new QLabel(this);
    auto* form = new QFormLayout;
    form->addRow(m_widthLabel, m_width);
    form->addRow(m_spacingLabel, m_spacing);
    form->addRow(m_rotationsLabel, m_rotations);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_start);
    layout->addWidget(m_progress);
    layout->addWidget(m_status);
    layout->addWidget(m_buttons);
    connect(m_start, &QPushButton::clicked, this, &NestingDialog::startPlacement);
    for (NumberField* field : { m_width, m_spacing, m_rotations })
        connect(field, &QLineEdit::textChanged, this, &NestingDialog::fieldEdited);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    NestingDialog::retranslateUi();
}

NumberField* NestingDialog::addField(
    const QString& name, double minimum, double maximum, double value, NumberField::Unit unit)
{
    auto* field = new NumberField(this);
    field->setObjectName(name);
    field->setRange(minimum, maximum);
    field->setUnit(unit);
    field->setValue(value);
    return field;
}

void NestingDialog::retranslateUi()
{
    m_start->setText(tr("Start"));
    m_widthLabel->setText(tr("Roll width"));
    m_spacingLabel->setText(tr("Spacing"));
    m_rotationsLabel->setText(tr("Turns per circle"));
}

// A roll wider than the page would put some pieces above its top, where
// they are neither cut nor shown. The field keeps what is typed; Start
// refuses a width over the limit.
void NestingDialog::holdWidthToPage(double wanted)
{
    if (m_widthLimit > 0 && wanted > m_widthLimit) {
        m_width->setValue(m_widthLimit);
        showStatus(tr("The roll width is held to the page: at most %1 mm.").arg(NumberField::toText(m_widthLimit)));
    }
}

QPushButton* NestingDialog::okButton() const
{
    return m_buttons->button(QDialogButtonBox::Ok);
}

bool NestingDialog::takeSettings(PlacementSettings* settings)
{
    const QString refused = NumberField::refuseInvalid(this);
    if (!refused.isEmpty()) {
        showStatus(refused, true);
        return false;
    }
    settings->rollWidth = m_width->value();
    settings->spacing = m_spacing->value();
    settings->rotations = int(m_rotations->value());
    QString problem = settings->validate();
    if (problem.isEmpty() && m_widthLimit > 0 && settings->rollWidth > m_widthLimit)
        problem = tr("A roll of %1 mm is wider than the page holds: the widest is %2 mm.")
                      .arg(NumberField::toText(settings->rollWidth), NumberField::toText(m_widthLimit));
    if (!problem.isEmpty()) {
        showFailure(problem);
        return false;
    }
    NestingSettings::save(*settings);
    m_placedWith = *settings;
    return true;
}

bool NestingDialog::hasPieces(const QVector<PieceInfo>& pieces)
{
    if (!pieces.isEmpty())
        return true;
    Prompt::warning(this, tr("Warning"), tr("No selected pieces!"));
    return false;
}

// A placement offered before is dropped whether or not the new one starts:
// OK never applies the outcome of settings other than those on show.
bool NestingDialog::beginPlacement(const QVector<PieceInfo>& pieces, PlacementSettings* settings)
{
    m_placements.clear();
    okButton()->setEnabled(false);
    if (!hasPieces(pieces) || !takeSettings(settings))
        return false;
    setRunning(true);
    showProgress(0, pieces.size());
    return true;
}

void NestingDialog::setRunning(bool running)
{
    m_start->setEnabled(!running);
    m_width->setEnabled(!running);
    m_spacing->setEnabled(!running);
    m_rotations->setEnabled(!running);
    if (running) {
        okButton()->setEnabled(false);
        m_progress->setValue(0);
    }
}

void NestingDialog::showProgress(int placed, int pieces)
{
    m_progress->setRange(0, qMax(1, pieces));
    m_progress->setValue(placed);
    showStatus(tr("%1 of %2 pieces placed").arg(placed).arg(pieces));
}

void NestingDialog::showStatus(const QString& text, bool failure)
{
    m_status->setStyleSheet(failure ? QStringLiteral("color: darkred") : QString());
    m_status->setText(text);
}

void NestingDialog::showFailure(const QString& message)
{
    setRunning(false);
    showStatus(message, true);
    Prompt::warning(this, tr("Warning"), message);
}

void NestingDialog::offerPlacements(const QVector<PlacementInfo>& placements, double rollLength)
{
    m_placements.clear();
    if (m_lengthLimit > 0 && rollLength > m_lengthLimit) {
        showFailure(tr("The nested pieces need %1 mm of roll; the page holds %2 mm.")
                        .arg(NumberField::toText(rollLength, 1), NumberField::toText(m_lengthLimit)));
        return;
    }
    setRunning(false);
    m_placements = placements;
    m_offered
        = tr("All %1 pieces placed; roll length %2 mm").arg(placements.size()).arg(NumberField::toText(rollLength, 1));
    showStatus(m_offered);
    okButton()->setEnabled(!m_placements.isEmpty());
}

bool NestingDialog::showsSettingsPlaced() const
{
    return m_width->problem().isEmpty() && m_spacing->problem().isEmpty() && m_rotations->problem().isEmpty()
        && m_width->value() == m_placedWith.rollWidth && m_spacing->value() == m_placedWith.spacing
        && int(m_rotations->value()) == m_placedWith.rotations;
}

// The placements offered were made for the settings of the last Start: for
// a roll of another width they may reach past its edge.
void NestingDialog::fieldEdited()
{
    if (m_placements.isEmpty())
        return;
    const bool placed = showsSettingsPlaced();
    okButton()->setEnabled(placed);
    showStatus(placed
            ? m_offered
            : tr("The fields differ from those the pieces were placed with: press Start to place them again."));
}

void NestingDialog::accept()
{
    if (m_placements.isEmpty() || !showsSettingsPlaced())
        return;
    if (m_document)
        NestingPieces::applyPlacements(m_document, m_placements);
    TranslatedDialog::accept();
}
