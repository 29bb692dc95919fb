// The window's action table: what each action shows, where it sits, what it
// triggers, and how the document's state enables it.

#include "CMainFrame.h"

#include "CGlobalConfig.h"
#include "CSVGView.h"
#include "CToolButtonColorMenu.h"
#include "CToolButtonComboxMenu.h"

#include <QAction>
#include <QComboBox>
#include <QFontComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolBar>

namespace {
enum Flag : unsigned {
    InMenu = 1, // also in the Import menu
    SeparatorAfter = 2, // in that menu
    Hidden = 4,
    Checkable = 8,
    LowPriority = 16,
    // Disabled without a document, enabled with one.
    Managed = 32,
    FontWeight = 64,
    FontItalic = 128,
    FontUnderline = 256,
};

// Where an action goes besides the Import menu.
enum Container { NoContainer, UpperLeft, LowerLeft, UpperRight, LowerRight, EditBar, EditMenu, StageBar };

struct ActionRow
{
    CMainFrame::Action id;
    const char* text;
    // The text that retranslation sets; null for the first again.
    const char* retranslated;
    const char* icon;
    QKeySequence::StandardKey key;
    const char* slot;
    int stage;
    Container container;
    unsigned flags;
    // The account right that shows the action; null for none.
    const char* right;
};

using F = CMainFrame;
constexpr QKeySequence::StandardKey kNoKey = QKeySequence::UnknownKey;
constexpr int kFile = 0, kEdit = 1, kDraw = 2, kGroup = 3, kCanvas = 4, kLock = 5, kFont = 6, kAlign = 7;

const ActionRow kActions[] = {
    { F::Import, QT_TR_NOOP("Import"), QT_TR_NOOP("Import"), "fileopen", QKeySequence::Open, "fileOpen()", kFile,
        UpperLeft, InMenu | Hidden, nullptr },
    { F::Export, QT_TR_NOOP("Export"), QT_TR_NOOP("Export"), "fileexp", kNoKey, "fileSaveAs()", kFile, LowerLeft,
        InMenu | SeparatorAfter | Hidden | LowPriority, nullptr },
    { F::Share, QT_TR_NOOP("Share"), QT_TR_NOOP("Share"), "share", kNoKey, "fileShare()", kFile, UpperLeft, InMenu,
        nullptr },
    { F::Save, QT_TR_NOOP("Save"), QT_TR_NOOP("Save"), "filesave", QKeySequence::Save, "fileSave()", kFile, LowerLeft,
        InMenu | SeparatorAfter | Managed, nullptr },
    { F::Color, QT_TR_NOOP("Color"), QT_TR_NOOP("Color"), "color", kNoKey, "OnPositionColor(bool)", kFile, UpperLeft,
        Checkable | Managed, "color_auth" },
    { F::Note, QT_TR_NOOP("Note"), QT_TR_NOOP("Note"), "note", kNoKey, "OnComment(bool)", kFile, LowerLeft,
        Checkable | Managed, "note_auth" },
    { F::Cutting, QT_TR_NOOP("Cutting"), QT_TR_NOOP("Cutting"), "plotter", kNoKey, "filePlot()", kFile, UpperRight,
        InMenu | Managed, nullptr },
    { F::Printing, QT_TR_NOOP("Printing"), QT_TR_NOOP("Printing"), "print", QKeySequence::Print, "filePrint()", kFile,
        UpperRight, InMenu | SeparatorAfter | Hidden | Managed, nullptr },
    { F::Refresh, QT_TR_NOOP("Refresh"), QT_TR_NOOP("Refresh"), "refresh", kNoKey, "OnRepairData()", kFile, UpperRight,
        Managed, nullptr },
    { F::FillComment, QT_TR_NOOP("Fill Comment"), QT_TR_NOOP("Fill Comment"), "fillcolor", kNoKey,
        "OnPositionColor(bool)", kFile, UpperRight, Checkable | Hidden | Managed, nullptr },
    { F::Copy, QT_TR_NOOP("Copy"), QT_TR_NOOP("Copy"), "editcopy", QKeySequence::Copy, "copy()", kFile, UpperRight,
        Managed, nullptr },
    { F::DeleteAction, QT_TR_NOOP("Delete"), QT_TR_NOOP("Delete"), "delete", QKeySequence::Delete, "Delete()", kFile,
        UpperRight, 0, nullptr },
    { F::Mirror, QT_TR_NOOP("Mirror"), QT_TR_NOOP("Mirror"), "mirror", kNoKey, "mirrorright()", kFile, UpperRight,
        Managed, nullptr },
    { F::Undo, QT_TR_NOOP("Undo"), QT_TR_NOOP("Undo"), "editundo", QKeySequence::Undo, "undo()", kFile, UpperRight,
        Managed, nullptr },
    { F::Redo, QT_TR_NOOP("Redo"), QT_TR_NOOP("Redo"), "editredo", QKeySequence::Redo, "redo()", kFile, UpperRight,
        Managed, nullptr },
    { F::Measure, QT_TR_NOOP("Measure"), QT_TR_NOOP("Measure"), "ruler", kNoKey, "ruler()", kFile, UpperRight, Managed,
        nullptr },
    { F::CancelMeasure, QT_TR_NOOP("Cancel Measure"), QT_TR_NOOP("Cancel Measure"), "del_ruler", kNoKey,
        "OnCancelRuler()", kFile, UpperRight, Managed, nullptr },
    { F::Scale, QT_TR_NOOP("Scale"), QT_TR_NOOP("Scale"), "scale", kNoKey, "expand()", kFile, UpperRight, Managed,
        nullptr },
    { F::Text, QT_TR_NOOP("Text"), QT_TR_NOOP("Text"), "drawtext", kNoKey, "drawtext()", kFile, UpperRight, Managed,
        nullptr },
    { F::AlignLeftTop, QT_TR_NOOP("Align Left Top"), QT_TR_NOOP("Left Top"), "lefttop", kNoKey, "OnAlignLeftTop()",
        kFile, UpperRight, Hidden, nullptr },
    { F::ImagingSystem, QT_TR_NOOP("3D Imaging System"), QT_TR_NOOP("3D Imaging"), "ImageContour", kNoKey,
        "OnImageContour()", kFile, UpperRight, 0, "openimg_auth" },
    { F::VectorEngine, QT_TR_NOOP("Vector Engine"), QT_TR_NOOP("Vector Engine"), "vectorengine", kNoKey,
        "OnVectorEngine()", kFile, UpperRight, 0, "vector_auth" },
    { F::SeparationLine, QT_TR_NOOP("Separation Line"), QT_TR_NOOP("Separation Line"), "tearline", kNoKey,
        "createTearLine(bool)", kFile, UpperRight, Checkable | Managed, nullptr },
    { F::PrintImage, QT_TR_NOOP("Print Image"), QT_TR_NOOP("Print Image"), "printimage", kNoKey, "printimage()", kDraw,
        UpperRight, Hidden | Managed, nullptr },
    { F::Bottom, QT_TR_NOOP("Bottom"), QT_TR_NOOP("Bottom"), "leftbottom", kNoKey, "OnAlignLeftBottom()", kFile,
        LowerRight, Managed, nullptr },
    { F::SupperNesting, QT_TR_NOOP("Supper Nesting"), QT_TR_NOOP("Nesting"), "autoplace", kNoKey, "AutoPlace()", kFile,
        LowerRight, Managed, nullptr },
    { F::DelFeature, QT_TR_NOOP("Del Feature"), QT_TR_NOOP("Del Feature"), "del_feature", kNoKey, "DeleteFeature()",
        kFile, LowerRight, 0, nullptr },
    { F::Combine, QT_TR_NOOP("Combine"), QT_TR_NOOP("Combine"), "group", kNoKey, "OnGroup()", kFile, LowerRight,
        Managed, nullptr },
    { F::Ungroup, QT_TR_NOOP("Ungroup"), QT_TR_NOOP("Ungroup"), "ungroup", kNoKey, "OnUnGroup()", kFile, LowerRight,
        Managed, nullptr },
    { F::Split, QT_TR_NOOP("Split"), QT_TR_NOOP("Split"), "split", kNoKey, "SplitShape()", kFile, LowerRight, Managed,
        nullptr },
    { F::Union, QT_TR_NOOP("Union"), QT_TR_NOOP("Union"), "merge", kNoKey, "OnMergeShapes()", kFile, LowerRight,
        Managed, nullptr },
    { F::OrientationAction, QT_TR_NOOP("Orientation"), QT_TR_NOOP("Orientation"), "orientation", kNoKey,
        "Orientation(bool)", kFile, LowerRight, Checkable, nullptr },
    { F::Rectangle, QT_TR_NOOP("Rectangle"), QT_TR_NOOP("Rectangle"), "drawrect", kNoKey, "drawrect()", kFile,
        LowerRight, Managed, nullptr },
    { F::Circle, QT_TR_NOOP("Circle"), QT_TR_NOOP("Circle"), "drawcircle", kNoKey, "drawcircle()", kFile, LowerRight,
        Managed, nullptr },
    { F::Ellipse, QT_TR_NOOP("Ellipse"), QT_TR_NOOP("Ellipse"), "drawellipse", kNoKey, "drawellipse()", kFile,
        LowerRight, Hidden | Managed, nullptr },
    { F::Image, QT_TR_NOOP("Image"), QT_TR_NOOP("Image"), "drawimage", kNoKey, "drawimage()", kFile, LowerRight,
        Managed, nullptr },
    { F::Canvas, QT_TR_NOOP("Canvas"), QT_TR_NOOP("Canvas"), "canvas", kNoKey, "canvasSettings()", kFile, LowerRight, 0,
        nullptr },
    { F::ImportFile, QT_TR_NOOP("Import File"), QT_TR_NOOP("Import File"), "fileopen", kNoKey, "fileUploadOpen()",
        kFile, LowerRight, 0, "report_auth" },
    { F::AutoGroup, QT_TR_NOOP("AutoGroup"), nullptr, "autogroup", kNoKey, "OnAutoGroup()", kGroup, LowerRight,
        Hidden | Managed, nullptr },
    { F::Projection, QT_TR_NOOP("Projection"), QT_TR_NOOP("Projection"), "template", kNoKey, "createTemplate()", kFile,
        EditBar, Managed, nullptr },
    { F::Expand, QT_TR_NOOP("Expand"), QT_TR_NOOP("Expand"), "expandall", kNoKey, "offset()", kFile, EditBar, Managed,
        nullptr },
    { F::InsetExpansion, QT_TR_NOOP("Inset Expansion"), QT_TR_NOOP("Inset Expansion"), "expandsome", kNoKey,
        "PartialExpand()", kFile, EditBar, Managed, nullptr },
    { F::MovePointAction, QT_TR_NOOP("Move Point"), QT_TR_NOOP("Move Point"), "movepoint", kNoKey, "MovePoint()", kFile,
        EditBar, 0, nullptr },
    { F::Pen, QT_TR_NOOP("Pen"), QT_TR_NOOP("Pen"), "drawpath", kNoKey, "drawpath()", kFile, EditBar, Managed,
        nullptr },
    { F::Cropping, QT_TR_NOOP("Cropping"), QT_TR_NOOP("Cropping"), "cut_curve", kNoKey, "CutCurve()", kFile, EditBar,
        Managed, nullptr },
    { F::DelNode, QT_TR_NOOP("Del Node"), QT_TR_NOOP("Del Node"), "delpoints", kNoKey, "DeletePoint()", kFile, EditBar,
        Managed, nullptr },
    { F::AddNode, QT_TR_NOOP("Add Node"), QT_TR_NOOP("Add Node"), "addpoint", kNoKey, "arrow()", kFile, EditBar,
        Managed, nullptr },
    { F::Quit, QT_TR_NOOP("Quit"), nullptr, nullptr, kNoKey, "close()", kFile, NoContainer, InMenu, nullptr },
    { F::ClearAction, QT_TR_NOOP("Clear"), QT_TR_NOOP("Clear"), "editclear", kNoKey, "Clear()", kEdit, EditMenu, 0,
        nullptr },
    { F::Paste, QT_TR_NOOP("Paste"), QT_TR_NOOP("Paste"), "editpaste", QKeySequence::Paste, "paste()", kEdit, EditMenu,
        Managed, nullptr },
    { F::Line, QT_TR_NOOP("Line"), QT_TR_NOOP("Line"), "drawline", kNoKey, "drawline()", kDraw, StageBar,
        Hidden | Managed, nullptr },
    { F::Polyline, QT_TR_NOOP("Polyline"), QT_TR_NOOP("Polyline"), "drawpolyline", kNoKey, "drawpolyline()", kDraw,
        StageBar, Hidden | Managed, nullptr },
    { F::Polygon, QT_TR_NOOP("Polygon"), QT_TR_NOOP("Polygon"), "drawpolygon", kNoKey, "drawpolygon()", kDraw, StageBar,
        Hidden | Managed, nullptr },
    { F::ShowRule, QT_TR_NOOP("Show Rule"), nullptr, "showrule", kNoKey, "OnShowRule()", kCanvas, StageBar, Managed,
        nullptr },
    { F::ShowGrid, QT_TR_NOOP("Show Grid"), nullptr, "showgrid", kNoKey, "OnShowGrid()", kCanvas, StageBar, Managed,
        nullptr },
    { F::Lock, QT_TR_NOOP("Lock"), nullptr, "lock", kNoKey, "OnLock()", kLock, StageBar, Managed, nullptr },
    { F::Unlock, QT_TR_NOOP("Unlock"), nullptr, "unlock", kNoKey, "OnUnlock()", kLock, StageBar, Managed, nullptr },
    { F::Bold, QT_TR_NOOP("Bold"), QT_TR_NOOP("Bold"), "textbold", kNoKey, "OntextBold()", kFont, StageBar,
        Managed | FontWeight, nullptr },
    { F::Italics, QT_TR_NOOP("Italics"), QT_TR_NOOP("Italics"), "textitalic", kNoKey, "OntextItalic()", kFont, StageBar,
        Managed | FontItalic, nullptr },
    { F::Underline, QT_TR_NOOP("Underline"), QT_TR_NOOP("Underline"), "textunder", kNoKey, "OntextUnderLine()", kFont,
        StageBar, Managed | FontUnderline, nullptr },
    { F::AlignTop, QT_TR_NOOP("Align Top"), nullptr, "aligntop", kNoKey, "aligntop()", kAlign, StageBar, Managed,
        nullptr },
    { F::AlignBottom, QT_TR_NOOP("Align Bottom"), nullptr, "alignbottom", kNoKey, "alignbottom()", kAlign, StageBar,
        Managed, nullptr },
    { F::AlignLeft, QT_TR_NOOP("Align Left"), nullptr, "alignleft", kNoKey, "alignleft()", kAlign, StageBar, Managed,
        nullptr },
    { F::AlignRight, QT_TR_NOOP("Align Right"), nullptr, "alignright", kNoKey, "alignright()", kAlign, StageBar,
        Managed, nullptr },
    { F::AlignVertically, QT_TR_NOOP("Align Vertically"), nullptr, "alignmidver", kNoKey, "alignverline()", kAlign,
        StageBar, Managed, nullptr },
    { F::AlignHorizontal, QT_TR_NOOP("Align Horizontal"), nullptr, "alignmidhor", kNoKey, "alignhorline()", kAlign,
        StageBar, Managed, nullptr },
    { F::SpacingHorizontal, QT_TR_NOOP("Consistent Horizontal Spacing"), nullptr, "alignsamespacehor", kNoKey,
        "alignhorspace()", kAlign, StageBar, Managed, nullptr },
    { F::SpacingVertical, QT_TR_NOOP("Consistent Vertical Spacing"), nullptr, "alignsamespacever", kNoKey,
        "alignverspace()", kAlign, StageBar, Managed, nullptr },
    { F::SameWidth, QT_TR_NOOP("Consistent Width"), nullptr, "alignsamewidth", kNoKey, "alignsamewidth()", kAlign,
        StageBar, Managed, nullptr },
    { F::SameHeight, QT_TR_NOOP("Consistent Height"), nullptr, "alignsameheight", kNoKey, "alignsameheight()", kAlign,
        StageBar, Managed, nullptr },
    { F::SameSize, QT_TR_NOOP("Consistent Size"), nullptr, "alignsamesize", kNoKey, "alignsamesize()", kAlign, StageBar,
        Managed, nullptr },
};
static_assert(sizeof(kActions) / sizeof(kActions[0]) == CMainFrame::ActionCount, "one row per action");

QFont styledFont(unsigned flags)
{
    QFont font;
    if (flags & FontWeight)
        font.setWeight(QFont::Bold);
    font.setItalic(flags & FontItalic);
    font.setUnderline(flags & FontUnderline);
    return font;
}
} // namespace

QWidget* CMainFrame::container(int kind) const
{
    switch (kind) {
    case UpperLeft:
        return m_upperLeftBlock;
    case LowerLeft:
        return m_lowerLeftBlock;
    case UpperRight:
        return m_upperRightBlock;
    case LowerRight:
        return m_lowerRightBlock;
    case EditBar:
        return m_editToolBar;
    case EditMenu:
        return m_editMenu;
    case StageBar:
        return m_stageToolBar;
    default:
        return nullptr;
    }
}

void CMainFrame::createActions(Stage stage)
{
    for (const ActionRow& row : kActions) {
        if (row.stage != stage)
            continue;
        auto* action = new QAction(tr(row.text), this);
        // A name that no language or retranslation changes, for whatever
        // drives the window from outside.
        action->setObjectName(QLatin1String(row.text));
        if (row.icon)
            action->setIcon(QIcon(QStringLiteral(":/images/%1.png").arg(QLatin1String(row.icon))));
        if (row.key != kNoKey)
            action->setShortcut(row.key);
        action->setCheckable(row.flags & Checkable);
        if (row.flags & LowPriority)
            action->setPriority(QAction::LowPriority);
        if (row.flags & (FontWeight | FontItalic | FontUnderline))
            action->setFont(styledFont(row.flags));
        const QByteArray slot = QByteArray("1") + row.slot;
        if (row.flags & Checkable)
            connect(action, SIGNAL(triggered(bool)), this, slot.constData());
        else
            connect(action, SIGNAL(triggered()), this, slot.constData());
        if (row.flags & InMenu) {
            m_importMenu->addAction(action);
            if (row.flags & SeparatorAfter)
                m_importMenu->addSeparator();
        }
        if (QWidget* widget = container(row.container))
            widget->addAction(action);
        if (row.flags & Hidden)
            m_hiddenActions << action;
        if (row.right)
            action->setVisible(false);
        m_actions[row.id] = action;
    }
}

void CMainFrame::retranslateUi()
{
    for (const ActionRow& row : kActions) {
        if (m_actions[row.id])
            m_actions[row.id]->setText(tr(row.retranslated ? row.retranslated : row.text));
    }
    m_importMenu->setTitle(tr("Import"));
    m_editMenu->setTitle(tr("Edit"));
    m_editToolBar->setWindowTitle(tr("Edit"));
    retranslateNewFileTitles();
    if (m_lengthLabel)
        m_lengthLabel->setText(tr("Length:"));
    if (m_heightLabel)
        m_heightLabel->setText(tr("Height:"));
    // The size shown is written again in the new language's numbers.
    setSizeLabels(m_shownSize.width(), m_shownSize.height());
    if (m_dataCenterButton)
        m_dataCenterButton->setText(tr("Data Center"));
    if (m_designCenterButton)
        m_designCenterButton->setText(tr("Design Center"));
}

void CMainFrame::applyUserRights()
{
    for (const ActionRow& row : kActions) {
        if (row.right && m_actions[row.id])
            m_actions[row.id]->setVisible(g_config.getUserRight(QLatin1String(row.right)).toInt() != 0);
    }
    adjustToolBarWidths();
}

void CMainFrame::setWidgetsEnabled(bool enabled)
{
    for (const ActionRow& row : kActions) {
        if ((row.flags & Managed) && m_actions[row.id])
            m_actions[row.id]->setEnabled(enabled);
    }
    for (QWidget* widget : { static_cast<QWidget*>(m_fontFamilyBox), static_cast<QWidget*>(m_fontSizeBox),
             static_cast<QWidget*>(m_textColorButton), static_cast<QWidget*>(m_strokeWidthButton),
             static_cast<QWidget*>(m_dashButton), static_cast<QWidget*>(m_strokeColorButton),
             static_cast<QWidget*>(m_fillColorButton) }) {
        if (widget)
            widget->setEnabled(enabled);
    }
}

void CMainFrame::syncCheckedStates(CSVGView* view)
{
    const auto check = [](QAction* action, bool checked) {
        const QSignalBlocker blocker(action);
        action->setChecked(checked);
    };
    CSVGDocument* document = view->getDocument();
    check(m_actions[FillComment], document->isShowPositionColor());
    check(m_actions[Color], document->isShowPositionColor());
    check(m_actions[Note], document->isShowComment());
    check(m_actions[SeparationLine], view->hasTearLine());
}

// A tear line leaves only what cuts, saves and removes it on the editing
// toolbars, hidden actions included, and Undo, which takes back the step
// that added the lines.
void CMainFrame::lockForTearLine(bool tearLine)
{
    for (QToolBar* bar : { m_upperRightBlock, m_lowerRightBlock, m_editToolBar }) {
        for (QAction* action : bar->actions()) {
            const bool kept = action == m_actions[Save] || action == m_actions[Cutting]
                || action == m_actions[SeparationLine] || action == m_actions[Undo];
            action->setEnabled(!tearLine || kept);
        }
    }
}

void CMainFrame::updateActionStates()
{
    setWidgetsEnabled(false);
    CSVGView* view = m_currentView;
    if (!view)
        return;
    setWidgetsEnabled(true);
    syncCheckedStates(view);
    lockForTearLine(view->hasTearLine());
    updateTabTitle(view);
}
