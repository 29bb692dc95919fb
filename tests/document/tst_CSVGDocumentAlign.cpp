#include "CSVGElementShape.h"
#include "CommandDocument.h"
#include "TestEnvironment.h"

#include <QSvgRenderer>

#include <algorithm>
#include <map>

namespace {

enum class Align {
    Left,
    Top,
    Right,
    Bottom,
    VerLine,
    HorLine,
    HorSpace,
    VerSpace,
    SameWidth,
    SameHeight,
    SameSize,
    LeftTop,
    LeftBottom,
    ZoomSize
};

// Under a root scaled by 2: a plain rectangle, a square turned by the 3-4-5
// rotation and a skewed rectangle.
const char* const kTurned = "<path id=\"a\" d=\"M0 0 L28 0 L28 7 L0 7 Z\" transform=\"translate(10,10)\"/>"
                            "<path id=\"b\" d=\"M0 0 L10 0 L10 10 L0 10 Z\" "
                            "transform=\"matrix(0.6,0.8,-0.8,0.6,100,50)\"/>"
                            "<path id=\"c\" d=\"M0 0 L10 0 L10 8 L0 8 Z\" transform=\"matrix(1,0,0.5,1,60,80)\"/>";
const char* const kScaledRoot = "transform=\"matrix(2,0,0,2,5,7)\"";
// A turned triangle whose box, mapped whole, starts left of u while its
// outline starts right of it, and v and w on one left edge.
const char* const kCrowded = "<path id=\"z\" d=\"M0 0 L5 0 L5 5 L0 5 Z\" transform=\"translate(60,0)\"/>"
                             "<path id=\"t\" d=\"M0 0 L10 0 L10 10 Z\" transform=\"matrix(0.6,0.8,-0.8,0.6,30,0)\"/>"
                             "<path id=\"w\" d=\"M0 0 L10 0 L10 3 L0 3 Z\" transform=\"translate(0,50)\"/>"
                             "<path id=\"u\" d=\"M0 0 L4 0 L4 4 L0 4 Z\" transform=\"translate(25,20)\"/>"
                             "<path id=\"v\" d=\"M0 0 L6 0 L6 6 L0 6 Z\" transform=\"translate(0,40)\"/>";
const char* const kInARow = "<rect id=\"p\" x=\"0\" y=\"0\" width=\"5\" height=\"5\"/>"
                            "<rect id=\"q\" x=\"10\" y=\"0\" width=\"5\" height=\"5\"/>"
                            "<rect id=\"r\" x=\"50\" y=\"0\" width=\"5\" height=\"5\"/>";
const QRectF kTarget(300, 200, 80, 150);
const QSize kZoomSize(56, 28);

using Rects = std::map<QString, QRectF>;

// The canvas rectangles that Qt's renderer finds in the written text.
Rects canvasRects(const QString& svg, const QStringList& ids)
{
    QSvgRenderer renderer(svg.toUtf8());
    Rects rects;
    for (const QString& id : ids)
        rects[id] = renderer.transformForElement(id).mapRect(renderer.boundsOnElement(id));
    return rects;
}

QRectF unitedAll(const Rects& rects, const QStringList& ids)
{
    QRectF total = rects.at(ids.first());
    for (const QString& id : ids)
        total = total.united(rects.at(id));
    return total;
}

// Equal gaps between neighbours by low edge (selection order among equal
// edges); the first stays.
void spaceOut(Rects& rects, const QStringList& ids, bool horizontal)
{
    QStringList sorted = ids;
    const auto low = [&](const QString& id) { return horizontal ? rects[id].left() : rects[id].top(); };
    const auto size = [&](const QString& id) { return horizontal ? rects[id].width() : rects[id].height(); };
    std::stable_sort(sorted.begin(), sorted.end(), [&](const QString& a, const QString& b) { return low(a) < low(b); });
    double gaps = 0;
    for (int i = 1; i < sorted.size(); ++i)
        gaps += low(sorted[i]) - low(sorted[i - 1]) - size(sorted[i - 1]);
    const double gap = gaps / (sorted.size() - 1);
    double position = low(sorted[0]) + size(sorted[0]) + gap;
    for (int i = 1; i < sorted.size(); ++i) {
        QRectF& rect = rects[sorted[i]];
        horizontal ? rect.moveLeft(position) : rect.moveTop(position);
        position += size(sorted[i]) + gap;
    }
}

// What each command makes of the rectangles of the selected pieces.
Rects expectedRects(Align command, Rects rects, const QStringList& ids, const QStringList& onPage)
{
    const QRectF first = rects.at(ids.first());
    const QRectF total = unitedAll(rects, command == Align::LeftTop ? onPage : ids);
    for (const QString& id : (command == Align::LeftTop ? onPage : ids)) {
        QRectF& r = rects[id];
        const bool other = id != ids.first();
        switch (command) {
        case Align::Left:
            r.moveLeft(total.left());
            break;
        case Align::Top:
            r.moveTop(total.top());
            break;
        case Align::Right:
            r.moveRight(total.right());
            break;
        case Align::Bottom:
            r.moveBottom(total.bottom());
            break;
        case Align::VerLine:
            r.moveLeft(first.center().x() - r.width() / 2);
            break;
        case Align::HorLine:
            r.moveTop(first.center().y() - r.height() / 2);
            break;
        case Align::SameWidth:
            r.setWidth(other ? first.width() : r.width());
            break;
        case Align::SameHeight:
            r.setHeight(other ? first.height() : r.height());
            break;
        case Align::SameSize:
            r.setSize(other ? first.size() : r.size());
            break;
        case Align::LeftTop:
            r.translate(kTarget.x() - total.x() + 1, kTarget.y() - total.y() + 1);
            break;
        case Align::LeftBottom:
            r.translate(kTarget.x() - total.x() + 1, kTarget.bottom() - total.bottom() - 1);
            break;
        case Align::ZoomSize: {
            // One box about its centre: the pieces keep their places in it.
            const double sx = kZoomSize.width() / total.width();
            const double sy = kZoomSize.height() / total.height();
            const QPointF c = total.center();
            r = QRectF(c.x() + (r.x() - c.x()) * sx, c.y() + (r.y() - c.y()) * sy, r.width() * sx, r.height() * sy);
            break;
        }
        case Align::HorSpace:
        case Align::VerSpace:
            break;
        }
    }
    if (command == Align::HorSpace || command == Align::VerSpace)
        spaceOut(rects, ids, command == Align::HorSpace);
    return rects;
}

void run(Align command, CSVGDocument& document)
{
    switch (command) {
    case Align::Left:
        document.alignLeft();
        break;
    case Align::Top:
        document.alignTop();
        break;
    case Align::Right:
        document.alignRight();
        break;
    case Align::Bottom:
        document.alignBottom();
        break;
    case Align::VerLine:
        document.alignVerLine();
        break;
    case Align::HorLine:
        document.alignHorLine();
        break;
    case Align::HorSpace:
        document.alignHorSpace();
        break;
    case Align::VerSpace:
        document.alignVerSpace();
        break;
    case Align::SameWidth:
        document.alignSameWidth();
        break;
    case Align::SameHeight:
        document.alignSameHeight();
        break;
    case Align::SameSize:
        document.alignSameSize();
        break;
    case Align::LeftTop:
        document.alignLeftTop(kTarget);
        break;
    case Align::LeftBottom:
        document.alignLeftBottom(kTarget);
        break;
    case Align::ZoomSize:
        document.zoomSize(kZoomSize.width(), kZoomSize.height(), true);
        break;
    }
}

QStringList selectedIds(const CSVGDocument& document)
{
    QStringList ids;
    for (const CSVGElement* element : document.getSelection())
        ids << QString::fromStdWString(element->getId());
    return ids;
}

} // namespace

Q_DECLARE_METATYPE(Align)

class tst_CSVGDocumentAlign : public QObject
{
    Q_OBJECT
private slots:
    void canvasRectangles_data();
    void canvasRectangles();
    void belowMinimumNothingChanges_data();
    void belowMinimumNothingChanges();
    void sizingIsOneStepUntilFinished();
    void sizeAsTyped_data();
    void sizeAsTyped();
    void pageTests_data();
    void pageTests();
};

void tst_CSVGDocumentAlign::canvasRectangles_data()
{
    QTest::addColumn<Align>("command");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("selection");
    QTest::addColumn<QString>("orderAfter");

    const QString turned = kTurned;
    QTest::newRow("left") << Align::Left << turned << "a b c"
                          << "";
    QTest::newRow("top") << Align::Top << turned << "a b c"
                         << "";
    QTest::newRow("right") << Align::Right << turned << "a b c"
                           << "";
    QTest::newRow("bottom") << Align::Bottom << turned << "a b c"
                            << "";
    QTest::newRow("vertical centre line") << Align::VerLine << turned << "a b c"
                                          << "";
    QTest::newRow("horizontal centre line") << Align::HorLine << turned << "a b c"
                                            << "";
    QTest::newRow("same width") << Align::SameWidth << turned << "a b c"
                                << "";
    QTest::newRow("same height") << Align::SameHeight << turned << "a b c"
                                 << "";
    QTest::newRow("same size") << Align::SameSize << turned << "a b c"
                               << "";
    QTest::newRow("vertical spacing") << Align::VerSpace << turned << "a b c"
                                      << "";
    QTest::newRow("0, 10 and 50") << Align::HorSpace << QString(kInARow) << "p q r"
                                  << "";
    QTest::newRow("turned outline and equal left edges") << Align::HorSpace << QString(kCrowded) << "z t w u v"
                                                         << "w v u t z";
    QTest::newRow("corner left-top") << Align::LeftTop << turned << "b"
                                     << "";
    QTest::newRow("corner left-bottom") << Align::LeftBottom << turned << "b c"
                                        << "";
    QTest::newRow("zoom to size") << Align::ZoomSize << turned << "a b c"
                                  << "";
}

// The written text, drawn by Qt's renderer, puts every piece where the
// command says, under a root that is itself scaled; each command is one
// undo step.
void tst_CSVGDocumentAlign::canvasRectangles()
{
    QFETCH(Align, command);
    QFETCH(QString, body);
    QFETCH(QString, selection);
    QFETCH(QString, orderAfter);
    CommandDocument fixture(body, kScaledRoot);
    // The reader leaves the root's own transform out of the matrices; here
    // the pieces lie under it, as under any transformed parent.
    fixture.document.getOwnerSvg()->updateMatrix(nullptr, false);
    fixture.document.setPageRect(QRectF(0, 0, 1000, 1000));
    const QStringList ids = selection.split(' ');
    QStringList all;
    for (int i = 0; i < fixture.document.getOwnerSvg()->getChildCount(); ++i)
        all << QString::fromStdWString(fixture.document.getOwnerSvg()->getChild(i)->getId());
    const Rects expected = expectedRects(command, canvasRects(fixture.text(), all), ids, all);
    fixture.select(ids);

    QStringList order;
    checkOneUndoStep(fixture, [&] {
        run(command, fixture.document);
        order = selectedIds(fixture.document);
    });
    const Rects after = canvasRects(fixture.text(), all);
    for (const QString& id : all) {
        const QRectF got = after.at(id);
        const QRectF want = expected.at(id);
        for (const auto& [a, b] : { std::pair { got.left(), want.left() }, { got.top(), want.top() },
                 { got.right(), want.right() }, { got.bottom(), want.bottom() } })
            QVERIFY2(qAbs(a - b) <= 1e-6, qPrintable(QString("%1: %2 against %3").arg(id).arg(a).arg(b)));
    }
    if (!orderAfter.isEmpty())
        QCOMPARE(order, orderAfter.split(' '));
}

void tst_CSVGDocumentAlign::belowMinimumNothingChanges_data()
{
    QTest::addColumn<Align>("command");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("selection");
    const QString turned = kTurned;
    QTest::newRow("one piece to line up") << Align::Left << turned << "b";
    QTest::newRow("one piece to size") << Align::SameSize << turned << "b";
    QTest::newRow("two pieces to space") << Align::HorSpace << turned << "a b";
    QTest::newRow("first without width") << Align::SameWidth << turned + "<path id=\"flat\" d=\"M0 0 L0 10\"/>"
                                         << "flat a";
    QTest::newRow("a definition among pieces to space") << Align::HorSpace << turned + "<linearGradient id=\"grad\"/>"
                                                        << "a b grad";
}

void tst_CSVGDocumentAlign::belowMinimumNothingChanges()
{
    QFETCH(Align, command);
    QFETCH(QString, body);
    QFETCH(QString, selection);
    CommandDocument fixture(body);
    fixture.select(selection.split(' '));
    const QString before = fixture.text();
    run(command, fixture.document);
    QCOMPARE(fixture.text(), before);
    QCOMPARE(fixture.steps(), 0);
}

void tst_CSVGDocumentAlign::sizingIsOneStepUntilFinished()
{
    CommandDocument fixture(kTurned);
    fixture.select({ "a", "b" });
    const QString before = fixture.text();
    fixture.document.zoomSize(20, 30, false);
    fixture.document.zoomSize(40, 50, false);
    QVERIFY(fixture.document.getPendingTransform());
    fixture.document.zoomSize(60, 70, true);
    QVERIFY(!fixture.document.getPendingTransform());
    QCOMPARE(fixture.steps(), 1);
    fixture.document.undo();
    QCOMPARE(fixture.text(), before);
}

void tst_CSVGDocumentAlign::sizeAsTyped_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("selection");
    QTest::addColumn<QSizeF>("size");
    const QString rect = "<rect id=\"r\" x=\"3\" y=\"4\" width=\"434\" height=\"324.998\"/>";
    const QString curves = "<path id=\"c\" d=\"M0 0 C300 -700 2100 -100 2625 0 L2625 1000 Q1300 1400 0 1000 Z\"/>";
    const QString turned = "<g id=\"g\" transform=\"translate(100,50) rotate(30)\">"
                           "<path d=\"M0 0 C300 -700 2100 -100 2625 0 L2625 1000 L0 1000 Z\"/>"
                           "<rect x=\"500\" y=\"200\" width=\"700\" height=\"300\"/></g>";
    QTest::newRow("smaller") << rect << "r" << QSizeF(200, 100);
    // A scale of 1.0000062: a whole number within 0.0001 would lose it.
    QTest::newRow("a hair larger") << rect << "r" << QSizeF(434, 325);
    QTest::newRow("fractions") << rect << "r" << QSizeF(123.456, 78.901);
    QTest::newRow("several as one box") << "<rect id=\"p\" x=\"0\" y=\"0\" width=\"60\" height=\"40\"/>"
                                           "<rect id=\"q\" x=\"210\" y=\"90\" width=\"60\" height=\"40\"/>"
                                        << "p q" << QSizeF(540, 260);
    // Without extent along an axis there is nothing to scale there.
    QTest::newRow("no width") << "<polyline id=\"l\" points=\"0 0 0 20\"/>"
                              << "l" << QSizeF(30, 40);
    QTest::newRow("as it is") << rect << "r" << QSizeF(434, 324.998);
    QTest::newRow("2625 mm to 200") << "<rect id=\"r\" x=\"10\" y=\"20\" width=\"2625\" height=\"1312.5\"/>"
                                    << "r" << QSizeF(200, 100);
    QTest::newRow("10 mm to 15 m") << "<rect id=\"r\" x=\"1\" y=\"2\" width=\"10\" height=\"6\"/>"
                                   << "r" << QSizeF(15000, 9000);
    QTest::newRow("curves") << curves << "c" << QSizeF(200, 100);
    QTest::newRow("curves to 15 m") << curves << "c" << QSizeF(14999.999, 1234.567);
    QTest::newRow("turned group") << turned << "g" << QSizeF(1234.567, 765.432);
    QTest::newRow("three pieces") << curves + turned + "<rect id=\"r\" x=\"4000\" y=\"10\" width=\"80\" height=\"30\"/>"
                                  << "c g r" << QSizeF(3000, 500);
}

// The pieces' boxes that Qt's renderer finds in the written text: their
// common box is the typed size to a thousandth about the same centre, each
// piece scaled with it. One undo step takes it back. The same size typed
// again, also after the text is read anew, changes nothing.
void tst_CSVGDocumentAlign::sizeAsTyped()
{
    QFETCH(QString, body);
    QFETCH(QString, selection);
    QFETCH(QSizeF, size);
    const QStringList ids = selection.split(' ');
    CommandDocument fixture(body);
    fixture.select(ids);
    const QString before = fixture.text();
    const Rects old = canvasRects(before, ids);
    const QRectF oldTotal = unitedAll(old, ids);
    const double sx = oldTotal.width() > 0 ? size.width() / oldTotal.width() : 1.0;
    const double sy = oldTotal.height() > 0 ? size.height() / oldTotal.height() : 1.0;
    fixture.document.zoomSize(size.width(), size.height(), true);
    const QString after = fixture.text();
    const Rects got = canvasRects(after, ids);
    const QPointF c = oldTotal.center();
    for (const QString& id : ids) {
        const QRectF r = old.at(id);
        const QRectF want(c.x() + (r.x() - c.x()) * sx, c.y() + (r.y() - c.y()) * sy, r.width() * sx, r.height() * sy);
        const QRectF& have = got.at(id);
        for (const auto& [a, b] : { std::pair { have.left(), want.left() }, { have.top(), want.top() },
                 { have.width(), want.width() }, { have.height(), want.height() } })
            QVERIFY2(qAbs(a - b) < 0.001, qPrintable(QString("%1: %2 against %3").arg(id).arg(a, 0, 'f', 6).arg(b)));
    }
    QCOMPARE(fixture.steps(), after == before ? 0 : 1);

    fixture.document.zoomSize(size.width(), size.height(), true);
    QCOMPARE(fixture.text(), after);
    CommandDocument reopened { QString() };
    QVERIFY(reopened.document.parseSvgText(after.toStdWString(), false, false));
    reopened.select(ids);
    const QString read = reopened.text();
    reopened.document.zoomSize(size.width(), size.height(), true);
    QCOMPARE(reopened.text(), read);
    QCOMPARE(reopened.steps(), 0);

    if (fixture.steps() == 1) {
        fixture.document.undo();
        QCOMPARE(fixture.text(), before);
        fixture.document.redo();
        QCOMPARE(fixture.text(), after);
    }
}

void tst_CSVGDocumentAlign::pageTests_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<bool>("inside");
    QTest::addColumn<bool>("crosses");
    QTest::newRow("no element") << QString() << true << false;
    QTest::newRow("on the edges") << "<rect id=\"p\" width=\"100\" height=\"100\"/>" << true << false;
    QTest::newRow("half out") << "<rect id=\"p\" x=\"50\" y=\"50\" width=\"100\" height=\"100\"/>" << false << true;
    QTest::newRow("apart") << "<rect id=\"p\" x=\"200\" width=\"10\" height=\"10\"/>" << false << false;
    QTest::newRow("touching from outside") << "<rect id=\"p\" x=\"100\" width=\"10\" height=\"10\"/>" << false << false;
    QTest::newRow("a rounding error out")
        << "<rect id=\"p\" y=\"-0.0006\" width=\"100\" height=\"10\"/>" << true << false;
    QTest::newRow("a line across") << "<line id=\"p\" x1=\"50\" y1=\"50\" x2=\"150\" y2=\"50\"/>" << false << true;
}

void tst_CSVGDocumentAlign::pageTests()
{
    QFETCH(QString, body);
    QFETCH(bool, inside);
    QFETCH(bool, crosses);
    CommandDocument fixture(body);
    fixture.document.setPageRect(QRectF(0, 0, 100, 100));
    CSVGElementShape* piece = CSVGElementShape::asShape(fixture.byId("p"));
    QCOMPARE(fixture.document.isInsidePage(piece), inside);
    QCOMPARE(fixture.document.crossesPageBorder(piece ? piece->getTransformedPath() : QPainterPath()), crosses);
}

ZOCUT_TEST_MAIN(tst_CSVGDocumentAlign)
#include "tst_CSVGDocumentAlign.moc"
