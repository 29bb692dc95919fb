#include "CGlobalConfig.h"
#include "CSVGElementPolygon.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <QImage>
#include <QJsonObject>
#include <QPainter>

namespace {

const QColor kPurple(128, 0, 255);

struct DrawFlags
{
    bool selected = false;
    bool highlighted = false;
    bool onScreen = true;
    bool innerPiece = false;
    double painterScale = 1.0;
};

QImage paint(CSVGElementShape* shape, const DrawFlags& flags = DrawFlags())
{
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(flags.painterScale, flags.painterScale);
    shape->draw(&painter, CSVGMatrix(), flags.selected, flags.highlighted, flags.onScreen, flags.innerPiece);
    return image;
}

QColor at(const QImage& image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

// The first pixel that is not white in the rows y - 1 ... y + 1.
QColor inkNear(const QImage& image, int x, int y)
{
    for (int row = y - 1; row <= y + 1; ++row) {
        if (at(image, x, row) != Qt::white)
            return at(image, x, row);
    }
    return Qt::white;
}

int inkedRows(const QImage& image, int x)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        count += at(image, x, y) != Qt::white;
    return count;
}

template <typename Element = CSVGElementPolyline>
Element* newShape(CSVGElement* parent, const wchar_t* tag, const QString& attributes)
{
    auto* shape = static_cast<Element*>(appendNew(parent, tag));
    setAttributes(shape, attributes);
    return shape;
}

// Counts how often it is painted.
class CountingLine : public CSVGElementPolyline
{
public:
    explicit CountingLine(CSVGDocument* document)
        : CSVGElementPolyline(document)
    {
    }
    void draw(QPainter* painter, const CSVGMatrix& view, bool selected, bool highlighted, bool onScreen,
        bool innerPiece) override
    {
        ++count;
        CSVGElementPolyline::draw(painter, view, selected, highlighted, onScreen, innerPiece);
    }
    int count = 0;
};

const char* const kSquare = "points=20 20 180 20 180 180 20 180";

} // namespace

class tst_CSVGElementShapeDraw : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void penColour_data();
    void penColour();
    void lineWidth();
    void endMarkersOnlyOnOpenOutlines_data();
    void endMarkersOnlyOnOpenOutlines();
    void vertexMarkers();
    void highlightRecords();
    void positionFill();
    void positionNames();
    void visibility();
    void useReferences();
    void clipPaths();
};

void tst_CSVGElementShapeDraw::cleanup()
{
    QSettings().remove(QStringLiteral("hpgl"));
}

void tst_CSVGElementShapeDraw::penColour_data()
{
    QTest::addColumn<QString>("attributes");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<bool>("highlighted");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QColor>("colour");
    const QString line = "points=20 100 180 100";
    QTest::newRow("plain") << line << false << false << 0 << QColor(Qt::black);
    QTest::newRow("selected") << line << true << false << 0 << kPurple;
    QTest::newRow("highlighted") << line << true << true << 0 << QColor(Qt::red);
    QTest::newRow("marked nodes while deleting") << line << true << false << 28 << QColor(Qt::red);
    QTest::newRow("marked nodes otherwise") << line << true << false << 27 << kPurple;
    QTest::newRow("tear line") << line + "|tear_line=true" << true << true << 0 << QColor(Qt::gray);
    // The outline is drawn whatever the element's own stroke says.
    QTest::newRow("unstroked") << line + "|stroke=none|stroke-width=9" << false << false << 0 << QColor(Qt::black);
}

void tst_CSVGElementShapeDraw::penColour()
{
    QFETCH(QString, attributes);
    QFETCH(bool, selected);
    QFETCH(bool, highlighted);
    QFETCH(int, mode);
    QFETCH(QColor, colour);
    CSVGDocument document;
    CSVGElementPolyline* polyline = newShape(&document, L"polyline", attributes);
    polyline->selectNodesInRect(CSVGRect(0, 0, 50, 200));
    document.setEditMode(mode);
    DrawFlags flags;
    flags.selected = selected;
    flags.highlighted = highlighted;
    flags.onScreen = false;
    const QImage image = paint(polyline, flags);
    QCOMPARE(inkNear(image, 100, 100), colour);
    QVERIFY(!polyline->isModified());
    QCOMPARE(polyline->getLastPaintedRect(), QRectF(20, 100, 160, 0));
}

// "LineWidth" counts device pixels, whatever the painter's scale; off screen
// the outline is one pixel wide.
void tst_CSVGElementShapeDraw::lineWidth()
{
    CSVGDocument document;
    CSVGElementPolyline* polyline = newShape(&document, L"polyline", "points=10 50 90 50");
    DrawFlags flags;
    flags.painterScale = 2;
    flags.onScreen = false;
    QCOMPARE(inkedRows(paint(polyline, flags), 100), 1);
    flags.onScreen = true;
    QCOMPARE(inkedRows(paint(polyline, flags), 100), 2);
    QSettings().setValue(QStringLiteral("hpgl/LineWidth"), 4);
    QCOMPARE(inkedRows(paint(polyline, flags), 100), 4);
}

void tst_CSVGElementShapeDraw::endMarkersOnlyOnOpenOutlines_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("attributes");
    QTest::addColumn<bool>("markers");
    QTest::newRow("open polyline") << "polyline"
                                   << "points=20 20 180 180" << true;
    QTest::newRow("polygon") << "polygon"
                             << "points=20 20 180 20 180 180" << false;
    QTest::newRow("closed path") << "path"
                                 << "d=M20 20 L180 20 L180 180 Z" << false;
    QTest::newRow("open path") << "path"
                               << "d=M20 20 L180 20 L180 180" << true;
    QTest::newRow("polyline back to its start") << "polyline"
                                                << "points=20 20 180 20 180 180 20 20" << false;
}

void tst_CSVGElementShapeDraw::endMarkersOnlyOnOpenOutlines()
{
    QFETCH(QString, tag);
    QFETCH(QString, attributes);
    QFETCH(bool, markers);
    CSVGDocument document;
    auto* shape = newShape<CSVGElementShape>(&document, tag.toStdWString().c_str(), attributes);
    // An 8 x 8 red square on each end, beside the outline.
    QImage image = paint(shape);
    QCOMPARE(at(image, 17, 23) == Qt::red, markers);
    QCOMPARE(at(image, 183, 177) == Qt::red, markers);
    QCOMPARE(at(image, 100, 100) == Qt::red, false);
    DrawFlags flags;
    flags.onScreen = false;
    image = paint(shape, flags);
    QCOMPARE(at(image, 17, 23), QColor(Qt::white));
}

// Selected in an outline-editing mode: blue vertices, the first one larger,
// the marked ones red.
void tst_CSVGElementShapeDraw::vertexMarkers()
{
    CSVGDocument document;
    CSVGElementPolyline* square = newShape<CSVGElementPolygon>(&document, L"polygon", kSquare);
    square->selectNodesInRect(CSVGRect(170, 170, 20, 20));
    document.setEditMode(21);
    DrawFlags selected;
    selected.selected = true;
    QImage image = paint(square, selected);
    QCOMPARE(at(image, 16, 16), QColor(Qt::blue));
    QCOMPARE(at(image, 178, 17), QColor(Qt::blue));
    QCOMPARE(at(image, 176, 16), QColor(Qt::white));
    QCOMPARE(at(image, 182, 182), QColor(Qt::red));
    QCOMPARE(at(image, 100, 100), QColor(Qt::white));

    QCOMPARE(at(paint(square), 16, 16), QColor(Qt::white));
    document.setEditMode(28);
    image = paint(square, selected);
    QCOMPARE(at(image, 16, 16), QColor(Qt::white));
    QCOMPARE(inkNear(image, 100, 20), QColor(Qt::red));
    document.setEditMode(0);
    QCOMPARE(at(paint(square, selected), 16, 16), QColor(Qt::white));
}

// The document's records: nodes in mode 27, the two ends of each line while
// a path is drawn.
void tst_CSVGElementShapeDraw::highlightRecords()
{
    CSVGDocument document;
    CSVGElementPolyline* square = newShape<CSVGElementPolygon>(&document, L"polygon", kSquare);
    auto* record = new CSVGHighlight(square, Qt::green);
    HighlightNode node;
    node.element = square;
    for (int i = 0; i < 3; ++i) {
        node.index = i;
        node.point = QPointF(100, 50 + 50 * i);
        record->nodes.append(node);
    }
    HighlightLine line;
    line.x1 = 40;
    line.y1 = 60;
    line.x2 = 160;
    line.y2 = 60;
    record->lines.append(line);
    document.getHighlightList().addRecord(record);
    document.getHighlightList().setMarkedNodes({ record->nodes[1] });
    document.setCurrentNode(record->nodes[2]);

    document.setEditMode(27);
    DrawFlags selected;
    selected.selected = true;
    QImage image = paint(square, selected);
    QCOMPARE(at(image, 102, 52), QColor(Qt::blue));
    QCOMPARE(at(image, 102, 102), QColor(Qt::red));
    QCOMPARE(at(image, 102, 152), QColor(Qt::red));
    QCOMPARE(at(image, 100, 60), QColor(Qt::white));

    document.setEditMode(10);
    image = paint(square, selected);
    QCOMPARE(inkNear(image, 100, 60), QColor(Qt::blue));
    QCOMPARE(at(image, 42, 62), QColor(Qt::blue));
    QCOMPARE(at(image, 102, 52), QColor(Qt::white));
}

// A group of a large and a small piece: the large one in its position colour,
// the small one, painted after it, white.
void tst_CSVGElementShapeDraw::positionFill()
{
    CSVGDocument document;
    document.setCustomPositions({ QJsonObject { { "id", 7 }, { "color", "#00ff00" }, { "name", "Hood" } },
        QJsonObject { { "id", 1000 }, { "color", "#0000ff" }, { "name", "Not this one" } } });
    TestGroup* group = appendElement(&document, new TestGroup(&document));
    newShape(group, L"polygon", "points=80 80 120 80 120 120 80 120|position_id=7");
    newShape(group, L"polygon", QString(kSquare) + "|position_id=7");
    CSVGElementPolyline* known = newShape(&document, L"polygon", "points=0 0 10 0 10 10 0 10|position_id=1000");
    CSVGElementPolyline* none = newShape(&document, L"polygon", "points=0 0 10 0 10 10 0 10|position_id=-1");

    QCOMPARE(at(paint(group), 50, 50), QColor(Qt::white));
    document.setShowPositionColor(true);
    const QImage image = paint(group);
    const QColor large = at(image, 50, 50);
    const QColor small = at(image, 100, 100);
    QVERIFY2(large.green() == 255 && large.red() < 60, qPrintable(large.name()));
    QVERIFY2(small.red() > 190 && small.blue() > 190, qPrintable(small.name()));

    // The setting's table comes before the drawing's own positions.
    const QJsonObject table = g_config.getSetting(QStringLiteral("PositionColor")).toJsonObject();
    const QColor tableColour = g_config.textToQColor(
        table.value(QStringLiteral("1000")).toObject().value(QStringLiteral("color")).toString().toStdWString());
    const QColor drawn = at(paint(known), 5, 5);
    const auto blended = [](int channel) { return (channel * 4 + 255) / 5; };
    QVERIFY2(
        qAbs(drawn.red() - blended(tableColour.red())) <= 2 && qAbs(drawn.blue() - blended(tableColour.blue())) <= 2,
        qPrintable(drawn.name() + ' ' + tableColour.name()));
    QCOMPARE(at(paint(none), 5, 5), QColor(Qt::white));
}

// Only the first piece a container paints is labelled; the label rectangle
// replaces its outline rectangle.
void tst_CSVGElementShapeDraw::positionNames()
{
    CSVGDocument document;
    document.setCustomPositions({ QJsonObject { { "id", 7 }, { "color", "#00ff00" }, { "name", "Hood" } } });
    TestGroup* group = appendElement(&document, new TestGroup(&document));
    CSVGElementPolyline* small = newShape(group, L"polygon", "points=10 10 30 10 30 30 10 30|position_id=7");
    CSVGElementPolyline* large = newShape(group, L"polygon", QString(kSquare) + "|position_id=7");
    document.setShowComment(true);
    const QImage image = paint(group);
    QCOMPARE(small->getLastPaintedRect(), QRectF(10, 10, 20, 20));
    const QRectF label = large->getLastPaintedRect();
    QVERIFY2(
        label.width() > 5 && label.height() > 5 && label.width() < 100, qPrintable(QString::number(label.width())));
    QCOMPARE(label.center().x(), 100.0);
    QCOMPARE(label.top(), 98.0);
    int ink = 0;
    for (int y = int(label.top()); y < int(label.bottom()); ++y) {
        for (int x = int(label.left()); x < int(label.right()); ++x)
            ink += at(image, x, y) != Qt::white;
    }
    QVERIFY(ink > 0);
    // Names alone fill nothing.
    QCOMPARE(at(image, 50, 50), QColor(Qt::white));
}

void tst_CSVGElementShapeDraw::visibility()
{
    CSVGDocument document;
    TestGroup* group = appendElement(&document, new TestGroup(&document));
    CSVGElementPolyline* line = newShape(group, L"polyline", "points=20 100 180 100|visibility=hidden");
    QCOMPARE(inkNear(paint(line), 100, 100), QColor(Qt::white));
    line->setAttribute(L"tyvisibility", L"visible", true);
    QCOMPARE(inkNear(paint(line), 100, 100), QColor(Qt::black));
    line->setAttribute(L"tyvisibility", L"", true);
    line->setAttribute(L"visibility", L"visible", true);
    group->setAttribute(L"display", L"none", true);
    QCOMPARE(inkNear(paint(group), 100, 100), QColor(Qt::white));
    QCOMPARE(inkNear(paint(line), 100, 100), QColor(Qt::white));
}

// A use shows the element it names; one that names itself or an element
// that contains it is not painted again inside itself.
void tst_CSVGElementShapeDraw::useReferences()
{
    CSVGDocument document;
    TestGroup* group = appendElement(&document, new TestGroup(&document));
    CountingLine* line = appendElement(group, new CountingLine(&document));
    line->setAttribute(L"points", L"20 100 180 100", false);
    TestUse* loop = appendElement(group, new TestUse(&document));
    loop->setAttribute(L"xlink:href", L"#" + group->getId(), false);
    TestUse* self = appendElement(&document, new TestUse(&document));
    self->setAttribute(L"xlink:href", L"#" + self->getId(), false);
    TestUse* other = appendElement(&document, new TestUse(&document));
    other->setAttribute(L"xlink:href", L"#" + line->getId(), false);

    // Two uses showing each other's groups.
    TestGroup* first = appendElement(&document, new TestGroup(&document));
    TestGroup* second = appendElement(&document, new TestGroup(&document));
    appendElement(first, new TestUse(&document))->setAttribute(L"xlink:href", L"#" + second->getId(), false);
    appendElement(second, new TestUse(&document))->setAttribute(L"xlink:href", L"#" + first->getId(), false);
    document.updateMatrix(nullptr, false);

    // Once as the group's child, once shown by the use inside the group.
    QCOMPARE(inkNear(paint(group), 100, 100), QColor(Qt::black));
    QCOMPARE(line->count, 2);
    QCOMPARE(inkNear(paint(other), 100, 100), QColor(Qt::black));
    QCOMPARE(inkNear(paint(self), 100, 100), QColor(Qt::white));
    QCOMPARE(inkNear(paint(first), 100, 100), QColor(Qt::white));
}

// A clip path applies in the coordinates of the element that names it, and
// only while that element is painted.
void tst_CSVGElementShapeDraw::clipPaths()
{
    CSVGDocument document;
    QPainterPath outline;
    outline.addRect(0, 0, 50, 200);
    TestClipPath* clip = appendElement(&document, new TestClipPath(&document, outline));
    TestGroup* group = appendElement(&document, new TestGroup(&document));
    setAttributes(group, "transform=translate(100,0)|clip-path=url(#" + QString::fromStdWString(clip->getId()) + ")");
    CSVGElementPolyline* clipped = newShape(group, L"polyline", "points=-80 100 80 100|transform=translate(-20,0)");
    CSVGElementPolyline* free = newShape(&document, L"polyline", "points=0 150 200 150");
    document.updateMatrix(nullptr, false);

    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    clipped->draw(&painter, CSVGMatrix(), false, false, false, false);
    free->draw(&painter, CSVGMatrix(), false, false, false, false);
    painter.end();
    // Clipping paints with antialiasing: grey, not black.
    QVERIFY(inkNear(image, 140, 100) != Qt::white);
    QCOMPARE(inkNear(image, 90, 100), QColor(Qt::white));
    QCOMPARE(inkNear(image, 155, 100), QColor(Qt::white));
    QCOMPARE(inkNear(image, 20, 150), QColor(Qt::black));
}

ZOCUT_TEST_MAIN(tst_CSVGElementShapeDraw)
#include "tst_CSVGElementShapeDraw.moc"
