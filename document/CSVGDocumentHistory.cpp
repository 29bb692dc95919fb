// The undo history of the document: the user's Undo and Redo, the pending
// transform step of a gesture, and the refreshes that actions ask for.

#include "CActionAttr.h"
#include "CActionComposite.h"
#include "CActionStateChange.h"
#include "CSVGDocument.h"
#include "CSVGElementPolyline.h"
#include "SvgCodes.h"

#include <QScopedValueRollback>

// The pending step must never outlive its action: when the history deletes
// the step, or an action holding it, the document forgets it.
void CSVGDocument::initHistory()
{
    m_history.setDeleteHook([this](const CActionBase* action) {
        if (m_pendingTransform && action->contains(m_pendingTransform))
            m_pendingTransform = nullptr;
        m_tearLinePlacement.forget(action);
    });
}

// A gesture still under way is closed first, so that its step holds the
// after-state and Redo can restore it.
void CSVGDocument::undo()
{
    endTransformAction();
    if (m_editMode == EditMode::PolylineDrawing || m_editMode == EditMode::PolygonDrawing) {
        undoDrawingPoint();
    } else {
        const QScopedValueRollback<bool> replay(m_historyReplay, true);
        m_history.undo();
        setContentChanged(true);
    }
    setEditMode(EditMode::Select);
    clearSelection();
}

// Steps that cancel out (lines added and taken away, a piece nudged there
// and back) lead back to the saved drawing by another way than Undo, and
// edits beside the history change it without a step: only the text tells.
// Writing it costs as much as a save, so it is compared once per change,
// and not while a gesture changes the drawing at every move: there the
// history's steps answer until the gesture ends.
bool CSVGDocument::hasUnsavedChanges()
{
    if (m_comparedAt == m_changeCount)
        return m_comparedUnsaved;
    if (!m_history.isAtSaved() && isGestureUnderWay())
        return true;
    m_comparedAt = m_changeCount;
    m_comparedUnsaved = !m_savedHash || savedTextHash() != *m_savedHash;
    return m_comparedUnsaved;
}

bool CSVGDocument::isGestureUnderWay() const
{
    return m_pendingTransform || m_leftButtonDown || m_editMode == EditMode::PolylineDrawing
        || m_editMode == EditMode::PolygonDrawing;
}

void CSVGDocument::markSaved()
{
    m_history.setSaved();
    m_savedHash = savedTextHash();
    m_comparedAt = m_changeCount;
    m_comparedUnsaved = false;
}

void CSVGDocument::markUnsaved()
{
    m_history.forgetSaved();
    m_savedHash.reset();
    m_comparedAt = m_changeCount;
    m_comparedUnsaved = true;
}

std::size_t CSVGDocument::savedTextHash()
{
    return std::hash<std::wstring>()(toSvgText());
}

void CSVGDocument::undoAndForget()
{
    undo();
    m_history.truncate();
}

void CSVGDocument::redo()
{
    endTransformAction();
    {
        const QScopedValueRollback<bool> replay(m_historyReplay, true);
        m_history.redo();
    }
    clearSelection();
    setEditMode(EditMode::Select);
    setContentChanged(true);
}

// The polyline or polygon being drawn loses its last point. The path of the
// pen is the canvas's own until it is finished, so in mode 9 nothing here is
// being drawn: Undo is the history's there.
void CSVGDocument::undoDrawingPoint()
{
    CSVGElement* element = getFirstSelected();
    const int type = element ? element->getType() : -1;
    if (type != SvgType::Polyline && type != SvgType::Polygon)
        return;
    auto* polyline = static_cast<CSVGElementPolyline*>(element);
    QPolygonF points = polyline->getPoints();
    if (!points.isEmpty())
        points.removeLast();
    polyline->setAttribute(L"points", CSVGElementPolyline::pointsToText(points), true);
    m_overlayChanged = true;
    setContentChanged(true);
    m_highlights.updateElement(element, -1);
}

void CSVGDocument::beginTransformAction(CActionComposite* parent)
{
    if (m_pendingTransform)
        return;
    auto* step = new CActionComposite(this);
    if (parent)
        parent->addAction(step);
    else
        m_history.push(step);
    m_pendingTransform = step;
    for (CSVGElement* element : m_selection)
        step->addAction(new CActionAttr(this, element, L"transform"));
}

// A gesture that changed nothing (nodes dragged on a piece that cannot
// take them, a selection that was empty) leaves no step behind: an Undo
// that does nothing would only confuse, and the drawing is as it was.
void CSVGDocument::endTransformAction()
{
    if (!m_pendingTransform)
        return;
    normalizeNodeEdit();
    bool changed = false;
    for (CActionBase* action : m_pendingTransform->getActions()) {
        auto* attribute
            = action->getType() == CActionBase::TypeAttr ? dynamic_cast<CActionStateChange*>(action) : nullptr;
        if (attribute)
            attribute->captureAfterState();
        changed = changed || !attribute || attribute->getBefore() != attribute->getAfter();
    }
    CActionComposite* step = m_pendingTransform;
    m_pendingTransform = nullptr;
    const size_t done = m_history.getCursor();
    if (!changed && done > 0 && m_history.getActions()[done - 1] == step)
        m_history.dropLast();
}

void CSVGDocument::refreshAfterAction(bool renumber)
{
    if (m_batchDepth > 0) {
        m_batchRenumber = m_batchRenumber || renumber;
        m_batchHighlights = true;
        return;
    }
    if (renumber)
        renumberDrawingOrder();
    rebuildHighlights();
}

CSVGDocument::ActionBatch::ActionBatch(CSVGDocument* document)
    : m_document(document)
{
    if (m_document)
        ++m_document->m_batchDepth;
}

CSVGDocument::ActionBatch::~ActionBatch()
{
    if (!m_document || --m_document->m_batchDepth > 0)
        return;
    const bool renumber = m_document->m_batchRenumber;
    const bool highlights = m_document->m_batchHighlights;
    m_document->m_batchRenumber = m_document->m_batchHighlights = false;
    if (renumber)
        m_document->renumberDrawingOrder();
    if (highlights)
        m_document->rebuildHighlights();
}
