#include "CSVGElementPath.h"
#include "CSVGShapeBoolean.h"
#include "CSVGUtils.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>

Q_DECLARE_METATYPE(QPainterPath)

namespace {
// The rings of the elements, each as its flattened outline.
QList<QPolygonF> rings(const QList<CSVGElement*>& elements)
{
    QList<QPolygonF> result;
    for (CSVGElement* element : elements) {
        std::vector<CSVGOutline> outlines;
        CSVGUtils::collectOutlines(element, outlines);
        for (const CSVGOutline& outline : outlines)
            result.append(outline.path.toFillPolygon());
    }
    return result;
}

// The area that a unit fills when its rings are a piece and its holes.
double unitArea(CSVGElement* unit)
{
    std::vector<double> areas;
    for (const QPolygonF& ring : rings({ unit }))
        areas.push_back(std::abs(CSVGUtils::signedArea(ring)));
    std::sort(areas.begin(), areas.end());
    double area = areas.empty() ? 0 : areas.back();
    for (std::size_t i = 0; i + 1 < areas.size(); ++i)
        area -= areas[i];
    return area;
}

QString describe(const QList<CSVGElement*>& units)
{
    QStringList parts;
    for (CSVGElement* unit : units) {
        parts << QStringLiteral("%1:%2:%3")
                     .arg(QString::fromStdWString(unit->getTagName()), QString::number(std::round(unitArea(unit))),
                         QString::fromStdWString(unit->getAttribute(L"position_id")));
    }
    return parts.join(' ');
}

QJsonArray toJson(const QList<QPolygonF>& polygons)
{
    QJsonArray array;
    for (const QPolygonF& polygon : polygons) {
        QJsonArray points;
        for (const QPointF& p : polygon)
            points.append(QJsonArray { p.x(), p.y() });
        array.append(points);
    }
    return array;
}

// A star-shaped polygon around the centre, in whole hundredths as "d" keeps
// them. With 6 corners or more it holds the circle of 0.17 size around the
// centre.
QPolygonF randomStar(QRandomGenerator& random, const QPointF& centre, double size, int corners)
{
    QPolygonF star;
    for (int k = 0; k < corners; ++k) {
        const double angle = 2 * M_PI * (k + random.bounded(0.8)) / corners;
        const QPointF p = centre + size * (0.3 + random.bounded(0.7)) * QPointF(std::cos(angle), std::sin(angle));
        star.append(QPointF(std::round(p.x() * 100) / 100, std::round(p.y() * 100) / 100));
    }
    return star;
}

QString pathData(const QList<QPolygonF>& polygons)
{
    QString data = QStringLiteral("d=");
    for (const QPolygonF& polygon : polygons) {
        for (int i = 0; i < polygon.size(); ++i)
            data += QStringLiteral("%1%2 %3 ").arg(i == 0 ? 'M' : 'L').arg(polygon[i].x()).arg(polygon[i].y());
        data += QStringLiteral("Z ");
    }
    return data;
}
} // namespace

class tst_CSVGShapeBoolean : public QObject
{
    Q_OBJECT
private slots:
    void unite_data();
    void unite();
    void cutByLine_data();
    void cutByLine();
    void unusableInputChangesNothing();
    void uniteMatchesShapely();
};

void tst_CSVGShapeBoolean::unite_data()
{
    QTest::addColumn<QStringList>("pieces");
    QTest::addColumn<QString>("expected");
    QTest::newRow("overlapping") << QStringList { squareData(0, 0, 10) + "|position_id=a",
        squareData(5, 5, 10) + "|position_id=b" }
                                 << "path:175:b";
    QTest::newRow("a hole") << QStringList { "d=M0 0 L10 0 L10 10 L0 10 Z M2 2 L2 4 L4 4 L4 2 Z|position_id=a" }
                            << "g:96:a";
    QTest::newRow("disjoint, ascending") << QStringList { squareData(0, 0, 10) + "|position_id=a",
        squareData(20, 0, 3) + "|position_id=b" }
                                         << "path:9:b path:100:b";
    QTest::newRow("a piece without outline takes no part")
        << QStringList { squareData(0, 0, 10) + "|position_id=a", "d=|position_id=b" } << "path:100:a";
    QTest::newRow("in canvas coordinates")
        << QStringList { squareData(0, 0, 10), squareData(0, 0, 10) + "|transform=translate(5,0)" } << "path:150:";
}

void tst_CSVGShapeBoolean::unite()
{
    QFETCH(QStringList, pieces);
    QFETCH(QString, expected);
    TestDrawing drawing;
    QList<CSVGElement*> shapes { nullptr, appendNew(drawing.root, L"title") };
    for (const QString& piece : pieces)
        shapes.append(drawing.addPath(piece));
    const QList<CSVGElement*> units = CSVGShapeBoolean(&drawing.document).unite(shapes);
    QCOMPARE(describe(units), expected);
    for (CSVGElement* unit : units) {
        QCOMPARE(unit->getParent(), drawing.root);
        for (int i = 0; i < unit->getChildCount(); ++i)
            QCOMPARE(unit->getChild(i)->getAttribute(L"position_id"), unit->getAttribute(L"position_id"));
    }
}

void tst_CSVGShapeBoolean::cutByLine_data()
{
    QTest::addColumn<QPainterPath>("line");
    QTest::addColumn<QString>("expected");
    const auto segment = [](double x1, double y1, double x2, double y2) {
        QPainterPath path(QPointF(x1, y1));
        path.lineTo(x2, y2);
        return path;
    };
    QPainterPath window;
    window.addRect(120, 30, 10, 10);
    QPainterPath cover;
    cover.addRect(50, -50, 300, 300);
    QTest::newRow("across") << segment(90, 30, 210, 30) << "path:3000:p path:7000:p";
    QTest::newRow("along 45 degrees") << segment(90, -10, 210, 110) << "path:5000:p path:5000:p";
    QTest::newRow("along 225 degrees") << segment(210, 110, 90, -10) << "path:5000:p path:5000:p";
    QTest::newRow("ending inside") << segment(90, 50, 150, 50) << "path:10000:p";
    QTest::newRow("a closed window") << window << "g:9900:p";
    QTest::newRow("around everything") << cover << "";
}

// The square lies at (100, 0) in canvas coordinates, where the line is.
void tst_CSVGShapeBoolean::cutByLine()
{
    QFETCH(QPainterPath, line);
    QFETCH(QString, expected);
    TestDrawing drawing;
    CSVGElement* square = drawing.addPath(squareData(0, 0, 100) + "|transform=translate(100,0)|position_id=p");
    const QList<CSVGElement*> pieces = CSVGShapeBoolean(&drawing.document).cutByLine(square, line);
    QCOMPARE(describe(pieces), expected);
    QCOMPARE(drawing.root->getChildCount(), 1 + pieces.size());
}

void tst_CSVGShapeBoolean::unusableInputChangesNothing()
{
    CSVGDocument bare;
    QPainterPath rect;
    rect.addRect(0, 0, 5, 5);
    CSVGElement* loose = bare.createPathElement(rect);
    QVERIFY(CSVGShapeBoolean(&bare).unite({ loose }).isEmpty());
    QVERIFY(CSVGShapeBoolean(&bare).cutByLine(loose, QPainterPath()).isEmpty());
    delete loose;

    TestDrawing drawing;
    CSVGElement* huge = drawing.addPath(squareData(0, 0, 1e15));
    CSVGElement* square = drawing.addPath(squareData(0, 0, 10));
    CSVGShapeBoolean boolean(&drawing.document);
    QVERIFY(boolean.unite({ square, huge }).isEmpty());
    QPainterPath far(QPointF(-1e15, 5));
    far.lineTo(20, 5);
    QVERIFY(boolean.cutByLine(square, far).isEmpty());
    QCOMPARE(drawing.root->getChildCount(), 2);
}

// Random star-shaped pieces, some with a hole, united here and by Shapely.
void tst_CSVGShapeBoolean::uniteMatchesShapely()
{
    QRandomGenerator random(11);
    QJsonArray cases;
    for (int round = 0; round < 30; ++round) {
        TestDrawing drawing;
        QList<CSVGElement*> pieces;
        QJsonArray input;
        for (int count = 2 + random.bounded(12); count > 0; --count) {
            const QPointF centre(random.bounded(100.0), random.bounded(100.0));
            const double size = 10 + random.bounded(30.0);
            QList<QPolygonF> polygons { randomStar(random, centre, size, 6 + random.bounded(8)) };
            if (random.bounded(4) == 0)
                polygons.append(randomStar(random, centre, size * 0.15, 3 + random.bounded(8)));
            pieces.append(drawing.addPath(pathData(polygons)));
            input.append(toJson(polygons));
        }
        QJsonArray units;
        for (CSVGElement* unit : CSVGShapeBoolean(&drawing.document).unite(pieces)) {
            QList<QPolygonF> unitRings = rings({ unit });
            std::sort(unitRings.begin(), unitRings.end(), [](const QPolygonF& a, const QPolygonF& b) {
                return std::abs(CSVGUtils::signedArea(a)) < std::abs(CSVGUtils::signedArea(b));
            });
            units.append(toJson(unitRings));
        }
        cases.append(QJsonObject { { "input", input }, { "units", units } });
    }
    QTemporaryFile file;
    QVERIFY(file.open());
    file.write(QJsonDocument(cases).toJson(QJsonDocument::Compact));
    file.flush();

    QProcess python;
    python.start(QStringLiteral(ZOCUT_SYSTEM_PYTHON), { QStringLiteral(ZOCUT_SHAPELY_SCRIPT), file.fileName() });
    QVERIFY(python.waitForFinished(60000));
    if (python.error() == QProcess::FailedToStart || python.exitCode() == 3)
        QSKIP("Debian's python3-shapely is not installed");
    QVERIFY2(python.exitCode() == 0, python.readAllStandardError().constData());
    const QJsonArray results = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    QCOMPARE(results.size(), cases.size());
    for (const QJsonValue& value : results) {
        const QJsonObject result = value.toObject();
        // "d" keeps two decimals, so every point may move by half a hundredth.
        const double tolerance = 0.01 * result["length"].toDouble();
        QVERIFY2(result["difference"].toDouble() <= tolerance && result["misnested"].toInt() == 0,
            QJsonDocument(result).toJson().constData());
    }
}

ZOCUT_TEST_MAIN(tst_CSVGShapeBoolean)
#include "tst_CSVGShapeBoolean.moc"
