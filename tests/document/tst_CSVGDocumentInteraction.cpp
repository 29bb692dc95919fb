#include "CSVGElementPath.h"
#include "GestureScripts.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <QPainter>
#include <QSvgRenderer>
#include <QTextCharFormat>

#include <cfloat>
#include <cmath>
#include <utility>

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
        const bool shift = step.modifiers & Qt::ShiftModifier;
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
            startBand(p);
            const bool extend = mode == EditMode::Select || mode == EditMode::DeleteFeature ? shift : ctrl;
            cursor = m_document.leftButtonDown(p, extend, alt);
            break;
        }
        case GestureStep::Move:
            if (mode == EditMode::Path && m_path)
                m_document.updatePathDrawing(m_path, p);
            cursor = m_document.mouseMove(p, ctrl, alt);
            break;
        case GestureStep::Release:
            endBand(p, shift);
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

    // The canvas's own rubber band: in mode 0 from outside the selection, in
    // the outline modes but 31 from anywhere off a node.
    void startBand(const QPointF& p)
    {
        const int mode = m_document.getEditMode();
        const bool onNode = mode == EditMode::MovePoint && m_document.findNodeAt(p).index >= 0;
        m_banding = mode == EditMode::Select ? !m_document.getSelectionRect().contains(p)
                                             : m_document.isOutlineEditMode() && mode != EditMode::AddNode && !onNode;
        m_bandStart = p;
    }

    void endBand(const QPointF& p, bool shift)
    {
        const QRectF band = QRectF(m_bandStart, p).normalized();
        if (std::exchange(m_banding, false) && !band.isEmpty()) {
            if (m_document.getEditMode() != EditMode::Select) {
                m_document.selectInRubberBand(CSVGRect(band.x(), band.y(), band.width(), band.height()), shift);
                return;
            }
            if (!shift)
                m_document.clearSelection();
            for (CSVGElement* element : m_document.elementsInRect(band))
                m_document.selectElement(element, Qt::green);
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
    bool m_banding = false;
    QPointF m_bandStart;
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
    void nodeDrag_data();
    void nodeDrag();
    void markedNodesNudgeAsOneStep();
    void regularPolygon_data();
    void regularPolygon();
    void constrainAngle();
    void zoomByClick_data();
    void zoomByClick();
    void rotation();
    void escapeOnTransformedPath();
    void rectDraggedLeftRenders();
    void flipKeepsThePlace();
    void textFromFormat();
    void badInputChangesNothing();
    void lockedPieceIsNotPicked();
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

// One element, one node dragged in one step: the element as written after
// the step, and undone as before.
void tst_CSVGDocumentInteraction::nodeDrag_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("subIndex");
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<QString>("dragged");
    const auto box = [](int handle) { return handle; };
    QTest::newRow("circle corner") << R"(<circle id="a" cx="0" cy="0" r="10"/>)" << box(HandleIndex::LeftTop) << -1
                                   << QPointF(-15, -5)
                                   << R"(<circle cx="-2.500000" cy="-2.500000" r="12.500000" id="a"/>)";
    QTest::newRow("rect across its corner")
        << R"(<rect id="a" x="10" y="10" width="20" height="20"/>)" << box(HandleIndex::RightBottom) << -1
        << QPointF(0, 4) << R"(<rect x="0" y="4" width="10" height="6" id="a"/>)";
    QTest::newRow("small image") << R"(<image id="a" x="0" y="0" width="10" height="10"/>)"
                                 << box(HandleIndex::RightBottom) << -1 << QPointF(3, 30)
                                 << R"(<image x="0" y="0" width="10" height="10" id="a"/>)";
    QTest::newRow("image")
        << R"(<image id="a" x="0" y="0" width="10" height="10"/>)" << box(HandleIndex::RightBottom) << -1
        << QPointF(20, 30)
        << R"svg(<image x="0" y="0" width="10" height="10" id="a" transform="matrix(2,0,0,3,0,0)"/>)svg";
    QTest::newRow("widget group") << R"(<g id="a" tywidgettype="t" tyx="0" tyy="0" tywidth="10" tyheight="10"/>)"
                                  << box(HandleIndex::Top) << -1 << QPointF(5, -5)
                                  << R"(<g id="a" tyheight="15" tywidgettype="t" tywidth="10" tyx="0" tyy="-5"/>)";
    QTest::newRow("line end, constrained") << R"(<line id="a" x1="0" y1="0" x2="10" y2="0"/>)" << 1 << -1
                                           << QPointF(10, 1) << R"(<line x1="0" x2="10" y1="0" y2="0" id="a"/>)";
    const QString curves = R"(<path id="a" d="M0 0 C0 10 10 10 10 0 C10 -10 20 -10 20 0"/>)";
    QTest::newRow("control point, node kept smooth")
        << curves << 1 << 0 << QPointF(15, 5)
        << R"(<path d="M0.00 0.00 C0.00 10.00 15.00 5.00 10.00 0.00 C5.00 -5.00 20.00 -10.00 20.00 0.00" id="a"/>)";
    QTest::newRow("end point with its handles")
        << curves << 1 << -1 << QPointF(12, 2)
        << R"(<path d="M0.00 0.00 C0.00 10.00 12.00 12.00 12.00 2.00 C12.00 -8.00 20.00 -10.00 20.00 0.00" id="a"/>)";
}

void tst_CSVGDocumentInteraction::nodeDrag()
{
    QFETCH(QString, element);
    QFETCH(int, index);
    QFETCH(int, subIndex);
    QFETCH(QPointF, point);
    QFETCH(QString, dragged);
    CSVGDocument document;
    load(document, gesture::svg(element));
    const QString before = gesture::drawingText(document);
    HighlightNode node;
    node.index = index;
    node.subIndex = subIndex;
    node.element = document.getElementById(L"a");
    document.setOrientation(true);
    document.setCurrentNode(node);
    document.beginNodeEdit();
    document.dragNode(point, node, false);
    document.endTransformAction();
    QCOMPARE(gesture::drawingText(document), dragged);
    document.undo();
    QCOMPARE(gesture::drawingText(document), before);
}

// Mode 27: the arrow keys move every marked node; one undo restores both
// pieces.
void tst_CSVGDocumentInteraction::markedNodesNudgeAsOneStep()
{
    CSVGDocument document;
    load(document,
        gesture::svg(R"(<line id="a" x1="0" y1="0" x2="10" y2="0"/><line id="b" x1="0" y1="5" x2="10" y2="5"/>)"));
    const QString before = gesture::drawingText(document);
    document.selectAll();
    document.setEditMode(EditMode::MovePoint);
    document.getHighlightList().selectNodesInRect(CSVGRect(9, -1, 2, 7));
    document.onKeyDown();
    QCOMPARE(gesture::drawingText(document),
        R"(<line x1="0" x2="10" y1="0" y2="1" id="a"/>)"
        "\n"
        R"(<line x1="0" x2="10" y1="5" y2="6" id="b"/>)");
    document.undo();
    QCOMPARE(gesture::drawingText(document), before);
}

void tst_CSVGDocumentInteraction::regularPolygon_data()
{
    QTest::addColumn<QList<QPointF>>("clicked");
    QTest::addColumn<double>("apothem");
    const QPointF side[] = { { 0, 0 }, { 10, 0 } };
    QTest::newRow("triangle on the side of the third point")
        << QList<QPointF> { side[0], side[1], { 5, 5 } } << std::tan(30 * 3.1415926 / 180) * 5;
    QTest::newRow("square") << QList<QPointF> { side[0], side[1], { 5, -1 }, {} } << -5.0;
    QTest::newRow("heptagon at 64 degrees")
        << QList<QPointF> { side[0], side[1], { 5, 5 }, {}, {}, {}, {} } << std::tan(64 * 3.1415926 / 180) * 5;
    QTest::newRow("first side of no length") << QList<QPointF> { side[0], side[0], { 5, 5 } } << 0.0;
}

// The corners sit on the circle about the centre, a whole turn by n steps
// as QTransform rotates them; a side of no length changes nothing.
void tst_CSVGDocumentInteraction::regularPolygon()
{
    QFETCH(QList<QPointF>, clicked);
    QFETCH(double, apothem);
    const QList<QPointF> corners = CSVGDocument::regularPolygonFromSide(clicked);
    if (apothem == 0.0) {
        QCOMPARE(corners, clicked);
        return;
    }
    QCOMPARE(corners.size(), clicked.size());
    for (int i = 0; i < corners.size(); ++i) {
        const QPointF expected = QTransform()
                                     .translate(5, apothem)
                                     .rotate(360.0 * i / corners.size())
                                     .translate(-5, -apothem)
                                     .map(QPointF(0, 0));
        QVERIFY2(QLineF(corners[i], expected).length() < 1e-5, qPrintable(QString::number(i)));
    }
}

void tst_CSVGDocumentInteraction::constrainAngle()
{
    const QPointF anchor(0, 0);
    QCOMPARE(CSVGDocument::constrainAngle(anchor, { 10, 5 }), QPointF(10, 0));
    QCOMPARE(CSVGDocument::constrainAngle(anchor, { 10, 10 }), QPointF(10, 10));
    QCOMPARE(CSVGDocument::constrainAngle(anchor, { 10, 20 }), QPointF(0, 20));
    QCOMPARE(CSVGDocument::constrainAngle(anchor, { 10, -10 }), QPointF(10, -10));
    QCOMPARE(CSVGDocument::constrainAngle(anchor, { 0, 5 }), QPointF(0, 5));
}

void tst_CSVGDocumentInteraction::zoomByClick_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<double>("factor");
    QTest::newRow("in") << int(EditMode::ZoomIn) << 1.2000000476837158;
    QTest::newRow("out") << int(EditMode::ZoomOut) << 0.800000011920929;
}

void tst_CSVGDocumentInteraction::zoomByClick()
{
    QFETCH(int, mode);
    QFETCH(double, factor);
    CSVGDocument document;
    document.setViewMatrix(CSVGMatrix());
    document.setEditMode(mode);
    document.leftButtonDown({ 10, 20 }, false, false);
    document.leftButtonUp({ 10, 20 }, false);
    QCOMPARE(document.getViewMatrix().map({ 10, 20 }), QPointF(10, 20));
    QCOMPARE(document.getViewMatrix().a, factor);
}

// A finish without a rotation does nothing; a cleared selection ends the
// rotation, and the next one turns only its own pieces.
void tst_CSVGDocumentInteraction::rotation()
{
    CSVGDocument document;
    load(
        document, gesture::svg(R"(<rect id="a" width="10" height="10"/><rect id="b" x="20" width="10" height="10"/>)"));
    document.rotateSelection(0, {}, true);
    CSVGElement* a = document.getElementById(L"a");
    CSVGElement* b = document.getElementById(L"b");
    document.selectElement(a, Qt::green);
    document.rotateSelection(90, { 5, 5 }, false);
    document.clearSelection();
    QVERIFY(!document.isRotating());
    document.selectElement(b, Qt::green);
    document.rotateSelection(180, { 25, 5 }, false);
    document.rotateSelection(0, {}, true);
    QVERIFY(QLineF(a->getMatrix().map(QPointF(0, 0)), QPointF(10, 0)).length() < 1e-5);
    QVERIFY(QLineF(b->getMatrix().map(QPointF(20, 0)), QPointF(30, 10)).length() < 1e-5);
    QCOMPARE(gesture::selectionIds(document), QString("b"));
    QCOMPARE(document.getHistory().getCursor(), size_t(2));
}

// Escape on a path continued under a transform gives back the text of the
// last press, not the sentinel mapped into the path.
void tst_CSVGDocumentInteraction::escapeOnTransformedPath()
{
    CSVGDocument document;
    load(document, gesture::svg(R"svg(<path id="a" d="M0 0 L10 0 L10 0" transform="matrix(2,0,0,2,0,0)"/>)svg"));
    CSVGElement* path = document.getElementById(L"a");
    document.appendPathPoint(path, { 40, 20 });
    document.updatePathDrawing(path, { 60, 20 });
    document.updatePathDrawing(path, { DBL_MAX, DBL_MAX });
    QCOMPARE(path->getAttribute(L"d"), std::wstring(L"M0.00 0.00 L10.00 0.00 L20.00 10.00 L20.00 10.00"));
}

// Drawn left and up, stored positive: another SVG reader draws it.
void tst_CSVGDocumentInteraction::rectDraggedLeftRenders()
{
    CSVGDocument document;
    document.setEditMode(EditMode::Rect);
    document.leftButtonDown({ 80, 60 }, false, false);
    document.mouseMove({ 20, 10 }, false, false);
    document.leftButtonUp({ 20, 10 }, false);
    QSvgRenderer renderer(QString::fromStdWString(document.toSvgText()).toUtf8());
    renderer.setViewBox(QRectF(0, 0, 100, 100));
    QImage image(100, 100, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    QCOMPARE(image.pixelColor(50, 35), QColor(Qt::white));
    QCOMPARE(image.pixelColor(90, 35).alpha(), 0);
}

// Upside down about the centre of its canvas box, inside a moved group.
void tst_CSVGDocumentInteraction::flipKeepsThePlace()
{
    CSVGDocument document;
    load(document,
        gesture::svg(
            R"svg(<g transform="translate(5,5)"><path id="a" d="M0 0 L10 0 L0 4 Z" transform="scale(2)"/></g>)svg"));
    CSVGElement* path = document.getElementById(L"a");
    const QRectF box = CSVGDocument::toShape(path)->getTransformedBoundingRect().toQRectF();
    path->setAttribute(L"transform", document.flipVerticalTransform(path), true);
    path->updateMatrix(nullptr, true);
    QCOMPARE(CSVGDocument::toShape(path)->getTransformedBoundingRect().toQRectF(), box);
    QCOMPARE(path->getMatrix().map(QPointF(0, 0)), QPointF(5, 13));
}

void tst_CSVGDocumentInteraction::textFromFormat()
{
    CSVGDocument document;
    QTextCharFormat format;
    format.setFontPointSize(12);
    format.setFontWeight(QFont::Bold);
    format.setFontItalic(true);
    format.setFontUnderline(true);
    format.setFontFamily("DejaVu Sans");
    format.setForeground(QColor(255, 0, 0));
    QVERIFY(!document.insertTextElement(QString(), format, { 10, 20 }));
    CSVGElement* text = document.insertTextElement("Ab", format, { 10, 20 });
    QCOMPARE(gesture::drawingText(document).section('>', 0, 0),
        R"(<text fill="#ff0000" fill-opacity="1" font-family="DejaVu Sans" font-size="12" font-style="italic" )"
        R"(font-weight="bold" text-decoration="underline" stroke-opacity="0" x="10" y="20" id="text_*")");
    QCOMPARE(gesture::selectionIds(document), QString("text_*"));
    QCOMPARE(QString::fromStdWString(text->getText()), QString("Ab"));
    // A format without a size gives the editor's 12pt.
    text = document.insertTextElement("Cd", QTextCharFormat(), { 10, 40 });
    QCOMPARE(text->getAttribute(L"font-size"), std::wstring(L"12pt"));
}

// Points beyond reason, a bad nudge setting and calls out of order: nothing
// non-finite is written, nothing breaks, no element outside the drawing
// stays selected.
void tst_CSVGDocumentInteraction::badInputChangesNothing()
{
    CSVGDocument document;
    load(document, gesture::svg(R"(<rect id="a" width="10" height="10"/>)"));
    const QString before = gesture::drawingText(document);
    document.leftButtonUp({ 5, 5 }, true);
    document.rotateSelection(0, {}, true);
    document.finishPathDrawing(nullptr);
    document.endTransformAction();
    for (int mode : { 0, 1, 2, 3, 4, 5, 7, 9, 27 }) {
        document.setEditMode(mode);
        for (const QPointF& p : { QPointF(qQNaN(), 0), QPointF(0, qInf()), QPointF(1e300, -1e300) }) {
            document.leftButtonDown(p, false, true);
            document.mouseMove(p, true, true);
            document.leftButtonUp(p, false);
        }
    }
    document.setEditMode(EditMode::Select);
    QCOMPARE(gesture::drawingText(document), before);
    QCOMPARE(document.getHistory().size(), size_t(0));

    QSettings().setValue("general/snapped", "-3");
    document.selectAll();
    document.onKeyRight();
    QCOMPARE(document.getElementById(L"a")->getAttribute(L"transform"), std::wstring(L"matrix(1,0,0,1,1,0)"));

    document.setEditMode(EditMode::Line);
    document.leftButtonDown({ 20, 20 }, false, false);
    document.mouseMove({ 60, 20 }, false, false);
    document.setEditMode(EditMode::Select);
    document.leftButtonUp({ 60, 20 }, false);
    CSVGElement* line = document.getSelection().value(0);
    document.getHistory().undo();
    QVERIFY(!document.getSelection().contains(line));
    document.selectElement(line, Qt::green);
    QVERIFY(document.getSelection().isEmpty());
    document.deleteSelection();
    QCOMPARE(document.getHistory().getCursor(), size_t(1));
    QCOMPARE(
        gesture::drawingText(document), before.left(before.size() - 2) + R"svg( transform="matrix(1,0,0,1,1,0)"/>)svg");
}

// A locked piece is picked neither by a click nor by a band, and the pointer
// over it does not offer it; its neighbour is picked and offered.
void tst_CSVGDocumentInteraction::lockedPieceIsNotPicked()
{
    CSVGDocument document;
    load(document,
        gesture::svg(R"(<rect id="a" x="10" y="10" width="40" height="40"/>)"
                     R"(<rect id="b" x="70" y="10" width="40" height="40"/>)"));
    document.selectElement(document.getElementById(L"a"), Qt::green);
    document.lockSelection();
    const auto gesture = [&document](const QPointF& from, const QPointF& to) {
        document.leftButtonDown(from, false, false);
        document.mouseMove(to, false, false);
        document.leftButtonUp(to, false);
    };
    gesture({ 30, 30 }, { 30, 30 });
    QCOMPARE(gesture::selectionIds(document), QString());
    QCOMPARE(document.mouseMove({ 30, 30 }, false, false), int(CursorCode::Default));
    QCOMPARE(document.mouseMove({ 90, 30 }, false, false), int(CursorCode::OverSelection));
    gesture({ 5, 5 }, { 120, 60 });
    QCOMPARE(gesture::selectionIds(document), QString("b"));
}

ZOCUT_TEST_MAIN(tst_CSVGDocumentInteraction)
#include "tst_CSVGDocumentInteraction.moc"
