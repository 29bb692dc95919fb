// The tool slots of the window: each picks an interaction mode of the
// current canvas, or starts a tool that needs the selection first.

#include "CMainFrame.h"

#include "CSVGView.h"
#include "DlgSizeExpand.h"
#include "Prompt.h"
#include "SvgCodes.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {
void setTool(CSVGView* view, int mode)
{
    if (view)
        view->setDrawMode(mode);
}
} // namespace

void CMainFrame::drawline()
{
    setTool(m_currentView, EditMode::Line);
}

void CMainFrame::drawrect()
{
    setTool(m_currentView, EditMode::Rect);
}

void CMainFrame::drawcircle()
{
    setTool(m_currentView, EditMode::Circle);
}

void CMainFrame::drawellipse()
{
    setTool(m_currentView, EditMode::Ellipse);
}

void CMainFrame::drawpolyline()
{
    setTool(m_currentView, EditMode::Polyline);
}

void CMainFrame::drawpolygon()
{
    setTool(m_currentView, EditMode::Polygon);
}

void CMainFrame::drawpath()
{
    setTool(m_currentView, EditMode::Path);
}

void CMainFrame::drawtext()
{
    setTool(m_currentView, EditMode::Text);
}

void CMainFrame::zoomin()
{
    setTool(m_currentView, EditMode::ZoomIn);
}

void CMainFrame::zoomout()
{
    setTool(m_currentView, EditMode::ZoomOut);
}

// The next press pastes the text; without a view it stays on the clipboard.
void CMainFrame::drawcustom(const QString& text)
{
    if (!m_currentView)
        return;
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
    m_currentView->setDrawMode(EditMode::PasteAt);
}

void CMainFrame::ruler()
{
    setTool(m_currentView, EditMode::Ruler);
}

void CMainFrame::MovePoint()
{
    if (!m_currentView)
        return;
    m_currentView->setDrawMode(EditMode::MovePoint);
    m_currentView->repaint();
}

void CMainFrame::CheckOpen(bool open)
{
    if (m_currentView)
        m_currentView->checkOpen(open);
}

void CMainFrame::SplitShape()
{
    onCurrentView(&CSVGView::startSplitShape);
}

void CMainFrame::CutCurve()
{
    onCurrentView(&CSVGView::startCutCurve);
}

void CMainFrame::DeletePoint()
{
    onCurrentView(&CSVGView::startDeletePoint);
}

void CMainFrame::DeleteFeature()
{
    onCurrentView(&CSVGView::startDeleteFeature);
}

void CMainFrame::arrow()
{
    onCurrentView(&CSVGView::startAddNode);
}

void CMainFrame::drawcontinue()
{
    onCurrentView(&CSVGView::OnDrawContinue);
}

void CMainFrame::Orientation(bool on)
{
    if (m_currentView)
        m_currentView->setOrientation(on);
}

void CMainFrame::OnCancelRuler()
{
    onCurrentView(&CSVGView::clearRulers);
}

// Only the distance counts: the marked stretch is widened by it.
void CMainFrame::PartialExpand()
{
    if (!m_currentView || !m_currentView->hasSelection())
        return;
    DlgSizeExpand dialog(true, this);
    dialog.setWindowTitle(tr("Inset Expansion"));
    if (Prompt::exec(&dialog) == QDialog::Accepted)
        m_currentView->startPartialExpand(dialog.getExpandValue().distance);
}
