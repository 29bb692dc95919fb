#include "AutoPlaceDialog.h"

#include "CSVGDocument.h"
#include "NestingPieces.h"

#include <QPushButton>

namespace Vantor {
namespace Placement {

AutoPlaceDialog::AutoPlaceDialog(CSVGDocument* document, QWidget* parent)
    : NestingDialog(document, parent)
{
    retranslateUi();
    m_timer.setInterval(kPollMs);
    connect(&m_timer, &QTimer::timeout, this, &AutoPlaceDialog::poll);
}

void AutoPlaceDialog::retranslateUi()
{
    NestingDialog::retranslateUi();
    setWindowTitle(tr("Automatic nesting"));
}

AutoPlaceDialog::~AutoPlaceDialog()
{
    m_timer.stop();
    m_runner.stop();
}

void AutoPlaceDialog::startPlacement()
{
    PlacementSettings settings;
    const QVector<PieceInfo> pieces = NestingPieces::selectedPieces(document());
    if (!beginPlacement(pieces, &settings))
        return;
    m_placements.clear();
    m_runner.start(pieces, settings);
    m_timer.start();
}

void AutoPlaceDialog::poll()
{
    const PlacementStatus status = m_runner.status();
    showProgress(status.placed, status.pieces);
    if (status.running)
        return;
    m_timer.stop();
    if (!status.error.isEmpty() || !status.finished) {
        showFailure(status.error.isEmpty() ? tr("The placement stopped.") : status.error);
        return;
    }
    setRunning(false);
    m_placements = status.placements;
    showStatus(tr("All %1 pieces placed; roll length %2 mm").arg(status.pieces).arg(status.rollLength, 0, 'f', 1));
    okButton()->setEnabled(true);
}

void AutoPlaceDialog::accept()
{
    if (m_placements.isEmpty())
        return;
    NestingPieces::applyPlacements(document(), m_placements);
    NestingDialog::accept();
}

void AutoPlaceDialog::reject()
{
    m_timer.stop();
    m_runner.stop();
    NestingDialog::reject();
}

} // namespace Placement
} // namespace Vantor
