// The view's editing commands: each is one document operation, then a
// repaint and, where it changes what is possible, the window's action states.

#include "CSVGView.h"

#include "CMainFrame.h"
#include "CSVGScene.h"
#include "InterfaceLocale.h"
#include "Prompt.h"
#include "SvgCodes.h"

#include <QColorDialog>
#include <QGraphicsPathItem>
#include <QInputDialog>
#include <QPen>
#include <QTimer>

namespace {
std::vector<std::wstring> toWide(const QStringList& texts)
{
    std::vector<std::wstring> wide;
    wide.reserve(texts.size());
    for (const QString& text : texts)
        wide.push_back(text.toStdWString());
    return wide;
}
} // namespace

void CSVGView::afterCommand(bool actions)
{
    if (m_document.isContentChanged())
        repaint();
    if (actions && m_mainFrame)
        m_mainFrame->updateActionStates();
}

void CSVGView::OntextChanged(const QString& name, const QString& value)
{
    setSelectionAttributes({ name }, { value }, false);
}

void CSVGView::setSelectionAttributes(const QStringList& names, const QStringList& values, bool makeDefault)
{
    m_document.setSelectionAttributes(toWide(names), toWide(values), makeDefault);
    afterCommand(true);
}

void CSVGView::setFillUrl(const std::wstring& svgText)
{
    m_document.setFillUrl(svgText);
    if (m_mainFrame)
        m_mainFrame->updateActionStates();
    repaint();
}

void CSVGView::OnDel()
{
    if (!hasSelection())
        return;
    if (m_document.deleteSelection())
        restartCaretClock();
    repaint();
    afterCommand(true);
}

// While the pen draws, Undo is about the path on the canvas, which is not
// yet the document's.
void CSVGView::OnUndo()
{
    if (m_pathItem && m_document.getEditMode() == EditMode::Path) {
        undoPathSegment();
    } else {
        m_document.undo();
        autosaveAfterUndo();
    }
    repaint();
    afterCommand(true);
}

void CSVGView::OnRedo()
{
    m_document.redo();
    repaint();
    afterCommand(true);
}

void CSVGView::OnClear()
{
    if (Prompt::information(this, tr("Clear"), tr("Are you sure you want to empty all the pieces"),
            QMessageBox::Ok | QMessageBox::Cancel)
        != QMessageBox::Ok)
        return;
    m_document.clearContents();
    m_document.newDocument();
    m_document.setContentChanged(true);
    afterCommand(true);
}

void CSVGView::OnGroup()
{
    group();
}

void CSVGView::OnUnGroup()
{
    ungroup();
}

void CSVGView::group()
{
    if (!hasSelection())
        return;
    m_document.groupSelection();
    afterCommand(true);
}

void CSVGView::ungroup()
{
    if (!hasSelection())
        return;
    m_document.ungroupSelection();
    afterCommand(true);
}

void CSVGView::mergeShapes()
{
    if (!hasSelection())
        return;
    m_document.mergeShapes();
    afterCommand(true);
}

void CSVGView::lockSelection()
{
    m_document.lockSelection();
    repaint();
    afterCommand(true);
}

void CSVGView::unlockAll()
{
    m_document.unlockAll();
    afterCommand(true);
}

void CSVGView::bringToFront()
{
    m_document.bringToFront();
    afterCommand(true);
}

void CSVGView::mirrorBottom()
{
    m_document.mirrorBottom();
    afterCommand(true);
}

void CSVGView::autoGroup()
{
    m_document.autoGroup();
    afterCommand(true);
}

void CSVGView::OnRepairData(int precision)
{
    if (precision < 0) {
        QInputDialog dialog(this);
        dialog.setWindowTitle(tr("precision"));
        dialog.setLabelText(tr("Please enter a precision value"));
        dialog.setInputMode(QInputDialog::IntInput);
        dialog.setIntRange(1, 1000000);
        dialog.setIntStep(10);
        dialog.setIntValue(1000);
        if (Prompt::exec(&dialog) != QDialog::Accepted)
            return;
        precision = dialog.intValue();
    }
    m_document.setEditMode(EditMode::Select);
    m_document.repairData(precision);
    afterCommand(true);
}

void CSVGView::OnRepairData()
{
    OnRepairData(-1);
}

void CSVGView::OnRotate(int, bool) { }

void CSVGView::OnZoomSize(double width, double height, bool finish)
{
    m_document.zoomSize(width, height, finish);
    afterCommand(false);
}

void CSVGView::OnOffsetSelection(
    double delta, double arcTolerance, ClipperLib::JoinType joinType, ClipperLib::EndType endType)
{
    m_document.offsetSelection(delta, arcTolerance, joinType, endType);
    afterCommand(false);
}

void CSVGView::alignLeft()
{
    m_document.alignLeft();
    afterCommand(false);
}

void CSVGView::alignRight()
{
    m_document.alignRight();
    afterCommand(false);
}

void CSVGView::alignTop()
{
    m_document.alignTop();
    afterCommand(false);
}

void CSVGView::alignBottom()
{
    m_document.alignBottom();
    afterCommand(false);
}

void CSVGView::alignHorLine()
{
    m_document.alignHorLine();
    afterCommand(false);
}

void CSVGView::alignVerLine()
{
    m_document.alignVerLine();
    afterCommand(false);
}

void CSVGView::alignHorSpace()
{
    m_document.alignHorSpace();
    afterCommand(false);
}

void CSVGView::alignVerSpace()
{
    m_document.alignVerSpace();
    afterCommand(false);
}

void CSVGView::alignSameWidth()
{
    m_document.alignSameWidth();
    afterCommand(false);
}

void CSVGView::alignSameHeight()
{
    m_document.alignSameHeight();
    afterCommand(false);
}

void CSVGView::alignSameSize()
{
    m_document.alignSameSize();
    afterCommand(false);
}

void CSVGView::alignLeftTop()
{
    m_document.alignLeftTop(m_document.getMappedPageRect().toQRectF());
    afterCommand(true);
}

void CSVGView::alignLeftBottom()
{
    m_document.alignLeftBottom(m_document.getMappedPageRect().toQRectF());
    afterCommand(true);
}

void CSVGView::setShowPositionColor(bool show)
{
    m_document.setShowPositionColor(show);
    repaint();
}

void CSVGView::setShowComment(bool show)
{
    m_document.setShowComment(show);
    repaint();
}

void CSVGView::toggleGrid()
{
    m_document.setShowGrid(!m_document.isShowGrid());
    repaint();
}

void CSVGView::toggleRuler()
{
    m_document.setShowRuler(!m_document.isShowRuler());
    repaint();
}

void CSVGView::setCanvasColor(const QColor& color)
{
    m_document.setCanvasColorEnabled(true);
    m_document.setCanvasColor(color);
}

void CSVGView::OnCanvasNoBack()
{
    m_document.setCanvasColorEnabled(false);
}

void CSVGView::OnCanvasDeepBlue()
{
    setCanvasColor(QColor(14, 18, 65));
    repaint();
}

void CSVGView::OnCanvasMidBlue()
{
    setCanvasColor(QColor(21, 28, 100));
    repaint();
}

void CSVGView::OnCanvasLightBlue()
{
    setCanvasColor(QColor(29, 36, 133));
    repaint();
}

void CSVGView::OnCanvasDeepBlack()
{
    setCanvasColor(QColor(16, 32, 52));
    repaint();
}

void CSVGView::OnCanvasWhite()
{
    setCanvasColor(Qt::white);
    repaint();
}

void CSVGView::OnCanvasMoreColor()
{
    QColorDialog dialog(this);
    if (Prompt::exec(&dialog) == QDialog::Accepted)
        setCanvasColor(dialog.currentColor());
}

// Outlines that follow the selected pieces while they are edited, until the
// command runs again.
void CSVGView::createTemplate()
{
    if (!m_templateItems.isEmpty()) {
        qDeleteAll(m_templateItems);
        m_templateItems.clear();
        return;
    }
    if (!hasSelection())
        return;
    QPen pen(QColor(100, 170, 50));
    pen.setDashPattern({ 5, 2 });
    pen.setWidthF(2.0 / displayScale());
    for (CSVGElement* element : m_document.getSelection()) {
        if (!element->isShape())
            continue;
        auto* item = new QGraphicsPathItem(m_document.buildElementPath(element));
        item->setFlag(QGraphicsItem::ItemIsMovable, false);
        item->setFlag(QGraphicsItem::ItemIsSelectable, false);
        item->setFlag(QGraphicsItem::ItemSendsGeometryChanges, true);
        item->setPen(pen);
        m_scene->addItem(item);
        m_templateItems.append(item);
    }
    QTimer::singleShot(1000, this, &CSVGView::updateTemplate);
}

void CSVGView::updateTemplate()
{
    for (QGraphicsPathItem* item : qAsConst(m_templateItems)) {
        item->setZValue(-1.0);
        QPen pen = item->pen();
        pen.setWidth(0);
        pen.setCosmetic(true);
        item->setPen(pen);
    }
}

void CSVGView::createTearLine(bool create)
{
    if (create && !hasSelection())
        return;
    const size_t steps = m_document.getHistory().getCursor();
    m_document.createTearLine(create);
    if (create) {
        const QString width = tr("After generating the tear film line, the width is %1 mm. Do you want to continue?")
                                  .arg(InterfaceLocale::number(m_document.getContentBoundingRect().height(), 3));
        // One literal, so that the text reads as its language-file key.
        // clang-format off
        const QString note = tr("Note that the generated tear line is the actual cut line, which cannot be moved. Please do not move the graphics and overlap the tear line!");
        // clang-format on
        const QString text = QStringLiteral("%1<br/><p style = \"color:rgb(255, 0, 0); \">%2</p>").arg(width, note);
        if (Prompt::confirm(this, tr("Warning"), text, tr("Continue"), tr("Cancel"), Qt::RichText))
            m_document.placeNewTearLines(m_document.getMappedPageRect().toQRectF());
        else if (m_document.getHistory().getCursor() > steps)
            m_document.undoAndForget();
    }
    m_document.setContentChanged(true);
    repaint();
}
