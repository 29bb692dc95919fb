#include "CActionComposite.h"
#include "CActionDel.h"
#include "CSVGClipper.h"
#include "CSVGElementPath.h"
#include "CSVGElementShape.h"
#include "CSVGUtils.h"
#include "CommandDocument.h"
#include "TestEnvironment.h"

#include <QCryptographicHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <polyclipping/clipper.hpp>

#include <cmath>

namespace {

enum class Command { Group, Ungroup, BringToFront, Merge, Mirror, Offset, AutoGroup, Repair, Split };

// Pieces a and b, a group g (translated and turned, painted red with a black
// stroke) holding a blue rectangle and an unpainted triangle, then c; k is
// two squares one inside the other, for the automatic grouping.
const char* const kDrawing
    = "<path id=\"a\" d=\"M20 20 L80 20 L80 80 L20 80 Z\" fill=\"green\"/>"
      "<path id=\"b\" d=\"M60 60 L120 60 L120 120 L60 120 Z\" fill=\"orange\"/>"
      "<g id=\"g\" fill=\"red\" stroke=\"black\" transform=\"translate(200,40) rotate(30) scale(1.5)\">"
      "<path id=\"blue\" d=\"M0 0 L30 0 L30 20 L0 20 Z\" fill=\"blue\" transform=\"scale(2)\"/>"
      "<path id=\"plain\" d=\"M0 50 L50 50 L50 100 Z\"/></g>"
      "<path id=\"c\" d=\"M150 60 L200 60 L200 110 L150 110 Z\" fill=\"purple\"/>"
      "<path id=\"k\" d=\"M20 250 L120 250 L120 350 L20 350 Z M50 280 L60 280 L60 290 L50 290 Z\"/>";

void run(Command command, CSVGDocument& document)
{
    switch (command) {
    case Command::Group:
        document.groupSelection();
        break;
    case Command::Ungroup:
        document.ungroupSelection();
        break;
    case Command::BringToFront:
        document.bringToFront();
        break;
    case Command::Merge:
        document.mergeShapes();
        break;
    case Command::Mirror:
        document.mirrorBottom();
        break;
    case Command::Offset:
        document.offsetSelection(4, 0.25, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
        break;
    case Command::AutoGroup:
        document.autoGroup();
        break;
    case Command::Repair:
        document.repairData(-1);
        break;
    case Command::Split:
        document.splitShape(QPointF(70, -10), QPointF(70, 200));
        break;
    }
}

QString idsOf(const QVector<CSVGElement*>& elements)
{
    QStringList ids;
    for (const CSVGElement* element : elements)
        ids << QString::fromStdWString(element->getId());
    return ids.join(' ');
}

QString childIds(const CSVGElement* parent)
{
    QVector<CSVGElement*> children;
    for (int i = 0; i < parent->getChildCount(); ++i)
        children << parent->getChild(i);
    return idsOf(children);
}

// The written text drawn by rsvg-convert on white.
QImage render(const QString& svg)
{
    QTemporaryDir folder;
    QFile file(folder.filePath("in.svg"));
    if (!file.open(QIODevice::WriteOnly))
        return QImage();
    file.write(svg.toUtf8());
    file.close();
    const QString out = folder.filePath("out.png");
    QProcess::execute(ZOCUT_RSVG_CONVERT, { "-b", "white", "-o", out, file.fileName() });
    return QImage(out).convertToFormat(QImage::Format_RGB32);
}

// Of the pixels painted in either image, the share painted alike in both.
double overlap(const QImage& a, const QImage& b)
{
    if (a.isNull() || a.size() != b.size())
        return 0.0;
    int alike = 0;
    int painted = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QColor p = a.pixelColor(x, y);
            const QColor q = b.pixelColor(x, y);
            const bool inkP = p != Qt::white;
            const bool inkQ = q != Qt::white;
            if (!inkP && !inkQ)
                continue;
            ++painted;
            const int difference = std::max(
                { std::abs(p.red() - q.red()), std::abs(p.green() - q.green()), std::abs(p.blue() - q.blue()) });
            alike += inkP && inkQ && difference < 48;
        }
    }
    return painted ? double(alike) / painted : 1.0;
}

double polygonArea(const QPolygonF& polygon)
{
    double twice = 0;
    for (int i = 0; i < polygon.size(); ++i) {
        const QPointF& p = polygon[i];
        const QPointF& q = polygon[(i + 1) % polygon.size()];
        twice += p.x() * q.y() - q.x() * p.y();
    }
    return std::abs(twice) / 2;
}

double outlineArea(CSVGElement* element)
{
    double area = 0;
    for (const QPolygonF& ring : CSVGElementShape::asShape(element)->getTransformedPath().toSubpathPolygons())
        area += polygonArea(ring);
    return area;
}

ClipperLib::Path scaled(const QPolygonF& polygon)
{
    ClipperLib::Path path;
    for (const QPointF& p : polygon)
        path.emplace_back(ClipperLib::cInt(p.x() * 10000), ClipperLib::cInt(p.y() * 10000));
    return path;
}

double clipperArea(const ClipperLib::Paths& paths)
{
    double area = 0;
    for (const ClipperLib::Path& path : paths)
        area += ClipperLib::Area(path);
    return std::abs(area) / 1e8;
}

QPolygonF square(double x, double y, double size)
{
    return QPolygonF({ { x, y }, { x + size, y }, { x + size, y + size }, { x, y + size } });
}

// The Delete command's record: every selected piece taken out in one step.
void deleteSelected(CSVGDocument& document)
{
    auto* step = new CActionComposite(&document);
    document.getHistory().push(step);
    for (CSVGElement* element : document.getSelection()) {
        step->addAction(new CActionDel(&document, element));
        element->removeFromParent(true);
    }
    document.clearSelection();
}

// The benchmarks' pieces: 64-gons of radius 20 on a grid 30 apart, each
// overlapping its neighbours, all selected. 300 of them unite in one sweep
// whatever the number of cores.
void addOverlappingPieces(CSVGDocument& document, int count)
{
    CSVGElement* root = document.getOwnerSvg();
    for (int i = 0; i < count; ++i) {
        QPolygonF polygon;
        for (int k = 0; k < 64; ++k) {
            const double angle = k * 2 * M_PI / 64;
            polygon << QPointF(i % 100 * 30.0 + 20 * std::cos(angle), i / 100 * 30.0 + 20 * std::sin(angle));
        }
        QPainterPath path;
        path.addPolygon(polygon);
        path.closeSubpath();
        CSVGElementPath* piece = document.createPathElement(path);
        root->appendChild(piece, true, false);
        piece->updateMatrix(nullptr, false);
        document.selectElement(piece, Qt::green);
    }
}

QByteArray sha1(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex();
}

} // namespace

Q_DECLARE_METATYPE(Command)

class tst_CSVGDocumentStructure : public QObject
{
    Q_OBJECT
private slots:
    void oneUndoStep_data();
    void oneUndoStep();
    void groupingKeepsDocumentOrder();
    void ungroupDrawsAlike();
    void mirrorFlipsAboutCentreLine();
    void offsetInTransformedGroupStaysInPlace();
    void offsetGroupOfLinesKeepsTheOtherLines();
    void offsetTogetherAsOneByOne_data();
    void offsetTogetherAsOneByOne();
    void singularPiecesStayUnchanged_data();
    void singularPiecesStayUnchanged();
    void areasMatchClipper_data();
    void areasMatchClipper();
    void mergedPiecesLeaveSelection();
    void emptyUnionChangesNothing();
    void groupAutoGroupWholeHistory();
    void lockAndUnlock();
    void loadingWithUngroupDissolvesTheOneGroup();
    void newPiecesKeepThePaint_data();
    void newPiecesKeepThePaint();
    void commandsWriteAsBefore_data();
    void commandsWriteAsBefore();
};

void tst_CSVGDocumentStructure::oneUndoStep_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("selection");
    QTest::newRow("group") << Command::Group << "k c";
    QTest::newRow("ungroup") << Command::Ungroup << "g";
    QTest::newRow("bring to front") << Command::BringToFront << "a";
    QTest::newRow("merge") << Command::Merge << "a b";
    QTest::newRow("merge, selected against the drawing order") << Command::Merge << "c k a";
    QTest::newRow("mirror") << Command::Mirror << "a g";
    QTest::newRow("offset") << Command::Offset << "a g";
    QTest::newRow("automatic grouping") << Command::AutoGroup << "";
    QTest::newRow("repair") << Command::Repair << "";
}

void tst_CSVGDocumentStructure::oneUndoStep()
{
    QFETCH(Command, command);
    QFETCH(QString, selection);
    CommandDocument fixture(kDrawing);
    fixture.select(selection.split(' ', Qt::SkipEmptyParts));
    checkOneUndoStep(fixture, [&] { run(command, fixture.document); });
}

// Pieces selected in reverse, one of them added since the drawing order was
// last numbered, go into the group in document order; the group goes last.
void tst_CSVGDocumentStructure::groupingKeepsDocumentOrder()
{
    CommandDocument fixture(kDrawing);
    CSVGElement* root = fixture.document.getOwnerSvg();
    CSVGElement* late = fixture.document.createElement(L"path");
    late->setAttribute(L"id", L"late", false);
    late->setAttribute(L"d", L"M0 0 L5 0 L5 5 Z", false);
    root->insertChildBefore(late, fixture.byId("b"), true, true);
    fixture.select({ "c", "b", "late", "a" });
    fixture.document.groupSelection();
    CSVGElement* group = root->getChild(root->getChildCount() - 1);
    QCOMPARE(childIds(group), QString("a late b c"));
    QCOMPARE(idsOf(fixture.document.getSelection()), QString::fromStdWString(group->getId()));
}

// The children take the group's place between a and c, with the group's
// transform in front of their own and its paint where they had none.
void tst_CSVGDocumentStructure::ungroupDrawsAlike()
{
    CommandDocument fixture(kDrawing);
    const QImage before = render(fixture.text());
    fixture.select({ "g" });
    fixture.document.ungroupSelection();
    QCOMPARE(childIds(fixture.document.getOwnerSvg()), QString("a b blue plain c k"));
    QCOMPARE(fixture.byId("blue")->getAttribute(L"fill"), std::wstring(L"blue"));
    QCOMPARE(fixture.byId("plain")->getAttribute(L"fill"), std::wstring(L"red"));
    QVERIFY2(overlap(before, render(fixture.text())) > 0.99, "the ungrouped pieces look different");
}

void tst_CSVGDocumentStructure::mirrorFlipsAboutCentreLine()
{
    // A scaled triangle whose box spans y 150 to 250: the centre line is the
    // image's middle row.
    CommandDocument fixture("<path id=\"m\" d=\"M0 0 L40 0 L10 50 Z\" transform=\"matrix(2,0,0,2,100,150)\"/>");
    const QImage flipped = render(fixture.text()).mirrored(false, true);
    fixture.select({ "m" });
    fixture.document.mirrorBottom();
    QVERIFY2(overlap(flipped, render(fixture.text())) > 0.99, "not flipped about the centre line");
}

// A tiny offset of the larger piece inside a transformed group looks like
// the group before it; the smaller piece stays.
void tst_CSVGDocumentStructure::offsetInTransformedGroupStaysInPlace()
{
    CommandDocument fixture("<g id=\"g\" transform=\"translate(50,40) rotate(20) scale(1.5)\">"
                            "<path id=\"big\" d=\"M10 10 L110 10 L110 90 L10 90 Z\"/>"
                            "<path id=\"small\" d=\"M130 10 L145 10 L145 25 L130 25 Z\"/></g>",
        "fill=\"black\"");
    fixture.document.setSelectionAttributes({ L"fill", L"stroke" }, { L"#000000", L"none" }, true);
    const QImage before = render(fixture.text());
    fixture.select({ "g" });
    fixture.document.offsetSelection(0.01, 0.25, ClipperLib::jtMiter, ClipperLib::etClosedPolygon);
    QVERIFY(!fixture.byId("big"));
    QCOMPARE(fixture.byId("small")->getParent(), fixture.byId("g"));
    QVERIFY2(overlap(before, render(fixture.text())) > 0.99, "the offset outline moved");
}

void tst_CSVGDocumentStructure::offsetGroupOfLinesKeepsTheOtherLines()
{
    CommandDocument fixture("<g id=\"g\"><line id=\"one\" x1=\"0\" y1=\"5\" x2=\"50\" y2=\"5\"/>"
                            "<line id=\"two\" x1=\"0\" y1=\"30\" x2=\"80\" y2=\"30\"/></g>");
    fixture.select({ "g" });
    fixture.document.offsetSelection(2, 0.25, ClipperLib::jtRound, ClipperLib::etOpenRound);
    CSVGElement* group = fixture.byId("g");
    QVERIFY(group && !fixture.byId("one") && fixture.byId("two"));
    QCOMPARE(group->getChildCount(), 2);
    QCOMPARE(group->getChild(1)->getTagName(), std::wstring(L"path"));
}

// Random pieces, some in turned groups: offset together they end as offset
// one after another.
void tst_CSVGDocumentStructure::offsetTogetherAsOneByOne_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QStringList>("selection");
    QRandomGenerator random(5);
    QString body;
    QStringList ids;
    for (int i = 0; i < 40; ++i) {
        QString points;
        const int corners = 3 + random.bounded(6);
        for (int k = 0; k < corners; ++k) {
            const double angle = 2 * M_PI * k / corners;
            const double radius = 5 + random.bounded(10.0);
            points += QString(" %1 %2")
                          .arg(i % 8 * 45 + 20 + radius * std::cos(angle))
                          .arg(i / 8 * 45 + 20 + radius * std::sin(angle));
        }
        const QString piece = QString("<polygon id=\"p%1\" points=\"%2\"/>").arg(i).arg(points);
        body += i % 3 ? piece : QString("<g transform=\"rotate(%1 200 200)\">%2</g>").arg(i).arg(piece);
        ids << QString("p%1").arg(i);
    }
    QTest::newRow("pieces apart") << body << ids;
}

void tst_CSVGDocumentStructure::offsetTogetherAsOneByOne()
{
    QFETCH(QString, body);
    QFETCH(QStringList, selection);
    CommandDocument together(body);
    together.select(selection);
    together.document.offsetSelection(2, 0.25, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
    CommandDocument oneByOne(body);
    for (const QString& id : selection) {
        oneByOne.select({ id });
        oneByOne.document.offsetSelection(2, 0.25, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
    }
    // Made ids count on across documents.
    const auto withoutMadeIds = [](QString text) { return text.remove(QRegularExpression(" id=\"[a-z]+_\\d+\"")); };
    QVERIFY(withoutMadeIds(together.text()) != withoutMadeIds(CommandDocument(body).text()));
    QCOMPARE(withoutMadeIds(together.text()), withoutMadeIds(oneByOne.text()));
}

void tst_CSVGDocumentStructure::singularPiecesStayUnchanged_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("body");
    QTest::newRow("mirror") << Command::Mirror << "<path id=\"s\" d=\"M0 0 L9 0 L9 9 Z\" transform=\"scale(0)\"/>";
    QTest::newRow("offset") << Command::Offset
                            << "<g id=\"s\" transform=\"scale(0)\"><path d=\"M0 0 L9 0 L9 9 Z\"/></g>";
}

void tst_CSVGDocumentStructure::singularPiecesStayUnchanged()
{
    QFETCH(Command, command);
    QFETCH(QString, body);
    CommandDocument fixture(body);
    const QString before = fixture.text();
    fixture.select({ "s" });
    run(command, fixture.document);
    QCOMPARE(fixture.text(), before);
}

void tst_CSVGDocumentStructure::areasMatchClipper_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("body");
    QTest::addColumn<int>("joinType");
    QTest::addColumn<int>("endType");
    QTest::addColumn<double>("expected");

    const QPolygonF diamond({ { 70, 40 }, { 100, 70 }, { 70, 100 }, { 40, 70 } });
    ClipperLib::Clipper clipper;
    clipper.AddPath(scaled(square(20, 20, 60)), ClipperLib::ptSubject, true);
    clipper.AddPath(scaled(diamond), ClipperLib::ptSubject, true);
    ClipperLib::Paths united;
    clipper.Execute(ClipperLib::ctUnion, united, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    QTest::newRow("merge") << Command::Merge
                           << "<path id=\"s\" d=\"M20 20 L80 20 L80 80 L20 80 Z\"/>"
                              "<polygon id=\"t\" points=\"70 40 100 70 70 100 40 70\"/>"
                           << 0 << 0 << clipperArea(united);

    const auto offsetArea = [](const ClipperLib::Path& path, ClipperLib::JoinType join, ClipperLib::EndType end) {
        ClipperLib::ClipperOffset offset(2.0, 2500);
        offset.AddPath(path, join, end);
        ClipperLib::Paths grown;
        offset.Execute(grown, 3 * 10000);
        return clipperArea(grown);
    };
    QTest::newRow("offset, outer ring only")
        << Command::Offset << "<path id=\"s\" d=\"M20 20 L80 20 L80 70 L20 70 Z M40 40 L50 40 L50 50 L40 50 Z\"/>"
        << int(ClipperLib::jtMiter) << int(ClipperLib::etClosedPolygon)
        << offsetArea(scaled(QPolygonF({ { 20, 20 }, { 80, 20 }, { 80, 70 }, { 20, 70 } })), ClipperLib::jtMiter,
               ClipperLib::etClosedPolygon);
    // A line's box has no area: the piece is offset whole.
    QTest::newRow("offset, a line") << Command::Offset << "<line id=\"s\" x1=\"20\" y1=\"50\" x2=\"90\" y2=\"50\"/>"
                                    << int(ClipperLib::jtSquare) << int(ClipperLib::etOpenSquare)
                                    << offsetArea(scaled(QPolygonF(QVector<QPointF> { { 20, 50 }, { 90, 50 } })),
                                           ClipperLib::jtSquare, ClipperLib::etOpenSquare);
}

void tst_CSVGDocumentStructure::areasMatchClipper()
{
    QFETCH(Command, command);
    QFETCH(QString, body);
    QFETCH(int, joinType);
    QFETCH(int, endType);
    QFETCH(double, expected);
    CommandDocument fixture(body);
    CSVGElement* root = fixture.document.getOwnerSvg();
    const int pieces = root->getChildCount();
    fixture.select(command == Command::Merge ? QStringList { "s", "t" } : QStringList { "s" });
    if (command == Command::Merge)
        fixture.document.mergeShapes();
    else
        fixture.document.offsetSelection(3, 0.25, ClipperLib::JoinType(joinType), ClipperLib::EndType(endType));
    QCOMPARE(root->getChildCount(), command == Command::Merge ? 1 : pieces);
    const double area = outlineArea(root->getChild(root->getChildCount() - 1));
    QVERIFY2(
        std::abs(area - expected) <= 1e-6 * expected, qPrintable(QString("%1 against %2").arg(area).arg(expected)));
}

// A later Delete must not record the merged pieces a second time.
void tst_CSVGDocumentStructure::mergedPiecesLeaveSelection()
{
    CommandDocument fixture(kDrawing);
    const QString before = fixture.text();
    fixture.select({ "a", "b" });
    fixture.document.mergeShapes();
    QVERIFY(fixture.document.getSelection().isEmpty());
    fixture.select({ "c" });
    deleteSelected(fixture.document);
    fixture.document.undo();
    fixture.document.undo();
    QCOMPARE(fixture.text(), before);
    fixture.document.redo();
    fixture.document.redo();
    QVERIFY(!fixture.byId("a") && !fixture.byId("c"));
}

void tst_CSVGDocumentStructure::emptyUnionChangesNothing()
{
    CommandDocument fixture("<line id=\"words\" x1=\"10\" y1=\"40\" x2=\"90\" y2=\"40\"/>");
    const QString before = fixture.text();
    fixture.select({ "words" });
    fixture.document.mergeShapes();
    QCOMPARE(fixture.text(), before);
    QCOMPARE(fixture.steps(), 0);
    QCOMPARE(idsOf(fixture.document.getSelection()), QString("words"));
}

// Undo past the automatic grouping finds the tree that the grouping recorded.
void tst_CSVGDocumentStructure::groupAutoGroupWholeHistory()
{
    CommandDocument fixture(kDrawing);
    const QString start = fixture.text();
    fixture.select({ "a", "c" });
    fixture.document.groupSelection();
    const QString grouped = fixture.text();
    fixture.document.autoGroup();
    const QString end = fixture.text();
    QVERIFY(end != grouped);
    fixture.document.undo();
    QCOMPARE(fixture.text(), grouped);
    fixture.document.undo();
    QCOMPARE(childIds(fixture.document.getOwnerSvg()), QString("b g k a c"));
    fixture.document.redo();
    QCOMPARE(fixture.text(), grouped);
    fixture.document.redo();
    QCOMPARE(fixture.text(), end);
    QVERIFY(start != end);
}

void tst_CSVGDocumentStructure::lockAndUnlock()
{
    CommandDocument fixture(kDrawing);
    CSVGDocument& document = fixture.document;
    document.selectElement(fixture.byId("plain"), Qt::green);
    document.selectElement(fixture.byId("a"), Qt::green);
    document.lockSelection();
    QVERIFY(fixture.byId("plain")->isLocked() && !fixture.byId("a")->isLocked());
    QCOMPARE(idsOf(document.getSelection()), QString("g a"));

    QSignalSpy changed(&document, &CSVGDocument::selectionChanged);
    document.lockSelection();
    QVERIFY(fixture.byId("g")->isLocked() && fixture.byId("a")->isLocked());
    QVERIFY(document.getSelection().isEmpty());
    QCOMPARE(changed.count(), 1);
    document.unlockAll();
    QVERIFY(!fixture.byId("plain")->isLocked() && !fixture.byId("g")->isLocked());
}

void tst_CSVGDocumentStructure::loadingWithUngroupDissolvesTheOneGroup()
{
    CSVGDocument document;
    document.parseSvgText(L"<svg><g id=\"g\" transform=\"translate(5,0)\"><path id=\"p\" d=\"M0 0 L9 0 L9 9 Z\"/>"
                          L"<path id=\"q\" d=\"M20 0 L29 0 L29 9 Z\"/></g></svg>",
        true, false);
    QCOMPARE(childIds(document.getOwnerSvg()), QString("p q"));
    QCOMPARE(document.getElementById(L"q")->getAttribute(L"transform"), std::wstring(L"matrix(1,0,0,1,5,0)"));
}

void tst_CSVGDocumentStructure::newPiecesKeepThePaint_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("selection");
    QTest::newRow("merge") << Command::Merge << "g b";
    QTest::newRow("split") << Command::Split << "b";
    QTest::newRow("repair") << Command::Repair << "";
}

// The pieces that take the place of red pieces with a blue stroke (set on
// their group, in a "style", or their own) are drawn and saved red with a
// blue stroke: other programs draw them as they drew the pieces.
void tst_CSVGDocumentStructure::newPiecesKeepThePaint()
{
    QFETCH(Command, command);
    QFETCH(QString, selection);
    CommandDocument fixture(
        "<g id=\"g\" stroke=\"#0000FF\"><path d=\"M0 0 L60 0 L60 60 L0 60 Z\" fill=\"#FF0000\"/>"
        "<path d=\"M20 20 L30 20 L30 30 Z\" fill=\"#FF0000\"/></g>"
        "<path id=\"b\" d=\"M40 40 L100 40 L100 100 L40 100 Z\" style=\"fill:#FF0000;stroke:#0000FF\"/>");
    fixture.select(selection.split(' ', Qt::SkipEmptyParts));
    const QString before = fixture.text();
    run(command, fixture.document);
    QVERIFY(fixture.text() != before);
    CommandDocument saved { QString() };
    QVERIFY(saved.document.parseSvgText(fixture.text().toStdWString(), false, false));
    for (CSVGElement* root : { fixture.document.getOwnerSvg(), saved.document.getOwnerSvg() }) {
        for (CSVGElement* leaf : CSVGUtils::collectShapes(root)) {
            auto* shape = CSVGElementShape::asShape(leaf);
            QCOMPARE(QString::fromStdWString(shape->getStyleValue(L"fill")), QString("#FF0000"));
            QCOMPARE(QString::fromStdWString(shape->getStyleValue(L"stroke")), QString("#0000FF"));
        }
    }
}

// The written document after merge and offset, and the reduced offset rings
// to the last bit, as they have always been: making these commands faster
// must not change a single character.
void tst_CSVGDocumentStructure::commandsWriteAsBefore_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("merge") << "merge" << QByteArray("36eb8911f926ce65d1f68c7efeb15dca599545f4");
    QTest::newRow("offset") << "offset" << QByteArray("bdd4c63b5291db19da0faad7dce8d0f8f7358fb8");
    QTest::newRow("reduced offset rings") << "rings" << QByteArray("0c59d6ad68562849273c5aa6c2a3cca68cecc4f0");
}

void tst_CSVGDocumentStructure::commandsWriteAsBefore()
{
    QFETCH(QString, command);
    QFETCH(QByteArray, expected);
    CommandDocument fixture { QString() };
    addOverlappingPieces(fixture.document, 300);
    if (command == "rings") {
        QByteArray points;
        for (CSVGElement* piece : fixture.document.getSelection()) {
            const QPolygonF outline
                = CSVGElementShape::getLargestPolygon(CSVGElementShape::asShape(piece)->getTransformedPath(), 0.25);
            for (const QPolygonF& ring :
                CSVGClipper::offsetOutline(outline, 2, 0.25, ClipperLib::jtRound, ClipperLib::etClosedPolygon))
                points.append(reinterpret_cast<const char*>(ring.constData()), int(ring.size() * sizeof(QPointF)));
        }
        QCOMPARE(sha1(points), expected);
        return;
    }
    checkOneUndoStep(fixture, [&] {
        if (command == "merge")
            fixture.document.mergeShapes();
        else
            fixture.document.offsetSelection(2, 0.25, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
    });
    // Made ids count on across documents.
    QCOMPARE(sha1(fixture.text().remove(QRegularExpression(" id=\"[a-z]+_\\d+\"")).toUtf8()), expected);
}

ZOCUT_TEST_MAIN(tst_CSVGDocumentStructure)
#include "tst_CSVGDocumentStructure.moc"
