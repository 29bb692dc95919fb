#include "NestingDialog.h"

#include "CSVGDocument.h"
#include "NestingPieces.h"
#include "NestingSettings.h"
#include "Prompt.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

using Vantor::Placement::PieceInfo;
using Vantor::Placement::PlacementInfo;
using Vantor::Placement::PlacementSettings;

NestingDialog::NestingDialog(CSVGDocument* document, QWidget* parent)
    : TranslatedDialog(parent)
    , m_document(document)
{
    const PlacementSettings saved = NestingSettings::load();
    m_width = new QDoubleSpinBox(this);
    m_width->setObjectName(QStringLiteral("width"));
    m_width->setRange(1, 100000);
    m_width->setSuffix(QStringLiteral(" mm"));
    m_width->setValue(saved.rollWidth);
    m_spacing = new QDoubleSpinBox(this);
    m_spacing->setObjectName(QStringLiteral("spacing"));
    m_spacing->setRange(0, 1000);
    m_spacing->setSuffix(QStringLiteral(" mm"));
    m_spacing->setValue(saved.spacing);
    m_rotations = new QSpinBox(this);
    m_rotations->setObjectName(QStringLiteral("rotations"));
    m_rotations->setRange(1, PlacementSettings::kMaximumRotations);
    m_rotations->setValue(saved.rotations);
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
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    NestingDialog::retranslateUi();
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
        showStatus(tr("The roll width is held to the page: at most %1 mm.").arg(m_widthLimit));
    }
}

QPushButton* NestingDialog::okButton() const
{
    return m_buttons->button(QDialogButtonBox::Ok);
}

bool NestingDialog::takeSettings(PlacementSettings* settings)
{
    settings->rollWidth = m_width->value();
    settings->spacing = m_spacing->value();
    settings->rotations = m_rotations->value();
    QString problem = settings->validate();
    if (problem.isEmpty() && m_widthLimit > 0 && settings->rollWidth > m_widthLimit)
        problem = tr("A roll of %1 mm is wider than the page holds: the widest is %2 mm.")
                      .arg(settings->rollWidth)
                      .arg(m_widthLimit);
    if (!problem.isEmpty()) {
        showFailure(problem);
        return false;
    }
    NestingSettings::save(*settings);
    return true;
}

bool NestingDialog::hasPieces(const QVector<PieceInfo>& pieces)
{
    if (!pieces.isEmpty())
        return true;
    Prompt::warning(this, tr("Warning"), tr("No selected pieces!"));
    return false;
}

bool NestingDialog::beginPlacement(const QVector<PieceInfo>& pieces, PlacementSettings* settings)
{
    if (!hasPieces(pieces) || !takeSettings(settings))
        return false;
    m_placements.clear();
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
                        .arg(rollLength, 0, 'f', 1)
                        .arg(m_lengthLimit));
        return;
    }
    setRunning(false);
    m_placements = placements;
    showStatus(tr("All %1 pieces placed; roll length %2 mm").arg(placements.size()).arg(rollLength, 0, 'f', 1));
    okButton()->setEnabled(!m_placements.isEmpty());
}

void NestingDialog::accept()
{
    if (m_placements.isEmpty())
        return;
    if (m_document)
        NestingPieces::applyPlacements(m_document, m_placements);
    TranslatedDialog::accept();
}
