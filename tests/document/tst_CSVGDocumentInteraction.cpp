#include "CSVGElementPath.h"
#include "GestureScripts.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <cfloat>
#include <cmath>

Q_DECLARE_METATYPE(GestureScript)

namespace {

// What the canvas sets before each press and move at a display scale of 1.
constexpr double kCanvasTolerance = 1.0;

// Plays the canvas's part: the path of mode 9, the modifier mapping, Escape
// and the repaint after each step.
class Replay
{
public:
    explicit Replay(CSVGDocument& document)
        : m_document(document)
    {
    }
    ~Replay() { dropPath(); }

    void run(const GestureStep& step)
    {
        const QPointF p = step.point;
        const bool ctrl = step.modifiers & Qt::ControlModifier;
        const bool alt = step.modifiers & Qt::AltModifier;
        const int mode = m_document.getEditMode();
        int cursor = -1;
        m_document.setPickTolerance(kCanvasTolerance);
        switch (step.kind) {
        case GestureStep::Mode:
            m_document.setEditMode(step.value);
            break;
        case GestureStep::Press: {
            if (mode == EditMode::Path)
                pressPath(p);
            const bool extend = mode == EditMode::Select || mode == EditMode::DeleteFeature
                ? bool(step.modifiers & Qt::ShiftModifier)
                : ctrl;
            cursor = m_document.leftButtonDown(p, extend, alt);
            break;
        }
        case GestureStep::Move:
            if (mode == EditMode::Path && m_path)
                m_document.updatePathDrawing(m_path, p);
            cursor = m_document.mouseMove(p, ctrl, alt);
            break;
        case GestureStep::Release:
            cursor = m_document.leftButtonUp(p, ctrl);
            break;
        case GestureStep::Key:
            key(step.value, step.modifiers);
            break;
        case GestureStep::Undo:
            m_document.undo();
            break;
        case GestureStep::Redo:
            m_document.redo();
            break;
        case GestureStep::Delete:
            m_document.deleteSelection();
            break;
        }
        m_document.refreshModifiedShapes(&m_document);
        if (step.cursor >= 0)
            cursors << QString("%1:%2").arg(step.cursor).arg(cursor);
    }

    // Expected and returned cursor codes of the checked steps.
    QStringList cursors;

private:
    void pressPath(QPointF p)
    {
        const HighlightNode node = m_document.findNodeAt(p);
        if (node.index >= 0)
            p = node.point;
        if (!m_path) {
            m_path = static_cast<CSVGElementPath*>(m_document.createElement(L"path"));
            m_path->appendMoveto(p.x(), p.y());
            m_path->appendLineto(p.x(), p.y());
            m_path->setAttribute(L"d", m_path->toPathData(), true);
            return;
        }
        const QPointF first(m_path->getSegment(0)->x, m_path->getSegment(0)->y);
        const double reach = m_document.getPickTolerance();
        if (std::fabs(p.x() - first.x()) < reach && std::fabs(p.y() - first.y()) < reach)
            p = first;
        m_document.appendPathPoint(m_path, p);
        if (m_document.isDrawnPathClosed(m_path)) {
            m_document.finishPathDrawing(m_path);
            dropPath();
        }
    }

    void key(int qtKey, Qt::KeyboardModifiers modifiers)
    {
        switch (qtKey) {
        case Qt::Key_Up:
            m_document.onKeyUp();
            break;
        case Qt::Key_Down:
            m_document.onKeyDown();
            break;
        case Qt::Key_Left:
            m_document.onKeyLeft();
            break;
        case Qt::Key_Right:
            m_document.onKeyRight();
            break;
        case Qt::Key_Escape:
            m_document.cancelDrag();
            if (m_document.getEditMode() == EditMode::Path && m_path) {
                m_document.updatePathDrawing(m_path, QPointF(DBL_MAX, DBL_MAX));
                m_document.finishPathDrawing(m_path);
                dropPath();
            }
            m_document.setEditMode(EditMode::Select);
            break;
        case Qt::Key_A:
            if (modifiers & Qt::ControlModifier)
                m_document.selectAll();
            break;
        default:
            break;
        }
    }

    // The path the document did not take stays the canvas's.
    void dropPath()
    {
        if (m_path && !m_path->getParent())
            delete m_path;
        m_path = nullptr;
    }

    CSVGDocument& m_document;
    CSVGElementPath* m_path = nullptr;
};

void load(CSVGDocument& document, const QString& svg)
{
    if (svg.isEmpty())
        return;
    document.loadSvgData(svg.toUtf8());
    document.addToTiles(document.getOwnerSvg());
}

} // namespace

class tst_CSVGDocumentInteraction : public QObject
{
    Q_OBJECT
private slots:
    void gestures_data();
    void gestures();
};

void tst_CSVGDocumentInteraction::gestures_data()
{
    QTest::addColumn<GestureScript>("script");
    for (const GestureScript& script : gestureScripts())
        QTest::newRow(script.name) << script;
}

// The drawing, the cursors and the history a gesture leaves; undone, the
// drawing as before, redone, as after.
void tst_CSVGDocumentInteraction::gestures()
{
    QFETCH(GestureScript, script);
    CSVGDocument document;
    load(document, script.setup);
    const QString before = gesture::drawingText(document);
    {
        Replay replay(document);
        for (const GestureStep& step : script.steps)
            replay.run(step);
        for (const QString& pair : replay.cursors)
            QCOMPARE(pair.section(':', 1), pair.section(':', 0, 0));
    }
    const QString after = gesture::drawingText(document);
    qDebug().noquote() << "DRAWING" << QString(after).replace("\n", "\\n") << "SEL" << gesture::selectionIds(document)
                       << "HIST" << document.getHistory().getCursor();
    QCOMPARE(after, script.drawing);
    QCOMPARE(gesture::selectionIds(document), script.selection);
    QCOMPARE(int(document.getHistory().getCursor()), script.undoSteps);
    for (int i = 0; i < script.undoSteps; ++i)
        document.undo();
    QCOMPARE(gesture::drawingText(document), before);
    for (int i = 0; i < script.undoSteps; ++i)
        document.redo();
    QCOMPARE(gesture::drawingText(document), after);
}

ZOCUT_TEST_MAIN(tst_CSVGDocumentInteraction)
#include "tst_CSVGDocumentInteraction.moc"
