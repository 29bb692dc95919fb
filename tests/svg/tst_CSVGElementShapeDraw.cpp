#include "CGlobalConfig.h"
#include "CSVGElementPolygon.h"
#include "SvgCodes.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <QImage>
#include <QJsonObject>
#include <QPainter>

#include <algorithm>

namespace {

const QColor kPurple(128, 0, 255);

enum Look { Plain = 0, Selected = 1, Highlighted = 2, OffScreen = 4 };

// The shape, and then the next one with the same painter.
QImage paint(CSVGElementShape* shape, int look = Plain, double painterScale = 1.0, CSVGElementShape* next = nullptr)
{
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(painterScale, painterScale);
    for (CSVGElementShape* painted : { shape, next }) {
        if (painted)
            painted->draw(&painter, CSVGMatrix(), look & Selected, look & Highlighted, !(look & OffScreen), false);
    }
    return image;
}

QColor at(const QImage& image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

// w(hite), k (black), r(ed), b(lue), p(urple), g(rey), or ? for another.
char letter(const QColor& colour)
{
    const QColor known[] = { Qt::white, Qt::black, Qt::red, Qt::blue, kPurple, Qt::gray };
    return "wkrbpg?"[std::find(std::begin(known), std::end(known), colour) - std::begin(known)];
}

// The letters of the pixels at the points.
QString colours(const QImage& image, std::initializer_list<QPoint> points)
{
    QString letters;
    for (const QPoint& point : points)
        letters += QLatin1Char(letter(at(image, point.x(), point.y())));
    return letters;
}

// The letter of the first pixel that is not white in the rows y - 1 ... y + 1.
char ink(const QImage& image, int x, int y)
{
    for (int row = y - 1; row <= y + 1; ++row) {
        if (at(image, x, row) != Qt::white)
            return letter(at(image, x, row));
    }
    return 'w';
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

QString ref(const CSVGElement* element)
{
    return "xlink:href=#" + QString::fromStdWString(element->getId());
}

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
    void vertexMarkersAndHighlightRecords();
    void positions();
    void useReferences();
    void nestedUsesAreBounded();
    void clipPaths();
};

void tst_CSVGElementShapeDraw::cleanup()
{
    QSettings().remove(QStringLiteral("hpgl"));
}

// A line in a group; its left half has marked nodes.
void tst_CSVGElementShapeDraw::penColour_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("attributes");
    QTest::addColumn<int>("look");
    QTest::addColumn<int>("mode");
    QTest::addColumn<char>("colour");
    const auto row = [](const char* name, const char* group, const char* attributes, int look, int mode, char colour) {
        QTest::newRow(name) << QString(group) << "points=20 100 180 100|" + QString(attributes) << look << mode
                            << colour;
    };
    row("plain", "", "", Plain, 0, 'k');
    row("selected", "", "", Selected, 0, 'p');
    row("highlighted", "", "", Selected | Highlighted, 0, 'r');
    row("marked nodes while deleting", "", "", Selected, 28, 'r');
    row("marked nodes otherwise", "", "", Selected, 27, 'p');
    // The outline is drawn whatever the element's own stroke says.
    row("tear line", "", "tear_line=true|stroke=none", Selected | Highlighted, 0, 'g');
    row("hidden", "", "visibility=hidden", Plain, 0, 'w');
    row("hidden, shown after all", "", "visibility=hidden|tyvisibility=visible", Plain, 0, 'k');
    row("group not displayed", "display=none", "visibility=visible", Plain, 0, 'w');
}

void tst_CSVGElementShapeDraw::penColour()
{
    QFETCH(QString, group);
    QFETCH(QString, attributes);
    QFETCH(int, look);
    QFETCH(int, mode);
    QFETCH(char, colour);
    CSVGDocument document;
    auto* polyline = appendShape<CSVGElementPolyline>(appendShape(&document, "g", group), "polyline", attributes);
    polyline->selectNodesInRect(CSVGRect(0, 0, 50, 200));
    document.setEditMode(mode);
    QCOMPARE(ink(paint(polyline, look | OffScreen), 100, 100), colour);
    QVERIFY(!polyline->isModified());
    if (colour != 'w')
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
    QTest::addColumn<QString>("markers");
    const auto row = [](const char* name, const char* tag, const char* attributes, const char* markers) {
        QTest::newRow(name) << QString(tag) << QString(attributes) << QString(markers);
    };
    row("open polyline", "polyline", "points=20 20 180 180", "rr");
    row("polygon", "polygon", "points=20 20 180 20 180 180", "ww");
    row("closed path", "path", "d=M20 20 L180 20 L180 180 Z", "ww");
    row("open path", "path", "d=M20 20 L180 20 L180 180", "rr");
    row("polyline back to its start", "polyline", "points=20 20 180 20 180 180 20 20", "ww");
}

// An 8 x 8 red square on each end, beside the outline; on screen only.
void tst_CSVGElementShapeDraw::endMarkersOnlyOnOpenOutlines()
{
    QFETCH(QString, tag);
    QFETCH(QString, attributes);
    QFETCH(QString, markers);
    CSVGDocument document;
    auto* shape = appendShape(&document, tag, attributes);
    QCOMPARE(colours(paint(shape), { { 17, 23 }, { 183, 177 } }), markers);
    QCOMPARE(colours(paint(shape, OffScreen), { { 17, 23 } }), QStringLiteral("w"));
}

// Selected in an outline-editing mode: blue vertices, the first one larger,
// the marked ones red. The document's records instead: nodes in mode 27, the
// two ends of each line while a path is drawn.
void tst_CSVGElementShapeDraw::vertexMarkersAndHighlightRecords()
{
    CSVGDocument document;
    CSVGElementPolyline* square = appendShape<CSVGElementPolygon>(&document, "polygon", kSquare);
    square->selectNodesInRect(CSVGRect(170, 170, 20, 20));
    document.setEditMode(21);
    const std::initializer_list<QPoint> vertices = { { 16, 16 }, { 178, 17 }, { 176, 16 }, { 182, 182 } };
    QCOMPARE(colours(paint(square, Selected), vertices), QStringLiteral("bbwr"));
    QCOMPARE(colours(paint(square), vertices), QStringLiteral("wwww"));
    for (const int mode : { 28, 0 }) {
        document.setEditMode(mode);
        QCOMPARE(colours(paint(square, Selected), vertices), QStringLiteral("wwww"));
    }

    auto* record = new CSVGHighlight(square, Qt::green);
    for (int i = 0; i < 3; ++i)
        record->nodes.append({ QPointF(100, 50 + 50 * i), Qt::green, i, -1, square });
    record->lines.append({ 40, 60, 160, 60 });
    document.getHighlightList().addRecord(record);
    document.getHighlightList().setMarkedNodes({ record->nodes[1] });
    document.setCurrentNode(record->nodes[2]);
    const std::initializer_list<QPoint> records = { { 102, 52 }, { 102, 102 }, { 102, 152 }, { 42, 62 } };
    document.setEditMode(27);
    QImage image = paint(square, Selected);
    QCOMPARE(colours(image, records), QStringLiteral("brrw"));
    QCOMPARE(at(image, 100, 60), QColor(Qt::white));
    document.setEditMode(EditMode::Path);
    image = paint(square, Selected);
    QCOMPARE(colours(image, records), QStringLiteral("wwwb"));
    QCOMPARE(ink(image, 100, 60), 'b');
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

// A use shows the element it names where the use puts it: under its own
// matrix, moved by its x and y, then the element's own transform. The element
// itself stays where it is. One that names itself or an element that
// contains it paints nothing.
void tst_CSVGElementShapeDraw::useReferences()
{
    CSVGDocument document;
    CSVGElementShape* group = appendShape(&document, "g", "");
    CountingLine* line = appendElement(group, new CountingLine(&document));
    setAttributes(line, "points=20 0 180 0|transform=translate(0,20)");
    appendShape(group, "use", ref(group));
    CSVGElementShape* self = appendShape(&document, "use", "");
    self->setAttribute(L"xlink:href", L"#" + self->getId(), false);
    CSVGElementShape* moved = appendShape(&document, "use", "y=60|transform=translate(0,20)|" + ref(line));
    CSVGElementShape* again = appendShape(&document, "use", "y=140|" + ref(line));
    // Two uses showing each other's groups.
    CSVGElementShape* first = appendShape(&document, "g", "");
    CSVGElementShape* second = appendShape(&document, "g", "");
    appendShape(first, "use", ref(second));
    appendShape(second, "use", ref(first));
    document.updateMatrix(nullptr, false);

    // Once as the group's child; the use inside the group shows nothing.
    QCOMPARE(ink(paint(group), 100, 20), 'k');
    QCOMPARE(line->count, 1);
    QCOMPARE(QString() + ink(paint(moved), 100, 100) + ink(paint(moved), 100, 20), QStringLiteral("kw"));
    QCOMPARE(ink(paint(again), 100, 160), 'k');
    QCOMPARE(line->getMatrix().toString(), std::wstring(L"matrix(1,0,0,1,0,20)"));
    QCOMPARE(ink(paint(line), 100, 20), 'k');
    QCOMPARE(ink(paint(self), 100, 20), 'w');
    QCOMPARE(ink(paint(first), 100, 100), 'w');
}

// Thirty levels of groups of two uses of the level below would paint the
// bottom line 2^30 times; one draw stops after a budget and says so once.
// Measuring keeps each level's box and finishes.
void tst_CSVGElementShapeDraw::nestedUsesAreBounded()
{
    CSVGDocument document;
    CSVGElement* defs = appendNew(&document, L"defs");
    CountingLine* line = appendElement(defs, new CountingLine(&document));
    setAttributes(line, "points=20 100 180 100");
    CSVGElement* level = line;
    for (int n = 1; n <= 30; ++n) {
        CSVGElementShape* group = appendShape(defs, "g", "");
        appendShape(group, "use", ref(level));
        appendShape(group, "use", ref(level));
        level = group;
    }
    CSVGElementShape* top = appendShape(&document, "use", ref(level));
    document.updateMatrix(nullptr, false);
    QCOMPARE(top->getTransformedBoundingRect().toQRectF(), QRectF(20, 100, 160, 0));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Painting stopped after \\d+ elements shown through use"));
    QCOMPARE(ink(paint(top), 100, 100), 'k');
    QVERIFY2(line->count < 100000, qPrintable(QString::number(line->count)));
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
    const QImage image = paint(clipped, OffScreen, 1.0, free);
    // Clipping paints with antialiasing: grey, not black.
    QVERIFY(ink(image, 140, 100) != 'w');
    QCOMPARE(QString() + ink(image, 90, 100) + ink(image, 155, 100) + ink(image, 20, 150), QStringLiteral("wwk"));
}

ZOCUT_TEST_MAIN(tst_CSVGElementShapeDraw)
#include "tst_CSVGElementShapeDraw.moc"
