// What a person's hands do to the canvas, at a person's pace: after every
// event the window paints, as it does between the events a person makes.
// The scene's index must then still find every piece where it lies, and no
// item that is gone; the sequences are those that once ended the program.

#include "CMainFrame.h"
#include "CSVGElementShape.h"
#include "CSVGGraphicsItem.h"
#include "CSVGScene.h"
#include "CSVGView.h"
#include "DlgText.h"
#include "NumberField.h"
#include "Prompt.h"
#include "StandInSession.h"
#include "SvgCodes.h"
#include "TestEnvironment.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <functional>

namespace {

// The main window with a new drawing, its canvas 600 x 400 at one pixel a
// unit. The points of the sequences are relative to an origin over the top
// edge of the page, in the middle: the scene's index splits the scene at its
// own origin, and shapes away from it are what once went astray.
struct Canvas
{
    Canvas()
    {
        frame.resize(1200, 800);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        view()->setFixedSize(600, 400);
        view()->setTransform(QTransform());
        origin = QPointF(view()->getScene()->getPageRect().center().x() - 300, -500);
        view()->centerOn(origin + QPointF(300, 300));
        paint();
    }
    CSVGView* view() const { return frame.currentView(); }
    CSVGDocument* document() const { return view()->getDocument(); }
    QWidget* viewport() const { return view()->viewport(); }
    QPoint at(const QPointF& p) const { return view()->mapFromScene(origin + p); }

    void paint()
    {
        QCoreApplication::processEvents();
        viewport()->repaint();
    }
    void tool(CMainFrame::Action action)
    {
        frame.action(action)->trigger();
        paint();
    }
    void mouse(QEvent::Type type, const QPointF& scene, Qt::MouseButton button, Qt::MouseButtons held)
    {
        const QPoint p = at(scene);
        QMouseEvent event(type, p, viewport()->mapToGlobal(p), button, held, Qt::NoModifier);
        QApplication::sendEvent(viewport(), &event);
        paint();
    }
    void move(const QPointF& p, Qt::MouseButtons held = Qt::NoButton)
    {
        mouse(QEvent::MouseMove, p, Qt::NoButton, held);
    }
    void click(const QPointF& p)
    {
        move(p);
        mouse(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    }
    void drag(const QPointF& from, const QPointF& to)
    {
        move(from);
        mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        move((from + to) / 2, Qt::LeftButton);
        move(to, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }
    void wheel(const QPointF& scene, int notches)
    {
        const QPoint p = at(scene);
        QWheelEvent event(p, viewport()->mapToGlobal(p), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
            Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport(), &event);
        paint();
    }
    void rectangle(const QPointF& from, const QPointF& to)
    {
        tool(CMainFrame::Rectangle);
        drag(from, to);
    }

    // Pixels darker than the page and the grey beside it along the top edge of the scene rectangle, as the canvas
    // shows it now.
    bool drawsOutline(const QRectF& scene) const
    {
        const QImage image = viewport()->grab().toImage();
        const QLineF edge(view()->mapFromScene(scene.topLeft()), view()->mapFromScene(scene.topRight()));
        int dark = 0;
        for (int i = 1; i < 10; ++i) {
            const QPoint p = edge.pointAt(i / 10.0).toPoint();
            for (int dy = -1; dy <= 1; ++dy)
                dark += image.valid(p.x(), p.y() + dy) && qGray(image.pixel(p.x(), p.y() + dy)) < 220 ? 1 : 0;
        }
        return dark >= 7;
    }

    int darkPixelsIn(const QRectF& scene) const
    {
        const QImage image = viewport()->grab().toImage();
        const QRect area = view()->mapFromScene(scene).boundingRect() & image.rect();
        int dark = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x)
                dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
        }
        return dark;
    }

    // Every piece is found by the scene where it lies, and every item the
    // scene finds shows a piece.
    void verifyPiecesFound() const
    {
        CSVGScene* scene = view()->getScene();
        CSVGElement* root = document()->getOwnerSvg();
        for (int i = 0; i < root->getChildCount(); ++i) {
            CSVGElementShape* shape = CSVGElementShape::asShape(root->getChild(i));
            if (!shape)
                continue;
            bool found = false;
            const QRectF box = shape->getTransformedBoundingRect().toQRectF().adjusted(-1, -1, 1, 1);
            for (QGraphicsItem* item : scene->items(box)) {
                const auto* piece = dynamic_cast<CSVGGraphicsItem*>(item);
                found = found || (piece && piece->getElement() == shape);
            }
            QVERIFY2(found, qPrintable(QString::fromStdWString(shape->getId())));
        }
        for (QGraphicsItem* item : scene->items()) {
            if (const auto* piece = dynamic_cast<CSVGGraphicsItem*>(item))
                QVERIFY(piece->getElement());
        }
    }

    CMainFrame frame;
    QPointF origin;
};

using Sequence = std::function<void(Canvas&)>;

const QPointF kEmpty(520, 460);
bool g_nestingConfirmed = false;

// Fills in the roll width and starts the nesting dialog once it shows, and
// confirms it once every piece is placed.
void driveNestingDialog(int attempts = 200)
{
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    QPushButton* ok = dialog ? dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok) : nullptr;
    if (ok && ok->isEnabled()) {
        ok->click();
        g_nestingConfirmed = true;
        return;
    }
    if (dialog && dialog->findChild<NumberField*>(QStringLiteral("width"))->isEnabled()) {
        dialog->findChild<NumberField*>(QStringLiteral("width"))->setValue(1500);
        dialog->findChild<QPushButton*>(QStringLiteral("start"))->click();
    }
    if (attempts > 0)
        QTimer::singleShot(50, [attempts] { driveNestingDialog(attempts - 1); });
    else if (dialog)
        dialog->reject();
}

} // namespace

Q_DECLARE_METATYPE(Sequence)

class tst_CSVGViewPaint : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void sequences_data();
    void sequences();
    void separationLineKeepsThePieceDrawn();
    void textShowsAtOnce();
    void undoOfDeleteAllShowsTheMarks();

private:
    StandInSession m_session;
};

// Questions are answered as a person would go on: "Continue", and the
// nesting dialog driven to its end.
void tst_CSVGViewPaint::initTestCase()
{
    QVERIFY(m_session.isRunning());
    m_session.server().setCannedReply(
        "/api/user/index", 200, R"({"code":1,"msg":"","data":{"userinfo":{"allowtype":0}}})");
    Prompt::setHandler([](Prompt::Kind kind, const QString&, const QString&) {
        if (kind == Prompt::Kind::Modal)
            QTimer::singleShot(0, [] { driveNestingDialog(); });
        return kind == Prompt::Kind::Warning ? QVariant(QMessageBox::Yes) : QVariant();
    });
}

void tst_CSVGViewPaint::cleanup()
{
    QCoreApplication::processEvents();
}

void tst_CSVGViewPaint::sequences_data()
{
    QTest::addColumn<Sequence>("sequence");
    QTest::newRow("pen closed on its first point") << Sequence([](Canvas& c) {
        c.tool(CMainFrame::Pen);
        for (const QPointF& node : { QPointF(200, 200), QPointF(280, 200), QPointF(260, 280), QPointF(200, 200) })
            c.click(node);
    });
    QTest::newRow("clicks beside and on a rectangle") << Sequence([](Canvas& c) {
        c.rectangle(QPointF(200, 200), QPointF(300, 280));
        for (int round = 0; round < 2; ++round) {
            c.click(kEmpty);
            c.click(QPointF(250, 240));
        }
    });
    QTest::newRow("second rectangle after a click beside") << Sequence([](Canvas& c) {
        c.rectangle(QPointF(200, 200), QPointF(300, 280));
        c.click(kEmpty);
        c.rectangle(QPointF(350, 150), QPointF(420, 200));
        c.click(kEmpty);
        c.click(QPointF(380, 180));
    });
    QTest::newRow("drag after deselecting") << Sequence([](Canvas& c) {
        c.rectangle(QPointF(200, 200), QPointF(300, 280));
        c.click(kEmpty);
        c.drag(QPointF(250, 240), QPointF(330, 300));
        c.click(kEmpty);
        c.click(QPointF(320, 300));
    });
    QTest::newRow("clicks after local nesting") << Sequence([](Canvas& c) {
        for (int i = 0; i < 6; ++i) {
            c.rectangle(QPointF(100 + 60 * i, 150), QPointF(140 + 60 * i, 190));
            c.tool(CMainFrame::Circle);
            c.drag(QPointF(120 + 60 * i, 260), QPointF(135 + 60 * i, 275));
        }
        c.click(kEmpty);
        QTest::keyClick(c.viewport(), Qt::Key_A, Qt::ControlModifier);
        g_nestingConfirmed = false;
        c.tool(CMainFrame::SupperNesting);
        QTRY_VERIFY(g_nestingConfirmed && !QApplication::activeModalWidget());
        c.paint();
        for (int i = 0; i < 5; ++i)
            c.click(kEmpty + QPointF(10 * i, 0));
    });
}

void tst_CSVGViewPaint::sequences()
{
    QFETCH(Sequence, sequence);
    Canvas canvas;
    sequence(canvas);
    canvas.paint();
    canvas.verifyPiecesFound();
}

// Continue moves the piece and its tear line to the page's left-bottom
// corner: both are drawn there, at any zoom, and the piece is drawn where it
// was once the line is taken away again.
void tst_CSVGViewPaint::separationLineKeepsThePieceDrawn()
{
    Canvas c;
    c.rectangle(QPointF(200, 200), QPointF(300, 280));
    QTest::keyClick(c.viewport(), Qt::Key_Escape);
    CSVGElementShape* piece = CSVGElementShape::asShape(c.document()->getOwnerSvg()->getChild(0));
    const QRectF drawn = piece->getTransformedBoundingRect().toQRectF();
    c.click(QPointF(250, 240));
    c.tool(CMainFrame::SeparationLine);
    QVERIFY(c.document()->hasTearLine());
    c.verifyPiecesFound();
    const QRectF box = piece->getTransformedBoundingRect().toQRectF();
    c.view()->centerOn(box.center());
    c.paint();
    for (int notches : { 2, -3, 1 })
        c.wheel(box.center() - c.origin, notches);
    QVERIFY(c.drawsOutline(box));
    QVERIFY(c.drawsOutline(box.adjusted(-5, -5, 5, 5)));
    c.tool(CMainFrame::SeparationLine);
    QVERIFY(!c.document()->hasTearLine());
    QCOMPARE(piece->getTransformedBoundingRect().toQRectF(), drawn);
    c.view()->centerOn(drawn.center());
    c.paint();
    QVERIFY(c.drawsOutline(drawn));
}

// The text of the text dialog is drawn as soon as the dialog closes, not
// only after the next shape.
void tst_CSVGViewPaint::textShowsAtOnce()
{
    Canvas c;
    c.tool(CMainFrame::Text);
    DlgText* dialog = c.view()->textDialog();
    QVERIFY(dialog);
    dialog->findChild<QPushButton*>(QStringLiteral("getPosition"))->click();
    c.click(QPointF(250, 250));
    dialog->findChild<QPlainTextEdit*>()->setPlainText(QStringLiteral("ZoCut"));
    dialog->accept();
    c.paint();
    const QVector<CSVGElement*> selection = c.document()->getSelection();
    QCOMPARE(selection.size(), 1);
    const QRectF box = CSVGElementShape::asShape(selection.first())->getTransformedBoundingRect().toQRectF();
    QVERIFY(!box.isEmpty());
    QVERIFY(c.darkPixelsIn(box) > 20);
}

static int redPixels(const QImage& image)
{
    int red = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            red += qRed(pixel) > 150 && qGreen(pixel) < 100 && qBlue(pixel) < 100 ? 1 : 0;
        }
    }
    return red;
}

// The red pixels of what the window last painted, no paint forced.
static int redPixelsShown(Canvas& c)
{
    return redPixels(QGuiApplication::primaryScreen()->grabWindow(c.frame.winId()).toImage());
}

// Ten thousand overlapping pieces show their overlap marks from the first
// paint of the opened drawing; all deleted and brought back, the marks show
// again once the check, which then runs in slices, is done, without a zoom
// or anything else to repaint the canvas.
void tst_CSVGViewPaint::undoOfDeleteAllShowsTheMarks()
{
    Canvas c;
    QByteArray svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"15000\" height=\"1520\">";
    const QPointF corner = c.origin + QPointF(150, 150);
    for (int i = 0; i < 100; ++i) {
        for (int j = 0; j < 100; ++j) {
            svg += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"4\" height=\"4\" fill=\"none\"/>")
                       .arg(corner.x() + i * 3)
                       .arg(corner.y() + j * 3)
                       .toUtf8();
        }
    }
    QVERIFY(c.view()->loadData(svg + "</svg>"));
    c.view()->setTransform(QTransform());
    c.view()->centerOn(corner + QPointF(150, 150));
    const int marked = redPixels(c.frame.grab().toImage());
    QVERIFY(marked > 10000);
    QTRY_COMPARE_WITH_TIMEOUT(redPixelsShown(c), marked, 60000);
    c.document()->selectAll();
    c.frame.Delete();
    QTRY_COMPARE_WITH_TIMEOUT(redPixelsShown(c), 0, 60000);
    c.frame.undo();
    QTRY_COMPARE_WITH_TIMEOUT(redPixelsShown(c), marked, 60000);
}

ZOCUT_TEST_MAIN(tst_CSVGViewPaint)
#include "tst_CSVGViewPaint.moc"
