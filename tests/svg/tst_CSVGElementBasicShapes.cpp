#include "CGlobalConfig.h"
#include "CSVGElementShape.h"
#include "TestElements.h"
#include "TestEnvironment.h"

namespace {

// A shape of the tag with the attributes, as a reader sets them, its matrix
// up to date.
CSVGElementShape* makeShape(CSVGDocument& document, const QString& tag, const QString& attributes)
{
    CSVGElementShape* shape = appendShape(&document, tag, attributes);
    document.updateMatrix(nullptr, false);
    return shape;
}

bool near(const QRectF& a, const QRectF& b)
{
    const double tolerance = 1e-6;
    return qAbs(a.x() - b.x()) < tolerance && qAbs(a.y() - b.y()) < tolerance && qAbs(a.width() - b.width()) < tolerance
        && qAbs(a.height() - b.height()) < tolerance;
}

QString text(const QRectF& r)
{
    return QStringLiteral("%1 %2 %3 %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

} // namespace

class tst_CSVGElementBasicShapes : public QObject
{
    Q_OBJECT
private slots:
    void geometry_data();
    void geometry();
    void hitTolerance_data();
    void hitTolerance();
    void outline_data();
    void outline();
    void commit_data();
    void commit();
    void handles_data();
    void handles();
};

void tst_CSVGElementBasicShapes::geometry_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("attributes");
    QTest::addColumn<QRectF>("box");
    QTest::addColumn<QRectF>("canvas");
    QTest::addColumn<QString>("written");
    QTest::newRow("rect") << "rect"
                          << "x=10|y=20|width=30|height=40.5|transform=translate(5,0)" << QRectF(10, 20, 30, 40.5)
                          << QRectF(15, 20, 30, 40.5)
                          << "<rect x=\"10\" y=\"20\" width=\"30\" height=\"40.5\" transform=\"translate(5,0)\"/>";
    // The box keeps the negative width; the outline is where the rectangle is.
    QTest::newRow("rect, negative width") << "rect"
                                          << "x=10|width=-30|height=5" << QRectF(10, 0, -30, 5) << QRectF(-20, 0, 30, 5)
                                          << "<rect x=\"10\" width=\"-30\" height=\"5\"/>";
    QTest::newRow("rect, points") << "rect"
                                  << "width=3pt|height=1.5pt" << QRectF(0, 0, 3.999118, 1.999559)
                                  << QRectF(0, 0, 3.999118, 1.999559) << "<rect width=\"3pt\" height=\"1.5pt\"/>";
    QTest::newRow("circle") << "circle"
                            << "cx=50|cy=40|r=10|transform=scale(2)|fill=red" << QRectF(40, 30, 20, 20)
                            << QRectF(80, 60, 40, 40)
                            << "<circle fill=\"red\" cx=\"50\" cy=\"40\" r=\"10\" transform=\"scale(2)\"/>";
    QTest::newRow("circle, negative radius") << "circle"
                                             << "cx=50|cy=40|r=-10" << QRectF(60, 50, -20, -20)
                                             << QRectF(40, 30, 20, 20) << "<circle cx=\"50\" cy=\"40\" r=\"-10\"/>";
    QTest::newRow("ellipse") << "ellipse"
                             << "rx=20|ry=10|transform=rotate(90)" << QRectF(-20, -10, 40, 20)
                             << QRectF(-10, -20, 20, 40) << "<ellipse rx=\"20\" ry=\"10\" transform=\"rotate(90)\"/>";
    QTest::newRow("line") << "line"
                          << "x1=30|y1=10|x2=0|y2=20|stroke-width=4" << QRectF(0, 10, 30, 10) << QRectF(0, 10, 30, 10)
                          << "<line stroke-width=\"4\" x1=\"30\" x2=\"0\" y1=\"10\" y2=\"20\"/>";
}

// Attributes in, SVG text out as they came; bounds in the element's own and
// in canvas coordinates.
void tst_CSVGElementBasicShapes::geometry()
{
    QFETCH(QString, tag);
    QFETCH(QString, attributes);
    QFETCH(QRectF, box);
    QFETCH(QRectF, canvas);
    QFETCH(QString, written);
    g_config.setPointFactor(1.333039388414818);
    CSVGDocument document;
    CSVGElementShape* shape = makeShape(document, tag, attributes);
    QVERIFY2(near(shape->getBoundingRect().toQRectF(), box), qPrintable(text(shape->getBoundingRect().toQRectF())));
    const QRectF mapped = shape->getTransformedBoundingRect().toQRectF();
    QVERIFY2(near(mapped, canvas), qPrintable(text(mapped)));
    shape->removeAttribute(L"id");
    std::wstring out;
    shape->writeSvg(out, 0, CSVGRect());
    QCOMPARE(QString::fromStdWString(out), written + '\n');
    // A copy reads its fields from the copied attributes.
    auto* copy = static_cast<CSVGElementShape*>(shape->clone(true));
    document.appendChild(copy, true, false);
    QVERIFY(near(copy->getBoundingRect().toQRectF(), box));
    QCOMPARE(copy->metaObject()->className(), shape->metaObject()->className());
}

void tst_CSVGElementBasicShapes::hitTolerance_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("attributes");
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<bool>("hit");
    const QString stroked = "x=10|y=10|width=20|height=20|stroke-width=2";
    QTest::newRow("rect, inside the stroke") << "rect" << stroked << QPointF(8.5, 15) << true;
    QTest::newRow("rect, beyond the stroke") << "rect" << stroked << QPointF(7.5, 15) << false;
    QTest::newRow("rect, unfilled inside") << "rect" << stroked + "|fill=none" << QPointF(20, 20) << true;
    QTest::newRow("rect, negative size") << "rect"
                                         << "x=30|y=30|width=-20|height=-20" << QPointF(20, 20) << true;
    QTest::newRow("rect, transformed") << "rect"
                                       << "width=10|height=10|transform=translate(100,0)" << QPointF(5, 5) << false;
    QTest::newRow("circle, stroke") << "circle"
                                    << "cx=50|cy=50|r=10|stroke-width=3" << QPointF(62.9, 50) << true;
    QTest::newRow("circle, beyond") << "circle"
                                    << "cx=50|cy=50|r=10|stroke-width=3" << QPointF(63.1, 50) << false;
    QTest::newRow("circle r=0, centre") << "circle"
                                        << "cx=50|cy=50|r=0" << QPointF(50, 50) << true;
    QTest::newRow("circle r=0, beside") << "circle"
                                        << "cx=50|cy=50|r=0" << QPointF(50.01, 50) << false;
    QTest::newRow("ellipse, x") << "ellipse"
                                << "rx=20|ry=10|stroke-width=1" << QPointF(20.9, 0) << true;
    QTest::newRow("ellipse, y") << "ellipse"
                                << "rx=20|ry=10|stroke-width=1" << QPointF(0, 12) << false;
    QTest::newRow("line, within") << "line"
                                  << "x2=100|stroke-width=3" << QPointF(50, 4) << true;
    QTest::newRow("line, beside") << "line"
                                  << "x2=100|stroke-width=3" << QPointF(50, 6) << false;
    QTest::newRow("line, beyond its end") << "line"
                                          << "x2=100|stroke-width=3" << QPointF(104, 0) << false;
    QTest::newRow("polygon, inside") << "polygon"
                                     << "points=0 0 40 0 0 40|fill=none" << QPointF(5, 5) << true;
    // The stroke does not widen a polygon.
    QTest::newRow("polygon, on the stroke") << "polygon"
                                            << "points=0 0 40 0 0 40|stroke-width=10" << QPointF(-3, 5) << false;
}

void tst_CSVGElementBasicShapes::hitTolerance()
{
    QFETCH(QString, tag);
    QFETCH(QString, attributes);
    QFETCH(QPointF, at);
    QFETCH(bool, hit);
    CSVGDocument document;
    CSVGElementShape* shape = makeShape(document, tag, attributes);
    std::wstring groupId = L"kept";
    std::wstring id;
    QCOMPARE(shape->hitTest(at.x(), int(at.y()), groupId, id), hit);
    QCOMPARE(id, hit ? shape->getId() : std::wstring());
    QCOMPARE(groupId, std::wstring(L"kept"));
}

void tst_CSVGElementBasicShapes::outline_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("attributes");
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<bool>("inside");
    QTest::newRow("rounded corner") << "rect"
                                    << "width=20|height=20|rx=5|ry=5" << QPointF(0.5, 0.5) << false;
    // "rx" alone rounds nothing: a zero radius in y stays zero.
    QTest::newRow("rx alone") << "rect"
                              << "width=20|height=20|rx=5" << QPointF(0.5, 0.5) << true;
    QTest::newRow("ellipse, negative radii") << "ellipse"
                                             << "rx=-20|ry=-10" << QPointF(19, 0) << true;
}

void tst_CSVGElementBasicShapes::outline()
{
    QFETCH(QString, tag);
    QFETCH(QString, attributes);
    QFETCH(QPointF, at);
    QFETCH(bool, inside);
    CSVGDocument document;
    QCOMPARE(makeShape(document, tag, attributes)->getPainterPath().contains(at), inside);
}

void tst_CSVGElementBasicShapes::commit_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("attributes");
    QTest::addColumn<QString>("names");
    QTest::addColumn<QString>("values");
    QTest::newRow("rect") << "rect"
                          << "x=30|y=5|width=-20|height=-5|rx=3"
                          << "x y width height rx"
                          << "10 0 20 5 3";
    QTest::newRow("empty rect") << "rect"
                                << "x=30|y=5"
                                << "x width"
                                << "30 ";
    QTest::newRow("line") << "line"
                          << "x1=30|y1=10|x2=0|y2=20"
                          << "x1 y1 x2 y2"
                          << "0 20 30 10";
    // A ring written without its closing point keeps all its corners.
    QTest::newRow("polygon") << "polygon"
                             << "points=10 0 20 10 0 10"
                             << "points"
                             << "0 10 10 0 20 10 0 10";
    QTest::newRow("closed polygon") << "polygon"
                                    << "points=10 0 20 10 0 10 10 0"
                                    << "points"
                                    << "0 10 10 0 20 10 0 10";
}

// Written back with the normalised geometry.
void tst_CSVGElementBasicShapes::commit()
{
    QFETCH(QString, tag);
    QFETCH(QString, attributes);
    QFETCH(QString, names);
    QFETCH(QString, values);
    CSVGDocument document;
    CSVGElementShape* shape = makeShape(document, tag, attributes);
    const QRectF before = shape->getTransformedBoundingRect().toQRectF();
    shape->commitGeometry();
    QStringList written;
    for (const QString& name : names.split(' '))
        written << QString::fromStdWString(shape->getAttribute(name.toStdWString()));
    QCOMPARE(written.join(' '), values);
    QCOMPARE(shape->getTransformedBoundingRect().toQRectF(), before);
}

void tst_CSVGElementBasicShapes::handles_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<int>("code");
    QTest::newRow("circle corner") << "circle" << QPointF(61, 39) << 100003;
    QTest::newRow("circle, no edge handle") << "circle" << QPointF(50, 40) << -1;
    QTest::newRow("line start") << "line" << QPointF(41, 39) << 0;
    QTest::newRow("line end") << "line" << QPointF(60, 61) << 1;
    QTest::newRow("line middle") << "line" << QPointF(50, 50) << -1;
}

// Under a view scale of 2 and the element's own offset.
void tst_CSVGElementBasicShapes::handles()
{
    QFETCH(QString, tag);
    QFETCH(QPointF, at);
    QFETCH(int, code);
    CSVGDocument document;
    const QString attributes = tag == "circle" ? "cx=50|cy=50|r=10" : "x1=40|y1=40|x2=60|y2=60";
    CSVGElementShape* shape = makeShape(document, tag, attributes + "|transform=translate(10,0)");
    CSVGMatrix view;
    view.scale(2, 2);
    QCOMPARE(shape->hitTestHandle(2 * (at.x() + 10), 2 * at.y(), view), code);
}

ZOCUT_TEST_MAIN(tst_CSVGElementBasicShapes)
#include "tst_CSVGElementBasicShapes.moc"
