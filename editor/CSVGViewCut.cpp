// The cut entry and the automatic nesting entry.

#include "CSVGView.h"

#include "ApiReply.h"
#include "AutoNesterDialog.h"
#include "AutoPlaceDialog.h"
#include "CActionAttr.h"
#include "CActionComposite.h"
#include "CMainFrame.h"
#include "CSVGElementShape.h"
#include "Deployment.h"
#include "DlgPlot.h"
#include "DouglasPeuckerSimplify.h"
#include "HttpRequest.h"
#include "NestingPieces.h"
#include "ParallelLoop.h"
#include "Prompt.h"

#include <QApplication>
#include <QDebug>
#include <QElapsedTimer>
#include <QJsonObject>
#include <QSettings>

#include <memory>
#include <thread>

namespace {
const int kPreviewWidth = 512;

// What the worker of one piece finds: the points left after simplifying.
struct PreparedPiece
{
    CSVGElement* element = nullptr;
    QPainterPath path;
    int sourcePoints = 0;
    int keptPoints = 0;
};

int keptPointCount(const QPainterPath& path, int& sourcePoints)
{
    const QPolygonF largest = CSVGElementShape::getLargestPolygon(path);
    sourcePoints = largest.size();
    QPolygonF simplified = DouglasPeuckerSimplify().simplify(largest);
    if (simplified.size() > 1 && simplified.isClosed())
        simplified.removeLast();
    return simplified.size();
}
} // namespace

void CSVGView::plot()
{
    m_document.requestIntersectionCheck();
    if (!m_document.checkNoIntersection())
        return;
    const QRectF page = m_document.getPageRect();
    const int height = page.width() > 0 ? qBound(1, qRound(kPreviewWidth * page.height() / page.width()), 16384) : 1;
    QImage preview;
    int pieces = 0;
    QRectF pageRect = page;
    CSVGDocument::renderSvgToImage(
        preview, pieces, m_document.pageToSvgText(-1, 0.0, -1, -1, false), kPreviewWidth, height, pageRect, 0);
    if (pieces < 1) {
        // Pieces beyond the page are no pieces of the cut, and are named.
        QString text = tr("No pieces to cut!");
        const QString outside = DlgPlot::outsideNote(m_document.piecesOutsidePage());
        if (!outside.isEmpty())
            text += QStringLiteral("\n\n") + outside;
        Prompt::warning(this, tr("Warning"), text);
        return;
    }
    runPlotDialog();
}

int CSVGView::nestingThreadCount()
{
    const int hardware = int(std::thread::hardware_concurrency());
    return std::max(1, hardware > 2 ? hardware - 2 : hardware);
}

// The outlines are taken here, on the calling thread, since the elements
// cache their geometry; the workers only flatten and simplify copies, each
// into its own slot.
QList<CSVGElement*> CSVGView::prepareNestingPieces(const QVector<CSVGElement*>& elements, int threads)
{
    std::vector<PreparedPiece> pieces;
    pieces.reserve(elements.size());
    for (CSVGElement* element : elements) {
        CSVGElementShape* shape = element && !element->isTearLine() ? CSVGElementShape::asShape(element) : nullptr;
        if (shape && !shape->isHidden())
            pieces.push_back({ element, shape->getTransformedPath() });
    }
    ParallelLoop::run(int(pieces.size()), threads, [&pieces](int i) {
        PreparedPiece& piece = pieces[size_t(i)];
        if (!piece.path.isEmpty())
            piece.keptPoints = keptPointCount(piece.path, piece.sourcePoints);
    });
    QList<CSVGElement*> miscellaneous;
    for (const PreparedPiece& piece : pieces) {
        if (piece.path.isEmpty())
            continue;
        qDebug() << "src points:" << piece.sourcePoints << "dest points:" << piece.keptPoints;
        if (piece.keptPoints < 3)
            miscellaneous.append(piece.element);
    }
    return miscellaneous;
}

void CSVGView::autoPlace()
{
    if (!hasSelection())
        return;
    qDebug() << "begin optimization ";
    QElapsedTimer timer;
    timer.start();
    const QList<CSVGElement*> miscellaneous = prepareNestingPieces(m_document.getSelection(), nestingThreadCount());
    qDebug() << "optimization time: " << timer.elapsed();
    if (!miscellaneous.isEmpty()) {
        Prompt::warning(this, tr("Warning"), tr("Please handle the miscellaneous pieces first!"));
        m_document.clearSelection();
        for (CSVGElement* element : miscellaneous)
            m_document.selectElement(element, Qt::green);
        repaint();
        return;
    }
    // The tab may close while the answer is on its way.
    QPointer<CSVGView> self(this);
    HttpRequest request(Deployment::apiBase() + QStringLiteral("user/index"));
    request.setHeader(QStringLiteral("token"), QSettings().value(QStringLiteral("token")).toString())
        .setSuccessHandler([self](const QString& body) {
            const QJsonValue data = ApiReply::parse(body).data();
            if (!self || !data.isObject())
                return;
            const QJsonObject user = data.toObject().value(QStringLiteral("userinfo")).toObject();
            self->runNestingDialog(user.value(QStringLiteral("allowtype")).toInt() != 0);
        })
        .setFailHandler([self](const QString& error, int) {
            if (self)
                Prompt::warning(self, tr("Warring"), error);
        });
    request.post();
}

// The job is named after the drawing, as its tab shows it.
void CSVGView::runPlotDialog()
{
    DlgPlot dialog(&m_document, m_displayName, this);
    Prompt::exec(&dialog);
}

// One nesting is one step of the history: the placement and the move to
// the page's left-bottom corner after it. A cancelled dialog changes
// nothing. The view may have gone while a dialog ran.
void CSVGView::runNestingDialog(bool online)
{
    // A hidden piece is not placed, and stays where it is.
    const QVector<CSVGElement*> selection = m_document.getSelection();
    const QList<CSVGElement*> pieces
        = NestingPieces::placeable(QList<CSVGElement*>(selection.begin(), selection.end()));
    auto step = std::make_unique<CActionComposite>(&m_document);
    for (CSVGElement* piece : pieces)
        step->addAction(new CActionAttr(&m_document, piece, L"transform"));
    QPointer<CSVGView> self(this);
    const int result = execNestingDialog(online);
    if (self && result == QDialog::Accepted)
        finishNesting(pieces, step.release());
}

int CSVGView::execNestingDialog(bool online)
{
    if (online) {
        AutoNesterDialog dialog(&m_document, this);
        dialog.setName(m_displayName);
        return Prompt::exec(&dialog);
    }
    Vantor::Placement::AutoPlaceDialog dialog(&m_document, QApplication::activeWindow());
    return Prompt::exec(&dialog);
}

// The step holds the pieces' places before the nesting; it gains their
// places after it, and the move, and goes on the history.
void CSVGView::finishNesting(const QList<CSVGElement*>& pieces, CActionComposite* step)
{
    for (CActionBase* action : step->getActions())
        action->captureAfterState();
    m_document.clearSelection();
    for (CSVGElement* piece : pieces)
        m_document.selectElement(piece, Qt::green);
    m_document.alignLeftBottom(m_document.getNestingPageRect(), step);
    m_document.getHistory().push(step);
    m_document.setContentChanged(true);
    afterCommand(true);
}
