#include "CSVGShapeBoolean.h"
#include "CSVGUtils.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>

#include <cmath>

Q_DECLARE_METATYPE(QPainterPath)

namespace {
// The result rings keep the library's orientation, a hole against its
// outline, so their signed areas add up to the area filled.
QString describe(const QList<CSVGElement*>& units)
{
    QStringList parts;
    for (CSVGElement* unit : units) {
        double area = 0;
        for (CSVGElement* leaf : CSVGUtils::collectShapes(unit)) {
            for (const QPolygonF& ring : CSVGElementShape::asShape(leaf)->getPainterPath().toSubpathPolygons())
                area += CSVGUtils::signedArea(ring);
        }
        parts << QStringLiteral("%1:%2:%3")
                     .arg(QString::fromStdWString(unit->getTagName()))
                     .arg(std::round(std::abs(area)))
                     .arg(QString::fromStdWString(unit->getAttribute(L"position_id")));
    }
    return parts.join(' ');
}

// A star-shaped ring around the centre in whole hundredths, as "d" keeps
// them. With 6 corners or more it holds the circle of 0.17 size around it.
QString starData(QRandomGenerator& random, const QPointF& centre, double size, int corners)
{
    QString data;
    for (int k = 0; k < corners; ++k) {
        const double angle = 2 * M_PI * (k + random.bounded(0.8)) / corners;
        const QPointF p = centre + size * (0.3 + random.bounded(0.7)) * QPointF(std::cos(angle), std::sin(angle));
        data += QStringLiteral("%1%2 %3 ").arg(k == 0 ? 'M' : 'L').arg(p.x(), 0, 'f', 2).arg(p.y(), 0, 'f', 2);
    }
    return data + "Z ";
}
} // namespace

class tst_CSVGShapeBoolean : public QObject
{
    Q_OBJECT
private slots:
    void operation_data();
    void operation();
    void uniteMatchesShapely();
    void plainRingsUniteAsInGroups();
};

// An empty line unites the pieces; any other cuts the first piece. The new
// elements take the "position_id" of the largest outline of the last piece
// with an outline.
void tst_CSVGShapeBoolean::operation_data()
{
    QTest::addColumn<QStringList>("pieces");
    QTest::addColumn<QPainterPath>("line");
    QTest::addColumn<QString>("expected");
    const QString a = squareData(0, 0, 10) + "|position_id=a";
    QTest::newRow("a hole") << QStringList { squareData(0, 0, 10) + " M2 2 L2 4 L4 4 L4 2 Z|position_id=a" }
                            << QPainterPath() << "g:96:a";
    QTest::newRow("disjoint, ascending") << QStringList { a, squareData(20, 0, 3) + "|position_id=b", "d=" }
                                         << QPainterPath() << "path:9:b path:100:b";
    QTest::newRow("out of range") << QStringList { a, squareData(0, 0, 1e15) } << QPainterPath() << "";
    // The square lies at (100, 0) in canvas coordinates, where the line is.
    const QStringList square { squareData(0, 0, 100) + "|transform=translate(100,0)|position_id=p" };
    QPainterPath across(QPointF(90, 30)), diagonal(QPointF(90, -10)), window;
    across.lineTo(210, 30);
    diagonal.lineTo(210, 110);
    window.addRect(120, 30, 10, 10);
    QTest::newRow("cut across") << square << across << "path:3000:p path:7000:p";
    QTest::newRow("cut along 45 degrees") << square << diagonal << "path:5000:p path:5000:p";
    QTest::newRow("cut out a window") << square << window << "g:9900:p";
}

void tst_CSVGShapeBoolean::operation()
{
    QFETCH(QStringList, pieces);
    QFETCH(QPainterPath, line);
    QFETCH(QString, expected);
    TestDrawing drawing;
    QList<CSVGElement*> shapes { nullptr, appendNew(drawing.root, L"title") };
    for (const QString& piece : pieces)
        shapes.append(drawing.addPath(piece));
    CSVGShapeBoolean boolean(&drawing.document);
    const QList<CSVGElement*> units = line.isEmpty() ? boolean.unite(shapes) : boolean.cutByLine(shapes[2], line);
    QCOMPARE(describe(units), expected);
    QCOMPARE(drawing.root->getChildCount(), 1 + pieces.size() + units.size());
    for (CSVGElement* unit : units) {
        for (CSVGElement* leaf : CSVGUtils::collectShapes(unit))
            QCOMPARE(leaf->getAttribute(L"position_id"), unit->getAttribute(L"position_id"));
    }
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
            QString data = starData(random, centre, size, 6 + random.bounded(8));
            if (random.bounded(4) == 0)
                data += starData(random, centre, size * 0.15, 3 + random.bounded(8));
            pieces.append(drawing.addPath("d=" + data));
            input.append(QJsonArray { data });
        }
        QJsonArray units;
        for (CSVGElement* unit : CSVGShapeBoolean(&drawing.document).unite(pieces)) {
            QJsonArray rings;
            for (CSVGElement* leaf : CSVGUtils::collectShapes(unit))
                rings.append(QString::fromStdWString(leaf->getAttribute(L"d")));
            units.append(rings);
        }
        cases.append(QJsonObject { { "input", input }, { "units", units } });
    }
    QProcess python;
    python.start(QStringLiteral(ZOCUT_SYSTEM_PYTHON), { QStringLiteral(ZOCUT_SHAPELY_SCRIPT) });
    python.write(QJsonDocument(cases).toJson(QJsonDocument::Compact));
    python.closeWriteChannel();
    QVERIFY(python.waitForFinished(60000));
    if (python.error() == QProcess::FailedToStart || python.exitCode() == 3)
        QSKIP("Debian's python3-shapely is not installed");
    QVERIFY2(python.exitCode() == 0, python.readAllStandardError().constData());
    const QJsonArray results = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    QCOMPARE(results.size(), cases.size());
    for (const QJsonValue& value : results) {
        const QJsonObject result = value.toObject();
        // "d" keeps two decimals, so every point may move by half a hundredth.
        QVERIFY2(
            result["difference"].toDouble() <= 0.01 * result["length"].toDouble() && result["misnested"].toInt() == 0,
            QJsonDocument(result).toJson().constData());
    }
}

// Pieces of one straight-edged ring, each alone and each in a group of its
// own (which takes the way of nesting and flattening), unite alike: drawn
// either way round, moved, mirrored, with a point repeated or a curve.
void tst_CSVGShapeBoolean::plainRingsUniteAsInGroups()
{
    const auto rings = [](const QList<CSVGElement*>& units) {
        QStringList text;
        for (CSVGElement* unit : units) {
            text << QString::fromStdWString(unit->getTagName());
            for (CSVGElement* leaf : CSVGUtils::collectShapes(unit))
                text << QString::fromStdWString(leaf->getAttribute(L"d"));
        }
        return text;
    };
    QRandomGenerator random(5);
    for (int round = 0; round < 20; ++round) {
        TestDrawing alone;
        TestDrawing grouped;
        QList<CSVGElement*> pieces;
        QList<CSVGElement*> groups;
        for (int count = 2 + random.bounded(10); count > 0; --count) {
            const QPointF centre(random.bounded(100.0), random.bounded(100.0));
            QString data = starData(random, centre, 10 + random.bounded(30.0), 3 + random.bounded(10));
            if (random.bounded(8) == 0)
                data.replace("Z", QStringLiteral("L%1 %2 L%1 %2 Z").arg(centre.x()).arg(centre.y()));
            else if (random.bounded(8) == 0)
                data.replace("Z", QStringLiteral("Q%1 %2 %1 %3 Z").arg(centre.x()).arg(centre.y()).arg(centre.y() + 5));
            const QString attributes = QStringLiteral("d=%1|transform=translate(%2 3) scale(%3 1)")
                                           .arg(data)
                                           .arg(random.bounded(50))
                                           .arg(random.bounded(2) ? 1 : -1);
            pieces.append(alone.addPath(attributes));
            groups.append(appendNew(grouped.root, L"g"));
            grouped.addPath(attributes, groups.last());
        }
        const QStringList united = rings(CSVGShapeBoolean(&alone.document).unite(pieces));
        QVERIFY(!united.isEmpty());
        QCOMPARE(united, rings(CSVGShapeBoolean(&grouped.document).unite(groups)));
    }
}

ZOCUT_TEST_MAIN(tst_CSVGShapeBoolean)
#include "tst_CSVGShapeBoolean.moc"
