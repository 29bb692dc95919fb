#include "CMainFrame.h"
#include "CSVGElementPath.h"
#include "CSVGRulerItem.h"
#include "CSVGView.h"
#include "CTabWidgetEx.h"
#include "Prompt.h"
#include "SVGPathItem.h"
#include "SvgCodes.h"
#include "TestEnvironment.h"

#include <QAction>
#include <QBuffer>
#include <QLabel>
#include <QMimeData>
#include <QProcess>
#include <QRegularExpression>
#include <QRubberBand>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolTip>
#include <QUrl>

#include <cmath>

namespace {

// The real window with a new document, its canvas 600 x 400.
struct Window
{
    Window()
    {
        frame.resize(1200, 800);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        view()->setFixedSize(600, 400);
        QCoreApplication::processEvents();
        look(1, QPointF(300, 300));
    }
    CSVGView* view() const { return frame.currentView(); }
    CSVGDocument* document() const { return view()->getDocument(); }
    QWidget* viewport() const { return view()->viewport(); }
    void load(const QByteArray& svg)
    {
        QVERIFY(view()->loadData(svg));
        look(1, QPointF(300, 300));
    }
    // Display scale z, the scene point in the middle of the viewport.
    void look(double z, const QPointF& centre)
    {
        view()->setTransform(QTransform());
        const double scale = z / view()->displayScale();
        view()->setTransform(QTransform::fromScale(scale, scale));
        view()->centerOn(centre);
    }
    QPoint at(const QPointF& scene) const { return view()->mapFromScene(scene); }
    void press(const QPoint& p, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = {})
    {
        QTest::mousePress(viewport(), button, keys, p);
    }
    void release(const QPoint& p, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = {})
    {
        QTest::mouseRelease(viewport(), button, keys, p);
    }
    void move(const QPoint& p, Qt::MouseButtons held = {}, Qt::KeyboardModifiers keys = {})
    {
        QMouseEvent event(QEvent::MouseMove, p, viewport()->mapToGlobal(p), Qt::NoButton, held, keys);
        QApplication::sendEvent(viewport(), &event);
    }
    void drag(
        const QPoint& from, const QPoint& to, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = {})
    {
        press(from, button, keys);
        move((from + to) / 2, button, keys);
        move(to, button, keys);
        release(to, button, keys);
    }
    void key(Qt::Key key, Qt::KeyboardModifiers keys = {}) { QTest::keyClick(viewport(), key, keys); }
    // The root's children as written.
    QString drawing() const
    {
        const QString text = QString::fromStdWString(document()->toSvgText());
        const QRegularExpression body(
            QStringLiteral("<svg[^>]*>(.*)</svg>"), QRegularExpression::DotMatchesEverythingOption);
        return body.match(text).captured(1).trimmed();
    }
    int undoSteps() const { return int(document()->getHistory().getCursor()); }
    QStringList selection() const
    {
        QStringList ids;
        for (const CSVGElement* element : document()->getSelection())
            ids << QString::fromStdWString(element->getAttribute(std::wstring(L"id")));
        return ids;
    }
    double number(const QString& id, const wchar_t* name) const
    {
        return QString::fromStdWString(document()->getElementById(id.toStdWString())->getAttribute(std::wstring(name)))
            .toDouble();
    }

    CMainFrame frame;
};

const QByteArray kTwoRects = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"15000\" height=\"1520\">"
                             "<rect id=\"a\" x=\"200\" y=\"200\" width=\"40\" height=\"40\"/>"
                             "<rect id=\"b\" x=\"300\" y=\"200\" width=\"40\" height=\"40\"/></svg>";

QByteArray pngBase64(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toBase64();
}

// The header of a bitmap of 100000 x 100000 pixels, without the pixels.
QByteArray bitmapBombBase64()
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("BM", 2);
    out << quint32(54 + 64) << quint32(0) << quint32(54) << quint32(40) << qint32(100000) << qint32(100000)
        << quint16(1) << quint16(24) << quint32(0) << quint32(0) << qint32(2835) << qint32(2835) << quint32(0)
        << quint32(0);
    return bytes.append(64, '\0').toBase64();
}

void sendDrop(QWidget* target, QMimeData* data, const QPoint& at)
{
    QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

// What the outlines enclose, with the outlines: every pixel that the white
// around them does not reach.
QVector<bool> silhouette(const QImage& image)
{
    const int width = image.width();
    QVector<bool> inside(width * image.height(), true);
    QVector<QPoint> open { QPoint(0, 0) };
    while (!open.isEmpty()) {
        const QPoint p = open.takeLast();
        if (!image.rect().contains(p) || !inside[p.y() * width + p.x()] || qGray(image.pixel(p)) < 160)
            continue;
        inside[p.y() * width + p.x()] = false;
        open << p + QPoint(1, 0) << p - QPoint(1, 0) << p + QPoint(0, 1) << p - QPoint(0, 1);
    }
    return inside;
}

} // namespace

// Mouse, wheel, key and drop events on the canvas of the real window, with
// the tools picked through the window's actions.
class tst_CSVGViewInput : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void rectangleDrag_data();
    void rectangleDrag();
    void shapeNotDrawn_data();
    void shapeNotDrawn();
    void unsavedMarkFollowsTheSavedState();
    void rubberBand_data();
    void rubberBand();
    void rulerWithCtrl_data();
    void rulerWithCtrl();
    void paths_data();
    void paths();
    void dragMovesThePressedPiece();
    void rightDragRotates();
    void middleDragPans_data();
    void middleDragPans();
    void wheel_data();
    void wheel();
    void keys();
    void eventsInAnyOrder();
    void toolsNeedingSelection();
    void pathEndsWithItsMode_data();
    void pathEndsWithItsMode();
    void zoomTools_data();
    void zoomTools();
    void pasteAndTextPosition();
    void cursors_data();
    void cursors();
    void drops_data();
    void drops();
    void droppedSvgTextCentredOnDropPoint();
    void canvasMatchesRsvg();

private:
    QStringList m_prompts;
    QVariant m_modalAnswer;
};

void tst_CSVGViewInput::init()
{
    m_prompts.clear();
    m_modalAnswer = QVariant(int(QDialog::Rejected));
    Prompt::setHandler([this](Prompt::Kind kind, const QString& title, const QString& text) {
        m_prompts << title + "|" + text;
        return kind == Prompt::Kind::Modal ? m_modalAnswer : QVariant();
    });
}

void tst_CSVGViewInput::cleanup()
{
    Prompt::setHandler(nullptr);
}

void tst_CSVGViewInput::rectangleDrag_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QPoint>("pan");
    QTest::newRow("zoom 1") << 1.0 << QPoint();
    QTest::newRow("zoom 3") << 3.0 << QPoint();
    QTest::newRow("after a middle-drag pan") << 3.0 << QPoint(37, -23);
}

void tst_CSVGViewInput::rectangleDrag()
{
    QFETCH(double, zoom);
    QFETCH(QPoint, pan);
    Window window;
    window.look(zoom, QPointF(300, 300));
    window.drag(QPoint(300, 200), QPoint(300, 200) + pan, Qt::MiddleButton);
    window.frame.action(CMainFrame::Rectangle)->trigger();
    const QPoint from(101, 87);
    const QPoint to(333, 250);
    const QPointF start = window.view()->mapToScene(from);
    const QPointF end = window.view()->mapToScene(to);
    window.drag(from, to);
    QCOMPARE(window.undoSteps(), 1);
    QVERIFY(window.frame.statusBar()->findChild<QLabel*>()->text().startsWith(
        QStringLiteral("(%1,").arg(QString::number(end.x(), 'g', 6))));
    const QString id
        = QString::fromStdWString(window.document()->getOwnerSvg()->getChild(0)->getAttribute(std::wstring(L"id")));
    QVERIFY(std::fabs(window.number(id, L"x") - start.x()) < 1e-3);
    QVERIFY(std::fabs(window.number(id, L"y") - start.y()) < 1e-3);
    QVERIFY(std::fabs(window.number(id, L"width") - (end.x() - start.x())) < 1e-3);
    QVERIFY(std::fabs(window.number(id, L"height") - (end.y() - start.y())) < 1e-3);
}

void tst_CSVGViewInput::shapeNotDrawn_data()
{
    QTest::addColumn<int>("tool");
    QTest::addColumn<bool>("escape"); // with the button still down, else a click
    QTest::newRow("rectangle, Escape") << int(CMainFrame::Rectangle) << true;
    QTest::newRow("circle, Escape") << int(CMainFrame::Circle) << true;
    QTest::newRow("line, click") << int(CMainFrame::Line) << false;
    QTest::newRow("rectangle, click") << int(CMainFrame::Rectangle) << false;
    QTest::newRow("circle, click") << int(CMainFrame::Circle) << false;
    QTest::newRow("ellipse, click") << int(CMainFrame::Ellipse) << false;
}

// A shape drawn by dragging needs the drag, and Escape takes it back: a click
// makes no piece to count, select or save, and neither leaves a step to
// undo or a "*"; after the click a drag still draws.
void tst_CSVGViewInput::shapeNotDrawn()
{
    QFETCH(int, tool);
    QFETCH(bool, escape);
    Window window;
    window.load(kTwoRects);
    const QString before = window.drawing();
    window.frame.action(CMainFrame::Action(tool))->trigger();
    window.press(QPoint(101, 87));
    if (escape) {
        window.move(QPoint(200, 150), Qt::LeftButton);
        window.key(Qt::Key_Escape);
        window.move(QPoint(333, 250), Qt::LeftButton);
    }
    window.release(escape ? QPoint(333, 250) : QPoint(101, 87));
    QCOMPARE(window.drawing(), before);
    QCOMPARE(window.undoSteps(), 0);
    QCOMPARE(window.selection(), QStringList());
    QCOMPARE(window.frame.currentTabText(), QString("New File1"));
    if (escape) {
        QCOMPARE(window.document()->getEditMode(), int(EditMode::Select));
        return;
    }
    window.drag(QPoint(101, 87), QPoint(150, 120));
    QCOMPARE(window.document()->getOwnerSvg()->getChildCount(), 3);
    QCOMPARE(window.frame.currentTabText(), QString("New File1*"));
}

// The tab's "*" says whether the drawing differs from what was saved: Undo
// and Redo back to the saved state take it away, and so does a nudge there
// and back, and closing then asks nothing; what changes nothing sets none.
void tst_CSVGViewInput::unsavedMarkFollowsTheSavedState()
{
    Window window;
    window.load(kTwoRects);
    const auto marked = [&window] { return window.frame.currentTabText().endsWith('*'); };
    const auto closingAsks = [&] {
        m_prompts.clear();
        window.frame.confirmCloseView(window.view());
        return !m_prompts.isEmpty();
    };
    QVERIFY(!marked());
    window.drag(window.at(QPointF(220, 220)), window.at(QPointF(250, 200)));
    QVERIFY(marked());
    window.frame.undo();
    QVERIFY(!marked());
    QVERIFY(!closingAsks());
    window.frame.redo();
    QVERIFY(marked());
    QVERIFY(closingAsks());
    window.view()->setSaved();
    QVERIFY(!marked());
    window.frame.undo();
    QVERIFY(marked());
    window.frame.redo();
    QVERIFY(!marked());
    QVERIFY(!closingAsks());
    const QString saved = window.drawing();
    window.document()->selectElement(window.document()->getElementById(L"b"), Qt::green);
    window.key(Qt::Key_Right);
    QVERIFY(marked());
    window.key(Qt::Key_Left);
    QCOMPARE(window.drawing(), saved);
    QVERIFY(!marked());
    QVERIFY(!closingAsks());

    window.press(QPoint(590, 390));
    window.release(QPoint(590, 390));
    window.key(Qt::Key_Escape);
    window.frame.action(CMainFrame::Pen)->trigger();
    window.press(QPoint(590, 390));
    window.release(QPoint(590, 390));
    window.key(Qt::Key_Escape);
    window.frame.action(CMainFrame::Rectangle)->trigger();
    window.press(QPoint(590, 390));
    window.move(QPoint(560, 350), Qt::LeftButton);
    window.key(Qt::Key_Escape);
    window.release(QPoint(560, 350));
    QVERIFY(!marked());
    QVERIFY(!closingAsks());
}

void tst_CSVGViewInput::rubberBand_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QRectF>("band");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<QStringList>("after");
    const QRectF overA(190, 190, 60, 30);
    QTest::newRow("plain") << QStringList { "b" } << overA << false << QStringList { "a" };
    QTest::newRow("with Shift") << QStringList { "b" } << overA << true << QStringList { "b", "a" };
    QTest::newRow("empty band") << QStringList { "b" } << QRectF(100, 100, 0, 0) << false << QStringList();
    QTest::newRow("over nothing") << QStringList { "a" } << QRectF(100, 300, 50, 50) << false << QStringList();
}

void tst_CSVGViewInput::rubberBand()
{
    QFETCH(QStringList, before);
    QFETCH(QRectF, band);
    QFETCH(bool, shift);
    QFETCH(QStringList, after);
    Window window;
    window.load(kTwoRects);
    for (const QString& id : before)
        window.document()->selectElement(window.document()->getElementById(id.toStdWString()), Qt::green);
    const Qt::KeyboardModifiers keys = shift ? Qt::ShiftModifier : Qt::NoModifier;
    window.drag(window.at(band.topLeft()), window.at(band.bottomRight()), Qt::LeftButton, keys);
    QCOMPARE(window.selection(), after);
    QVERIFY(!window.viewport()->findChild<QRubberBand*>());
    QCOMPARE(window.undoSteps(), 0);
}

void tst_CSVGViewInput::rulerWithCtrl_data()
{
    QTest::addColumn<QPointF>("to");
    QTest::addColumn<QPointF>("end");
    QTest::newRow("horizontal") << QPointF(400, 320) << QPointF(400, 300);
    QTest::newRow("diagonal") << QPointF(400, 390) << QPointF(400, 400);
    QTest::newRow("vertical") << QPointF(310, 450) << QPointF(300, 450);
}

void tst_CSVGViewInput::rulerWithCtrl()
{
    QFETCH(QPointF, to);
    QFETCH(QPointF, end);
    Window window;
    const QString before = window.drawing();
    window.frame.action(CMainFrame::Measure)->trigger();
    window.press(window.at(QPointF(300, 300)));
    window.release(window.at(QPointF(300, 300)));
    window.move(window.at(to), Qt::NoButton, Qt::ControlModifier);
    window.press(window.at(to), Qt::LeftButton, Qt::ControlModifier);
    window.release(window.at(to), Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(window.view()->rulerItems().size(), 1);
    const QLineF line = window.view()->rulerItems().first()->line();
    QCOMPARE(line.p1(), window.view()->mapToScene(window.at(QPointF(300, 300))));
    const QPointF expected = CSVGDocument::constrainAngle(line.p1(), window.view()->mapToScene(window.at(to)));
    QCOMPARE(line.p2(), expected);
    QVERIFY(QLineF(expected, end).length() < 2);
    QCOMPARE(window.drawing(), before);
    window.frame.action(CMainFrame::CancelMeasure)->trigger();
    QVERIFY(window.view()->rulerItems().isEmpty());
}

void tst_CSVGViewInput::paths_data()
{
    QTest::addColumn<QByteArray>("setup");
    QTest::addColumn<int>("ending"); // 0 Escape, 1 right click, 2 press on the first point, 3 Undo
    QTest::addColumn<QString>("d");
    QTest::newRow("ended by Escape") << QByteArray() << 0 << "M200.00 200.00 L260.00 200.00 L260.00 240.00";
    QTest::newRow("ended by a right click") << QByteArray() << 1 << "M200.00 200.00 L260.00 200.00 L260.00 240.00";
    QTest::newRow("ended by Undo, without its last segment") << QByteArray() << 3 << "M200.00 200.00 L260.00 200.00";
    QTest::newRow("closed on the first point")
        << QByteArray() << 2 << "M200.00 200.00 L260.00 200.00 L260.00 240.00 L200.00 200.00 Z";
    QTest::newRow("continued under a transform")
        << QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"15000\" height=\"1520\">"
                      "<path id=\"p\" transform=\"translate(100 100) scale(2)\" d=\"M50 50 L50 60\"/></svg>")
        << 0 << "M50.00 50.00 L50.00 60.00 L80.00 50.00 L80.00 70.00";
}

void tst_CSVGViewInput::paths()
{
    QFETCH(QByteArray, setup);
    QFETCH(int, ending);
    QFETCH(QString, d);
    Window window;
    if (!setup.isEmpty())
        window.load(setup);
    // One pixel a unit: the pointer lands on whole numbers.
    window.view()->setTransform(QTransform());
    window.view()->centerOn(300, 300);
    if (!setup.isEmpty()) {
        window.document()->selectElement(window.document()->getElementById(L"p"), Qt::green);
        window.frame.drawcontinue();
    } else {
        window.frame.action(CMainFrame::Pen)->trigger();
        window.press(window.at(QPointF(200, 200)));
        window.release(window.at(QPointF(200, 200)));
    }
    QCOMPARE(window.document()->getEditMode(), int(EditMode::Path));
    for (const QPointF& node : { QPointF(260, 200), QPointF(260, 240) }) {
        window.move(window.at(node));
        window.press(window.at(node));
        window.release(window.at(node));
    }
    window.move(window.at(QPointF(230, 290)));
    if (ending == 0) {
        window.key(Qt::Key_Escape);
    } else if (ending == 1) {
        window.press(window.at(QPointF(230, 290)), Qt::RightButton);
        window.release(window.at(QPointF(230, 290)), Qt::RightButton);
    } else if (ending == 3) {
        window.frame.action(CMainFrame::Undo)->trigger();
    } else {
        window.press(window.at(QPointF(200.4, 200.3)));
        window.release(window.at(QPointF(200.4, 200.3)));
    }
    QCOMPARE(window.document()->getEditMode(), int(EditMode::Select));
    QVERIFY(!window.view()->pathItem());
    const QRegularExpression dText(QStringLiteral("<path\\b[^>]*\\sd=\"([^\"]*)\""));
    QCOMPARE(dText.match(window.drawing()).captured(1), d);
    QCOMPARE(window.undoSteps(), setup.isEmpty() ? 1 : 0);
}

// Pressed while not selected, the piece is selected and follows the drag in
// one undo step.
void tst_CSVGViewInput::dragMovesThePressedPiece()
{
    Window window;
    window.load(kTwoRects);
    window.view()->setTransform(QTransform());
    window.view()->centerOn(300, 300);
    window.drag(window.at(QPointF(220, 220)), window.at(QPointF(250, 200)));
    QCOMPARE(window.selection(), QStringList { "a" });
    QCOMPARE(window.document()->getElementById(L"a")->getMatrix().toQTransform(), QTransform::fromTranslate(30, -20));
    QCOMPARE(window.undoSteps(), 1);
}

// A quarter turn about the selection's centre, dragged with the right button.
void tst_CSVGViewInput::rightDragRotates()
{
    Window window;
    window.load(kTwoRects);
    window.press(window.at(QPointF(220, 220)));
    window.release(window.at(QPointF(220, 220)));
    QCOMPARE(window.selection(), QStringList { "a" });
    window.drag(window.at(QPointF(320, 220)), window.at(QPointF(220, 320)), Qt::RightButton);
    CSVGElement* a = window.document()->getElementById(L"a");
    const QTransform matrix = a->getMatrix().toQTransform();
    QVERIFY(QLineF(matrix.map(QPointF(220, 220)), QPointF(220, 220)).length() < 0.1);
    QVERIFY(QLineF(matrix.map(QPointF(240, 220)), QPointF(220, 240)).length() < 0.1);
    QCOMPARE(window.undoSteps(), 1);
    QCOMPARE(window.document()->getEditMode(), int(EditMode::Select));
}

void tst_CSVGViewInput::middleDragPans_data()
{
    QTest::addColumn<bool>("tearLine");
    QTest::newRow("pans") << false;
    QTest::newRow("not with a tear line") << true;
}

void tst_CSVGViewInput::middleDragPans()
{
    QFETCH(bool, tearLine);
    Window window;
    window.load(kTwoRects);
    if (tearLine) {
        window.document()->createTearLine(true);
        QVERIFY(window.document()->hasTearLine());
    }
    window.look(3, QPointF(300, 300));
    const QPointF centre = window.view()->mapToScene(window.viewport()->rect().center());
    window.drag(QPoint(300, 200), QPoint(260, 230), Qt::MiddleButton);
    const QPointF moved = window.view()->mapToScene(window.viewport()->rect().center()) - centre;
    const QPointF expected = tearLine ? QPointF() : QPointF(40, -30) / window.view()->transform().m11();
    QVERIFY2(QLineF(moved, expected).length() < 1 / window.view()->transform().m11(),
        qPrintable(QString::number(moved.x())));
}

void tst_CSVGViewInput::wheel_data()
{
    QTest::addColumn<int>("delta");
    QTest::addColumn<int>("times");
    QTest::addColumn<bool>("buttonDown");
    QTest::addColumn<double>("factor"); // -1: lands on the zoom limit
    QTest::newRow("three notches back") << -360 << 1 << false << std::pow(0.8911, 3);
    QTest::newRow("three notches forward") << 360 << 1 << false << std::pow(1 / 0.8911, 3);
    QTest::newRow("less than a notch") << 100 << 1 << false << 1.0;
    QTest::newRow("flood at the limit") << 1200 << 60 << false << -1.0;
    QTest::newRow("while a button is down") << 360 << 1 << true << 1.0;
}

void tst_CSVGViewInput::wheel()
{
    QFETCH(int, delta);
    QFETCH(int, times);
    QFETCH(bool, buttonDown);
    QFETCH(double, factor);
    Window window;
    const double before = window.view()->displayScale();
    const QPoint at(150, 100);
    if (buttonDown)
        window.press(at);
    for (int i = 0; i < times; ++i) {
        QWheelEvent event(QPointF(at), QPointF(window.viewport()->mapToGlobal(at)), QPoint(), QPoint(0, delta),
            Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(window.viewport(), &event);
    }
    const double expected = factor < 0 ? 5.0 : before * factor;
    QVERIFY2(std::fabs(window.view()->displayScale() - expected) < 1e-9 * expected,
        qPrintable(QString::number(window.view()->displayScale())));
}

void tst_CSVGViewInput::keys()
{
    Window window;
    window.load(kTwoRects);
    window.key(Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(window.selection(), (QStringList { "a", "b" }));
    window.key(Qt::Key_Right);
    window.key(Qt::Key_Down);
    QCOMPARE(window.document()->getElementById(L"b")->getMatrix().toQTransform(), QTransform::fromTranslate(1, 1));
    QCOMPARE(window.undoSteps(), 2);
    window.frame.action(CMainFrame::MovePointAction)->trigger();
    window.key(Qt::Key_Left);
    QCOMPARE(QToolTip::text(), QString("0,1"));
    window.frame.action(CMainFrame::Circle)->trigger();
    window.key(Qt::Key_Escape);
    QCOMPARE(window.document()->getEditMode(), int(EditMode::Select));
}

// Releases without presses, a turn with nothing selected, keys in the middle
// of a gesture: nothing moves, nothing is recorded, nothing is left over.
void tst_CSVGViewInput::eventsInAnyOrder()
{
    Window window;
    window.load(kTwoRects);
    const QString before = window.drawing();
    const QPoint a = window.at(QPointF(220, 220));
    const QPoint far = window.at(QPointF(400, 300));
    for (Qt::MouseButton button : { Qt::LeftButton, Qt::RightButton, Qt::MiddleButton })
        window.release(a, button);
    window.drag(a, far, Qt::RightButton);
    window.press(a);
    window.key(Qt::Key_Escape);
    window.move(far, Qt::LeftButton);
    window.key(Qt::Key_A, Qt::ControlModifier);
    window.release(far);
    window.frame.action(CMainFrame::Pen)->trigger();
    window.release(a);
    window.key(Qt::Key_Escape);
    QCOMPARE(window.drawing(), before);
    QCOMPARE(window.undoSteps(), 0);
    QCOMPARE(window.document()->getEditMode(), int(EditMode::Select));
    QVERIFY(!window.viewport()->findChild<QRubberBand*>());
}

// Tools that need a selection say so, the inset expansion asks its width
// first; a right press in mode 31 goes back to selecting.
void tst_CSVGViewInput::toolsNeedingSelection()
{
    Window window;
    window.load(kTwoRects);
    for (CMainFrame::Action action : { CMainFrame::AddNode, CMainFrame::Split, CMainFrame::MovePointAction })
        window.frame.action(action)->trigger();
    QCOMPARE(m_prompts,
        (QStringList { "Warning|No selected pieces!", "Warning|No selected pieces!", "Warning|No selected pieces!" }));
    QCOMPARE(window.document()->getEditMode(), int(EditMode::Select));
    window.document()->selectElement(window.document()->getElementById(L"a"), Qt::green);
    window.frame.action(CMainFrame::InsetExpansion)->trigger();
    QCOMPARE(window.document()->getEditMode(), int(EditMode::Select));
    m_modalAnswer = int(QDialog::Accepted);
    window.frame.action(CMainFrame::InsetExpansion)->trigger();
    QCOMPARE(window.document()->getEditMode(), int(EditMode::PartialExpand));
    window.frame.action(CMainFrame::AddNode)->trigger();
    QCOMPARE(window.document()->getEditMode(), int(EditMode::AddNode));
    window.press(window.at(QPointF(100, 100)), Qt::RightButton);
    window.release(window.at(QPointF(100, 100)), Qt::RightButton);
    QCOMPARE(window.document()->getEditMode(), int(EditMode::Select));
    window.release(window.at(QPointF(100, 100)), Qt::LeftButton);
    QCOMPARE(window.drawing().count("<rect"), 2);
}

void tst_CSVGViewInput::pathEndsWithItsMode_data()
{
    QTest::addColumn<int>("nodes");
    QTest::addColumn<bool>("closeTab");
    QTest::addColumn<int>("paths");
    QTest::newRow("another tool after two nodes") << 2 << false << 1;
    QTest::newRow("another tool after the first press") << 0 << false << 0;
    QTest::newRow("tab closed while drawing") << 2 << true << 0;
}

// However mode 9 ends, the path drawn so far is finished or discarded; none
// is left outside the tree (the leak check would tell).
void tst_CSVGViewInput::pathEndsWithItsMode()
{
    QFETCH(int, nodes);
    QFETCH(bool, closeTab);
    QFETCH(int, paths);
    Window window;
    window.frame.action(CMainFrame::Pen)->trigger();
    for (int i = 0; i <= nodes; ++i) {
        window.press(window.at(QPointF(200 + 40 * i, 200 + 10 * i * i)));
        window.release(window.at(QPointF(200 + 40 * i, 200 + 10 * i * i)));
    }
    if (closeTab) {
        window.frame.tabClose(window.frame.tabWidget()->indexOf(window.view()));
        return;
    }
    window.frame.action(CMainFrame::Rectangle)->trigger();
    QVERIFY(!window.view()->pathItem());
    QCOMPARE(window.drawing().count("<path"), paths);
    QCOMPARE(window.undoSteps(), paths);
    window.frame.action(CMainFrame::Pen)->trigger();
    window.press(window.at(QPointF(100, 100)));
    QCOMPARE(window.view()->pathItem()->getPath()->getSegmentCount(), 2);
}

void tst_CSVGViewInput::zoomTools_data()
{
    QTest::addColumn<bool>("in");
    QTest::addColumn<double>("factor");
    QTest::newRow("zoom in") << true << 1.2;
    QTest::newRow("zoom out") << false << 0.8;
}

// The canvas scales about the click; the document's view matrix stays.
void tst_CSVGViewInput::zoomTools()
{
    QFETCH(bool, in);
    QFETCH(double, factor);
    Window window;
    const CSVGMatrix matrix = window.document()->getViewMatrix();
    const double scale = window.view()->displayScale();
    if (in)
        window.frame.zoomin();
    else
        window.frame.zoomout();
    const QPoint click(150, 120);
    const QPointF under = window.view()->mapToScene(click);
    window.press(click);
    window.release(click);
    QVERIFY(std::fabs(window.view()->displayScale() - scale * factor) < 1e-9);
    // Within the pixel rounding of the view's centring.
    QVERIFY(QLineF(window.view()->mapToScene(click), under).length() < 2 / window.view()->transform().m11());
    QCOMPARE(window.document()->getViewMatrix().toQTransform(), matrix.toQTransform());
    QCOMPARE(window.viewport()->cursor().hotSpot(), QPoint(8, 8));
}

// The custom paste lands centred on the press; a press while the text dialog
// picks its position only gives the dialog the point.
void tst_CSVGViewInput::pasteAndTextPosition()
{
    Window window;
    window.frame.drawcustom(QString::fromLatin1(kTwoRects));
    QCOMPARE(window.document()->getEditMode(), int(EditMode::PasteAt));
    window.press(window.at(QPointF(400, 300)));
    window.release(window.at(QPointF(400, 300)));
    const QPointF pressed = window.view()->mapToScene(window.at(QPointF(400, 300)));
    QVERIFY(QLineF(window.document()->getContentBoundingRect().center(), pressed).length() < 1e-6);

    window.frame.action(CMainFrame::Text)->trigger();
    DlgText* dialog = window.view()->textDialog();
    QVERIFY(dialog && dialog->isVisible());
    const QString before = window.drawing();
    window.view()->setPickPosition(true);
    window.press(window.at(QPointF(500, 250)));
    window.release(window.at(QPointF(500, 250)));
    QVERIFY(QLineF(dialog->position(), window.view()->mapToScene(window.at(QPointF(500, 250)))).length() < 1e-2);
    QVERIFY(!window.view()->isPickPosition());
    QCOMPARE(window.drawing(), before);
}

void tst_CSVGViewInput::cursors_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("shape");
    QTest::addColumn<QPoint>("hotSpot");
    const QPoint none;
    QTest::newRow("0") << 0 << int(Qt::ArrowCursor) << none;
    QTest::newRow("1") << 1 << int(Qt::BitmapCursor) << QPoint(10, 10);
    QTest::newRow("2") << 2 << int(Qt::BitmapCursor) << QPoint(8, 8);
    QTest::newRow("3") << 3 << int(Qt::BitmapCursor) << QPoint(8, 8);
    QTest::newRow("4") << 4 << int(Qt::BitmapCursor) << QPoint(12, 12);
    QTest::newRow("5") << 5 << int(Qt::BitmapCursor) << QPoint(12, 12);
    QTest::newRow("6") << 6 << int(Qt::BitmapCursor) << QPoint(8, 8);
    QTest::newRow("7") << 7 << int(Qt::BitmapCursor) << QPoint(12, 12);
    QTest::newRow("8") << 8 << int(Qt::BitmapCursor) << QPoint(12, 12);
    QTest::newRow("9") << 9 << int(Qt::SizeHorCursor) << none;
    QTest::newRow("10") << 10 << int(Qt::SizeVerCursor) << none;
    QTest::newRow("11") << 11 << int(Qt::SizeBDiagCursor) << none;
    QTest::newRow("12") << 12 << int(Qt::SizeFDiagCursor) << none;
    QTest::newRow("unknown keeps") << 13 << int(Qt::SizeFDiagCursor) << none;
}

void tst_CSVGViewInput::cursors()
{
    QFETCH(int, code);
    QFETCH(int, shape);
    QFETCH(QPoint, hotSpot);
    Window window;
    window.view()->setCursorShape(CursorCode::SizeFDiagonal);
    window.view()->setCursorShape(code);
    const QCursor cursor = window.viewport()->cursor();
    QCOMPARE(int(cursor.shape()), shape);
    if (shape == Qt::BitmapCursor) {
        QCOMPARE(cursor.hotSpot(), hotSpot);
        QCOMPARE(cursor.pixmap().size(), QSize(32, 32));
    }
}

void tst_CSVGViewInput::drops_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("data"); // for "urls": the file name
    QTest::addColumn<int>("tabs");
    QTest::addColumn<QString>("drawing"); // a pattern; empty for nothing
    const QByteArray png = pngBase64(4, 2);
    QTest::newRow("svg file") << "urls" << QByteArray("part.svg") << 1 << QString();
    QTest::newRow("SVG file") << "urls" << QByteArray("PART.SVG") << 1 << QString();
    QTest::newRow("png file") << "urls" << QByteArray("x.png") << 0 << QString();
    QTest::newRow("binary data in an svg file, refused") << "binary" << QByteArray("junk.svg") << 0 << QString();
    QTest::newRow("folder named svg") << "folder" << QByteArray("d.svg") << 0 << QString();
    QTest::newRow("web address") << "web" << QByteArray("http://127.0.0.1/a.svg") << 0 << QString();
    QTest::newRow("image") << "textpng" << png << 0
                           << QString(
                                  "<image x=\"{X}\" y=\"{Y}\" width=\"4\" height=\"2\" xlink:href=\"data:image/png; "
                                  "base64, %1\"")
                                  .arg(QString::fromLatin1(png));
    QTest::newRow("not Base64") << "textpng" << QByteArray("@@@not base64@@@") << 0 << QString();
    QTest::newRow("quote injected") << "textpng" << (png + "\" onload=\"x") << 0 << QString();
    QTest::newRow("image bomb") << "textbmp" << bitmapBombBase64() << 0 << QString();
    QTest::newRow("text that is not SVG") << "text" << QByteArray("hello <b>world</b>") << 0 << QString();
}

void tst_CSVGViewInput::drops()
{
    QFETCH(QString, format);
    QFETCH(QByteArray, data);
    QFETCH(int, tabs);
    QFETCH(QString, drawing);
    QTemporaryDir folder;
    Window window;
    window.look(1, QPointF(100, 50));
    const int tabsBefore = window.frame.tabWidget()->count();
    CSVGView* view = window.view();
    auto* mime = new QMimeData;
    if (format == "urls" || format == "binary" || format == "folder") {
        const QString path = folder.filePath(QString::fromLatin1(data));
        QFile file(path);
        if (format == "folder") {
            QVERIFY(QDir(folder.path()).mkdir(QString::fromLatin1(data)));
        } else {
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(format == "urls" ? kTwoRects : QByteArray("\x89\x01\xff<\x00svg\xfe", 9).repeated(100));
            file.close();
        }
        mime->setUrls({ QUrl::fromLocalFile(path) });
    } else if (format == "web") {
        mime->setUrls({ QUrl(QString::fromLatin1(data)) });
    } else {
        mime->setData(format, data);
    }
    const QPoint at = view->mapFromScene(QPointF(100, 50));
    sendDrop(view->viewport(), mime, at);
    delete mime;
    const QPointF point = view->mapToScene(at);
    drawing.replace("{X}", QString::number(int(point.x()) - 2)).replace("{Y}", QString::number(int(point.y()) - 1));
    QCOMPARE(window.frame.tabWidget()->count() - tabsBefore, tabs);
    const QString written = QString::fromStdWString(view->getDocument()->toSvgText());
    if (drawing.isEmpty())
        QVERIFY2(!written.contains("<image") && !written.contains("<g"), qPrintable(written));
    else
        QVERIFY2(written.contains(drawing), qPrintable(written));
}

// Zoom 2 after a pan: the dropped drawing, grouped, is centred on the drop
// point in document coordinates.
void tst_CSVGViewInput::droppedSvgTextCentredOnDropPoint()
{
    Window window;
    window.look(2, QPointF(500, 400));
    window.drag(QPoint(300, 200), QPoint(250, 180), Qt::MiddleButton);
    QMimeData mime;
    mime.setData("text", kTwoRects);
    const QPoint at(123, 77);
    sendDrop(window.viewport(), &mime, at);
    CSVGElement* root = window.document()->getOwnerSvg();
    QCOMPARE(root->getChildCount(), 1);
    QCOMPARE(root->getChild(0)->getType(), int(SvgType::G));
    const QPointF centre = window.document()->getContentBoundingRect().center();
    QVERIFY(QLineF(centre, window.view()->mapToScene(at)).length() < 1e-6);
}

// What the canvas shows after drawing is what another renderer makes of the
// saved document under the same transform.
void tst_CSVGViewInput::canvasMatchesRsvg()
{
    Window window;
    window.document()->setSelectionAttributes({ L"stroke-width" }, { L"0.2" }, true);
    window.look(1.5, QPointF(300, 300));
    window.frame.action(CMainFrame::Rectangle)->trigger();
    window.drag(QPoint(60, 50), QPoint(250, 190));
    window.frame.action(CMainFrame::Ellipse)->trigger();
    window.drag(QPoint(400, 200), QPoint(520, 330));
    window.frame.action(CMainFrame::Circle)->trigger();
    window.drag(QPoint(150, 300), QPoint(190, 300));
    window.key(Qt::Key_Escape);
    window.document()->clearSelection();
    window.view()->repaint();
    QCoreApplication::processEvents();
    const QImage canvas = window.viewport()->grab().toImage();

    const QTransform t = window.view()->viewportTransform();
    QTemporaryDir folder;
    const QString svg = folder.filePath("drawing.svg");
    QFile file(svg);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QString("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%2\">"
                       "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>"
                       "<g transform=\"matrix(%3 %4 %5 %6 %7 %8)\">%9</g></svg>")
                   .arg(canvas.width())
                   .arg(canvas.height())
                   .arg(t.m11())
                   .arg(t.m12())
                   .arg(t.m21())
                   .arg(t.m22())
                   .arg(t.dx())
                   .arg(t.dy())
                   .arg(window.drawing())
                   .toUtf8());
    file.close();
    const QString png = folder.filePath("drawing.png");
    QCOMPARE(QProcess::execute("rsvg-convert", { "-o", png, svg }), 0);
    const QVector<bool> ours = silhouette(canvas);
    const QVector<bool> theirs = silhouette(QImage(png).convertToFormat(QImage::Format_ARGB32));
    QCOMPARE(theirs.size(), ours.size());
    int both = 0, either = 0;
    for (int i = 0; i < ours.size(); ++i) {
        both += ours[i] && theirs[i];
        either += ours[i] || theirs[i];
    }
    QVERIFY(either > 10000);
    QVERIFY2(double(both) / either > 0.97, qPrintable(QString::number(double(both) / either)));
}

ZOCUT_TEST_MAIN(tst_CSVGViewInput)

#include "tst_CSVGViewInput.moc"
