#include "AutoNesterDialog.h"

#include "CSVGDocument.h"
#include "NestingPieces.h"
#include "OnlineNester.h"

using namespace Vantor::Placement;

AutoNesterDialog::AutoNesterDialog(CSVGDocument* document, QWidget* parent)
    : NestingDialog(document, parent)
    , m_nester(new OnlineNester(this))
{
    retranslateUi();
    connect(m_nester, &OnlineNester::jobStarted, this, &AutoNesterDialog::jobStarted);
    connect(m_nester, &OnlineNester::progress, this, &AutoNesterDialog::showProgress);
    connect(m_nester, &OnlineNester::finished, this, &AutoNesterDialog::placed);
    connect(m_nester, &OnlineNester::failed, this, &AutoNesterDialog::failed);
}

void AutoNesterDialog::retranslateUi()
{
    NestingDialog::retranslateUi();
    setWindowTitle(tr("Online nesting"));
}

AutoNesterDialog::~AutoNesterDialog()
{
    endJob();
}

void AutoNesterDialog::startPlacement()
{
    if (m_nester->isRunning())
        return;
    CSVGDocument work;
    // The pieces keep their ids and places: the placements come back by id.
    const std::wstring selection = document() ? document()->selectionToSvgText() : std::wstring();
    work.parseSvgText(L"<svg xmlns=\"http://www.w3.org/2000/svg\">" + selection + L"</svg>", false, false);
    const QVector<PieceInfo> pieces = NestingPieces::rootPieces(&work);
    PlacementSettings settings;
    if (!beginPlacement(pieces, &settings))
        return;
    m_nester->start(m_name, pieces, settings);
}

void AutoNesterDialog::jobStarted(const QString& job)
{
    if (document())
        document()->setNestingJobId(job);
}

// The dialog stays open with the placements offered: closing by itself, it
// could take a click meant for Cancel.
void AutoNesterDialog::placed(const QVector<PlacementInfo>& placements, double rollLength)
{
    if (document())
        document()->setNestingJobId(QString());
    offerPlacements(placements, rollLength);
}

void AutoNesterDialog::failed(const QString& message)
{
    if (document())
        document()->setNestingJobId(QString());
    showFailure(message);
}

void AutoNesterDialog::endJob()
{
    if (m_nester->isRunning())
        m_nester->cancel();
    if (document())
        document()->setNestingJobId(QString());
}

void AutoNesterDialog::reject()
{
    endJob();
    NestingDialog::reject();
}
