#include "CSVGDocument.h"
#include "CSVGElementShape.h"
#include "TestEnvironment.h"

#include <QRandomGenerator>

#include <algorithm>
#include <functional>
#include <utility>

namespace {

// A field of random pieces: rectangles, turned circles, open and closed
// paths, groups, a "use" of the first piece; some overlap.
QByteArray randomDrawing(QRandomGenerator& random, int pieces)
{
    static const char* const kinds[] = { "<rect id=\"r%1\" x=\"%2\" y=\"%3\" width=\"%4\" height=\"20\"/>",
        "<circle cx=\"%2\" cy=\"%3\" r=\"%4\" transform=\"rotate(%5)\"/>", "<path d=\"M%2 %3 L%4 %5 %6 %2\"/>",
        "<g transform=\"rotate(%5)\"><rect x=\"%2\" y=\"%3\" width=\"30\" height=\"9\"/>"
        "<path d=\"M%4 %5 Q%6 %2 %3 %4Z\"/></g>" };
    QString svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\">";
    for (int i = 0; i < pieces; ++i) {
        QString piece = QString(kinds[i == 0 ? 0 : random.bounded(4)]).arg(i);
        for (int k = 0; k < 5; ++k)
            piece = piece.arg(random.bounded(500));
        svg += piece;
    }
    return (svg + "<use xlink:href=\"#r0\" x=\"30\" y=\"40\"/></svg>").toUtf8();
}

QList<CSVGElement*> piecesAtPoint(CSVGDocument& document, const QPointF& point)
{
    QList<std::pair<CSVGElement*, double>> hits;
    CSVGElement* root = document.getOwnerSvg();
    for (int i = 0; i < root->getChildCount(); ++i) {
        CSVGElementShape* shape = CSVGElementShape::asShape(root->getChild(i));
        std::wstring group;
        std::wstring id;
        const CSVGRect box = shape ? shape->getTransformedBoundingRect() : CSVGRect();
        if (shape && box.containsPoint(point) && shape->hitTest(point.x(), point.y(), group, id))
            hits.append({ shape, box.width * box.height });
    }
    std::stable_sort(hits.begin(), hits.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    QList<CSVGElement*> pieces;
    for (const auto& hit : hits)
        pieces.append(hit.first);
    return pieces;
}

std::vector<CSVGElement*> piecesInRect(CSVGDocument& document, const QRectF& rect)
{
    std::vector<CSVGElement*> pieces;
    QPainterPath band;
    band.addRect(rect.normalized());
    CSVGElement* root = document.getOwnerSvg();
    for (int i = root->getChildCount() - 1; i >= 0; --i) {
        CSVGElementShape* shape = CSVGElementShape::asShape(root->getChild(i));
        const QPainterPath outline = shape ? shape->getTransformedPath() : QPainterPath();
        if (shape && outline.intersects(band) && !outline.contains(band))
            pieces.push_back(shape);
    }
    return pieces;
}

using Edit = std::function<void(CSVGDocument&, QRandomGenerator&)>;

void selectSome(CSVGDocument& document, QRandomGenerator& random)
{
    document.clearSelection();
    CSVGElement* root = document.getOwnerSvg();
    for (int i = 0; i < root->getChildCount(); ++i) {
        if (root->getChild(i)->isShape() && random.bounded(4) == 0)
            document.selectElement(root->getChild(i), Qt::green);
    }
}

QPointF somewhere(QRandomGenerator& random)
{
    return QPointF(random.bounded(650.0) - 25, random.bounded(650.0) - 25);
}

} // namespace

Q_DECLARE_METATYPE(Edit)

// Each press and band after every edit answers as a scan of all the
// pieces does.
class tst_CSVGPieceIndex : public QObject
{
    Q_OBJECT
private slots:
    void sameAsScan_data();
    void sameAsScan();
};

void tst_CSVGPieceIndex::sameAsScan_data()
{
    QTest::addColumn<Edit>("edit");
    QTest::newRow("moves, undo and redo") << Edit([](CSVGDocument& document, QRandomGenerator& random) {
        selectSome(document, random);
        const int kind = random.bounded(3);
        if (kind == 0)
            document.moveSelectionBy(random.bounded(80.0) - 40, random.bounded(80.0) - 40);
        else if (kind == 1)
            document.undo();
        else
            document.redo();
    });
    QTest::newRow("deletes, groups and order") << Edit([](CSVGDocument& document, QRandomGenerator& random) {
        selectSome(document, random);
        const std::function<void()> edits[] = { [&] { document.deleteSelection(); }, [&] { document.groupSelection(); },
            [&] { document.ungroupSelection(); }, [&] { document.bringToFront(); }, [&] { document.mirrorBottom(); },
            [&] { document.undo(); } };
        edits[random.bounded(6)]();
    });
    QTest::newRow("drags and turns") << Edit([](CSVGDocument& document, QRandomGenerator& random) {
        const QPointF from = somewhere(random);
        document.leftButtonDown(from, false, false);
        for (int i = 0; i < 3; ++i)
            document.mouseMove(from + QPointF(10 * i, 7 * i), false, false);
        document.leftButtonUp(from + QPointF(20, 14), false);
        if (random.bounded(2))
            document.rotateSelection(random.bounded(90.0), from, true);
    });
    QTest::newRow("loads and pastes") << Edit([](CSVGDocument& document, QRandomGenerator& random) {
        if (random.bounded(2))
            document.loadSvgData(randomDrawing(random, 5));
        else
            document.pasteSvgText(QString::fromUtf8(randomDrawing(random, 3)).toStdWString());
    });
}

void tst_CSVGPieceIndex::sameAsScan()
{
    QFETCH(Edit, edit);
    QRandomGenerator random(7);
    CSVGDocument document;
    document.loadSvgData(randomDrawing(random, 60));
    for (int round = 0; round < 40; ++round) {
        edit(document, random);
        for (int query = 0; query < 25; ++query) {
            const QPointF point = somewhere(random);
            QCOMPARE(document.elementsAtPoint(point), piecesAtPoint(document, point));
            const QRectF band(somewhere(random), QSizeF(random.bounded(200.0), random.bounded(200.0)));
            QCOMPARE(document.elementsInRect(band), piecesInRect(document, band));
        }
    }
}

ZOCUT_TEST_MAIN(tst_CSVGPieceIndex)
#include "tst_CSVGPieceIndex.moc"
