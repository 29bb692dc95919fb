#include "AutoPlaceDialog.h"

#include "NestingPieces.h"
#include "RefusalText.h"

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
        showFailure(
            status.error.isEmpty() ? tr("The placement stopped.") : RefusalText::of(status.refusal, status.error));
        return;
    }
    offerPlacements(status.placements, status.rollLength);
}

void AutoPlaceDialog::reject()
{
    m_timer.stop();
    m_runner.stop();
    NestingDialog::reject();
}

} // namespace Placement
} // namespace Vantor
