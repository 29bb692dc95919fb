// Choosing a tool: the interaction mode, the checks a tool needs first, and
// what the tools leave on the canvas when they end.

#include "CSVGView.h"

#include "CSVGElementPath.h"
#include "CSVGRulerItem.h"
#include "CSVGScene.h"
#include "DlgText.h"
#include "Prompt.h"
#include "SVGCurveItem.h"
#include "SVGPathItem.h"
#include "SvgCodes.h"

#include <QGraphicsLineItem>

// A mode that ends takes its unfinished tool items with it: a path being
// drawn is finished as far as it goes, a ruler being drawn stays as drawn.
void CSVGView::setDrawMode(int mode)
{
    if (mode == EditMode::MovePoint && !hasSelection())
        return;
    if (mode != EditMode::Path && m_pathItem)
        endPathDrawing();
    if (mode != m_document.getEditMode()) {
        deleteToolItems();
        leavePasteMode();
    }
    if (mode == EditMode::Text) {
        delete m_textDialog;
        m_textDialog = new DlgText(this, QPointF(0, 0), this);
        m_textDialog->show();
    }
    m_document.setEditMode(mode);
    if (m_document.isContentChanged())
        repaint();
}

void CSVGView::deleteToolItems()
{
    if (m_currentRuler)
        m_rulers.append(m_currentRuler);
    m_currentRuler = nullptr;
    delete m_lineItem;
    m_lineItem = nullptr;
    delete m_curveItem;
    m_curveItem = nullptr;
}

bool CSVGView::hasSelection(bool warn)
{
    if (!m_document.getSelection().isEmpty())
        return true;
    if (warn)
        Prompt::warning(this, tr("Warning"), tr("No selected pieces!"));
    return false;
}

bool CSVGView::startSelectionTool(int mode)
{
    if (!hasSelection())
        return false;
    setDrawMode(mode);
    return true;
}

void CSVGView::startAddNode()
{
    if (startSelectionTool(EditMode::AddNode))
        repaint();
}

void CSVGView::startCutCurve()
{
    if (startSelectionTool(EditMode::CutCurve))
        repaint();
}

void CSVGView::startDeletePoint()
{
    if (startSelectionTool(EditMode::DeletePoint))
        repaint();
}

void CSVGView::startSplitShape()
{
    startSelectionTool(EditMode::Split);
}

void CSVGView::mirrorRight()
{
    startSelectionTool(EditMode::Mirror);
}

void CSVGView::startPartialExpand(double width)
{
    if (startSelectionTool(EditMode::PartialExpand))
        m_partialExpandWidth = width;
}

void CSVGView::startDeleteFeature()
{
    m_document.clearSelection();
    setDrawMode(EditMode::DeleteFeature);
    repaint();
}

void CSVGView::checkOpen(bool open)
{
    setDrawMode(open ? EditMode::CheckOpen : EditMode::Select);
    repaint();
}

void CSVGView::setOrientation(bool on)
{
    m_document.setOrientation(on);
    repaint();
}

void CSVGView::clearRulers()
{
    deleteToolItems();
    qDeleteAll(m_rulers);
    m_rulers.clear();
}

// The path gets a rubber segment at its end, which the next press fixes as
// the first new node.
void CSVGView::OnDrawContinue()
{
    CSVGElement* element = m_document.getSelectedElement(false);
    if (!element || element->getType() != SvgType::Path)
        return;
    auto* path = static_cast<CSVGElementPath*>(element);
    const CSVGPathSeg* last = path->getSegmentFromEnd(0);
    // A closed outline has no end to go on from.
    if (!last || last->getType() == CSVGPathSeg::ClosePath)
        return;
    setDrawMode(EditMode::Path);
    if (m_pathItem)
        return;
    // Its own nodes, marked while selected, would count as ends to close on.
    m_document.clearSelection();
    m_continuedData = path->toPathData();
    m_continuing = true;
    path->appendLineto(last->x, last->y);
    path->setAttribute(L"d", path->toPathData(), true);
    m_pathItem = new SVGPathItem(this, path);
    m_scene->addItem(m_pathItem);
}
