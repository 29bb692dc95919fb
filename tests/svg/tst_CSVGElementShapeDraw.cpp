#include "CGlobalConfig.h"
#include "CSVGElementPolygon.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <QImage>
#include <QJsonObject>
#include <QPainter>

namespace {

const QColor kPurple(128, 0, 255);

enum Look { Plain = 0, Selected = 1, Highlighted = 2, OffScreen = 4 };

QImage paint(CSVGElementShape* shape, int look = Plain, double painterScale = 1.0)
{
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(painterScale, painterScale);
    shape->draw(&painter, CSVGMatrix(), look & Selected, look & Highlighted, !(look & OffScreen), false);
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
    void positions();
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
    // The outline is drawn whatever the element's own stroke says.
    QTest::newRow("tear line") << line + "|tear_line=true|stroke=none" << true << true << 0 << QColor(Qt::gray);
}

void tst_CSVGElementShapeDraw::penColour()
{
    QFETCH(QString, attributes);
    QFETCH(bool, selected);
    QFETCH(bool, highlighted);
    QFETCH(int, mode);
    QFETCH(QColor, colour);
    CSVGDocument document;
    CSVGElementPolyline* polyline = appendShape<CSVGElementPolyline>(&document, "polyline", attributes);
    polyline->selectNodesInRect(CSVGRect(0, 0, 50, 200));
    document.setEditMode(mode);
    const QImage image = paint(polyline, (selected ? Selected : 0) | (highlighted ? Highlighted : 0) | OffScreen);
    QCOMPARE(inkNear(image, 100, 100), colour);
    QVERIFY(!polyline->isModified());
    QCOMPARE(polyline->getLastPaintedRect(), QRectF(20, 100, 160, 0));
}

// "LineWidth" counts device pixels, whatever the painter's scale; off screen
// the outline is one pixel wide.
void tst_CSVGElementShapeDraw::lineWidth()
{
    CSVGDocument document;
    CSVGElementPolyline* polyline = appendShape<CSVGElementPolyline>(&document, "polyline", "points=10 50 90 50");
    QCOMPARE(inkedRows(paint(polyline, OffScreen, 2), 100), 1);
    QCOMPARE(inkedRows(paint(polyline, Plain, 2), 100), 2);
    QSettings().setValue(QStringLiteral("hpgl/LineWidth"), 4);
    QCOMPARE(inkedRows(paint(polyline, Plain, 2), 100), 4);
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
    auto* shape = appendShape(&document, tag, attributes);
    // An 8 x 8 red square on each end, beside the outline.
    QImage image = paint(shape);
    QCOMPARE(at(image, 17, 23) == Qt::red, markers);
    QCOMPARE(at(image, 183, 177) == Qt::red, markers);
    QCOMPARE(at(image, 100, 100) == Qt::red, false);
    QCOMPARE(at(paint(shape, OffScreen), 17, 23), QColor(Qt::white));
}

// Selected in an outline-editing mode: blue vertices, the first one larger,
// the marked ones red.
void tst_CSVGElementShapeDraw::vertexMarkers()
{
    CSVGDocument document;
    CSVGElementPolyline* square = appendShape<CSVGElementPolygon>(&document, "polygon", kSquare);
    square->selectNodesInRect(CSVGRect(170, 170, 20, 20));
    document.setEditMode(21);
    QImage image = paint(square, Selected);
    QCOMPARE(at(image, 16, 16), QColor(Qt::blue));
    QCOMPARE(at(image, 178, 17), QColor(Qt::blue));
    QCOMPARE(at(image, 176, 16), QColor(Qt::white));
    QCOMPARE(at(image, 182, 182), QColor(Qt::red));
    QCOMPARE(at(image, 100, 100), QColor(Qt::white));

    QCOMPARE(at(paint(square), 16, 16), QColor(Qt::white));
    document.setEditMode(28);
    image = paint(square, Selected);
    QCOMPARE(at(image, 16, 16), QColor(Qt::white));
    QCOMPARE(inkNear(image, 100, 20), QColor(Qt::red));
    document.setEditMode(0);
    QCOMPARE(at(paint(square, Selected), 16, 16), QColor(Qt::white));
}

// The document's records: nodes in mode 27, the two ends of each line while
// a path is drawn.
void tst_CSVGElementShapeDraw::highlightRecords()
{
    CSVGDocument document;
    CSVGElementPolyline* square = appendShape<CSVGElementPolygon>(&document, "polygon", kSquare);
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
    QImage image = paint(square, Selected);
    QCOMPARE(at(image, 102, 52), QColor(Qt::blue));
    QCOMPARE(at(image, 102, 102), QColor(Qt::red));
    QCOMPARE(at(image, 102, 152), QColor(Qt::red));
    QCOMPARE(at(image, 100, 60), QColor(Qt::white));

    document.setEditMode(10);
    image = paint(square, Selected);
    QCOMPARE(inkNear(image, 100, 60), QColor(Qt::blue));
    QCOMPARE(at(image, 42, 62), QColor(Qt::blue));
    QCOMPARE(at(image, 102, 52), QColor(Qt::white));
}

// A group of a large and a small piece: the large one, painted first, in its
// position colour and labelled, its label box replacing its outline box; the
// small one white and without label.
void tst_CSVGElementShapeDraw::positions()
{
    CSVGDocument document;
    document.setCustomPositions({ QJsonObject { { "id", 7 }, { "color", "#00ff00" }, { "name", "Hood" } },
        QJsonObject { { "id", 1000 }, { "color", "#0000ff" }, { "name", "Not this one" } } });
    CSVGElementShape* group = appendShape(&document, "g", "");
    auto* small
        = appendShape<CSVGElementPolyline>(group, "polygon", "points=80 80 120 80 120 120 80 120|position_id=7");
    auto* large = appendShape<CSVGElementPolyline>(group, "polygon", QString(kSquare) + "|position_id=7");
    auto* known = appendShape(&document, "polygon", "points=0 0 10 0 10 10 0 10|position_id=1000");
    auto* none = appendShape(&document, "polygon", "points=0 0 10 0 10 10 0 10|position_id=-1");

    QCOMPARE(at(paint(group), 50, 50), QColor(Qt::white));
    document.setShowPositionColor(true);
    document.setShowComment(true);
    const QImage image = paint(group);
    const QColor green = at(image, 50, 50);
    const QColor white = at(image, 90, 90);
    QVERIFY2(green.green() == 255 && green.red() < 60, qPrintable(green.name()));
    QVERIFY2(white.red() > 190 && white.blue() > 190, qPrintable(white.name()));
    QCOMPARE(small->getLastPaintedRect(), QRectF(80, 80, 40, 40));
    const QRectF label = large->getLastPaintedRect();
    QVERIFY2(
        label.width() > 5 && label.height() > 5 && label.width() < 100, qPrintable(QString::number(label.width())));
    QCOMPARE(label.center().x(), 100.0);
    QCOMPARE(label.top(), 98.0);

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
    QCOMPARE(none->getLastPaintedRect(), QRectF(0, 0, 10, 10));
}

void tst_CSVGElementShapeDraw::visibility()
{
    CSVGDocument document;
    CSVGElementShape* group = appendShape(&document, "g", "");
    CSVGElementPolyline* line
        = appendShape<CSVGElementPolyline>(group, "polyline", "points=20 100 180 100|visibility=hidden");
    QCOMPARE(inkNear(paint(line), 100, 100), QColor(Qt::white));
    line->setAttribute(L"tyvisibility", L"visible", true);
    QCOMPARE(inkNear(paint(line), 100, 100), QColor(Qt::black));
    line->setAttribute(L"tyvisibility", L"", true);
    line->setAttribute(L"visibility", L"visible", true);
    group->setAttribute(L"display", L"none", true);
    QCOMPARE(inkNear(paint(group), 100, 100), QColor(Qt::white));
    QCOMPARE(inkNear(paint(line), 100, 100), QColor(Qt::white));
}

// A use shows the element it names where the use puts it: under its own
// matrix, moved by its x and y, then the element's own transform. The element
// itself stays where it is. One that names itself or an element that
// contains it is not painted again inside itself.
void tst_CSVGElementShapeDraw::useReferences()
{
    CSVGDocument document;
    CSVGElementShape* group = appendShape(&document, "g", "");
    CountingLine* line = appendElement(group, new CountingLine(&document));
    setAttributes(line, "points=20 0 180 0|transform=translate(0,20)");
    const QString href = "|xlink:href=#" + QString::fromStdWString(line->getId());
    CSVGElementShape* loop = appendShape(group, "use", "xlink:href=#" + QString::fromStdWString(group->getId()));
    CSVGElementShape* self = appendShape(&document, "use", "");
    self->setAttribute(L"xlink:href", L"#" + self->getId(), false);
    CSVGElementShape* moved = appendShape(&document, "use", "y=60|transform=translate(0,20)" + href);
    CSVGElementShape* again = appendShape(&document, "use", "y=140" + href);

    // Two uses showing each other's groups.
    CSVGElementShape* first = appendShape(&document, "g", "");
    CSVGElementShape* second = appendShape(&document, "g", "");
    appendShape(first, "use", "xlink:href=#" + QString::fromStdWString(second->getId()));
    appendShape(second, "use", "xlink:href=#" + QString::fromStdWString(first->getId()));
    document.updateMatrix(nullptr, false);

    // Once as the group's child, once shown by the use inside the group.
    QCOMPARE(inkNear(paint(group), 100, 20), QColor(Qt::black));
    QCOMPARE(line->count, 2);
    QImage image = paint(moved);
    QCOMPARE(inkNear(image, 100, 100), QColor(Qt::black));
    QCOMPARE(inkNear(image, 100, 20), QColor(Qt::white));
    QCOMPARE(inkNear(paint(again), 100, 160), QColor(Qt::black));
    QCOMPARE(line->getMatrix().toString(), std::wstring(L"matrix(1,0,0,1,0,20)"));
    QCOMPARE(inkNear(paint(line), 100, 20), QColor(Qt::black));
    QCOMPARE(inkNear(paint(self), 100, 20), QColor(Qt::white));
    QCOMPARE(inkNear(paint(first), 100, 100), QColor(Qt::white));
    QCOMPARE(loop->getBoundingRect().toQRectF(), QRectF(20, 20, 160, 0));
}

// A clip path applies in the coordinates of the element that names it, and
// only while that element is painted.
void tst_CSVGElementShapeDraw::clipPaths()
{
    CSVGDocument document;
    CSVGElementShape* clip = appendShape(&document, "clipPath", "");
    appendShape(clip, "rect", "width=50|height=200");
    CSVGElementShape* group = appendShape(&document, "g", "");
    setAttributes(group, "transform=translate(100,0)|clip-path=url(#" + QString::fromStdWString(clip->getId()) + ")");
    CSVGElementPolyline* clipped
        = appendShape<CSVGElementPolyline>(group, "polyline", "points=-80 100 80 100|transform=translate(-20,0)");
    CSVGElementPolyline* free = appendShape<CSVGElementPolyline>(&document, "polyline", "points=0 150 200 150");
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
