#include "CGlobalConfig.h"
#include "CSVGElementText.h"
#include "CSVGElementTextContent.h"
#include "CSVGElementTspan.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <QPainter>

// Text boxes depend on the font: these tests measure with DejaVu Sans and
// compare boxes with each other, not with pixel numbers.
namespace {

const QString kFont = QStringLiteral("font-family=DejaVu Sans");

CSVGElementText* makeText(CSVGDocument& document, const QString& attributes, const QString& text)
{
    auto* element = appendShape<CSVGElementText>(&document, "text", kFont + "|" + attributes);
    if (!text.isEmpty())
        element->setText(text.toStdWString(), true);
    document.updateMatrix(nullptr, false);
    return element;
}

QRectF box(CSVGElementShape* shape)
{
    return shape->getBoundingRect().toQRectF();
}

// Glyphs are placed on a 1/64 grid: boxes at other fractions differ by that.
bool near(const QRectF& a, const QRectF& b)
{
    const auto close = [](double x, double y) { return qAbs(x - y) < 0.05; };
    return close(a.left(), b.left()) && close(a.top(), b.top()) && close(a.right(), b.right())
        && close(a.bottom(), b.bottom());
}

} // namespace

class tst_CSVGElementText : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void setTextReplacesRuns();
    void pixelSize_data();
    void pixelSize();
    void fontStyle_data();
    void fontStyle();
    void anchors();
    void runsFollowEachOther();
    void emptyTextStillHasABox();
    void caret();
    void outlineOnceAndPainted();
};

void tst_CSVGElementText::initTestCase()
{
    g_config.setPointFactor(1.333039388414818);
}

// Old runs leave the document as removed children do; the characters are
// one line.
void tst_CSVGElementText::setTextReplacesRuns()
{
    CSVGDocument document;
    CSVGElementText* text = makeText(document, "", "old");
    CSVGElement* tspan = appendNew(text, L"tspan");
    tspan->setText(L"span", false);
    const std::wstring oldRun = text->getChild(0)->getId();
    const std::wstring spanRun = tspan->getChild(0)->getId();
    const std::wstring span = tspan->getId();
    QCOMPARE(text->getText(), std::wstring(L"oldspan"));
    QSignalSpy removed(&document, &CSVGDocument::elementRemoved);

    text->setText(L"a\tb\r\nc", true);
    QCOMPARE(text->getText(), std::wstring(L"a b c"));
    QCOMPARE(childTags(text), QStringLiteral("textcontent"));
    QVERIFY(!document.getElementById(oldRun) && !document.getElementById(spanRun));
    QVERIFY(!document.getElementById(span));
    QCOMPARE(removed.count(), 3);
    QCOMPARE(document.getElementById(text->getChild(0)->getId()), text->getChild(0));
}

void tst_CSVGElementText::pixelSize_data()
{
    QTest::addColumn<QString>("fontSize");
    QTest::addColumn<int>("pixels");
    QTest::newRow("points") << "12pt" << 15;
    // The points are truncated before they are scaled.
    QTest::newRow("fractional points") << "12.9pt" << 15;
    QTest::newRow("points, capitals") << "12PT" << 15;
    QTest::newRow("pixels") << "20px" << 20;
    QTest::newRow("number") << "20.7" << 20;
    QTest::newRow("pt first") << "pt20" << 1;
    QTest::newRow("huge") << "1e300px" << 100000;
    QTest::newRow("negative") << "-4" << 1;
}

void tst_CSVGElementText::pixelSize()
{
    QFETCH(QString, fontSize);
    QFETCH(int, pixels);
    QCOMPARE(CSVGElementTextContent::pixelSizeOf(fontSize.toStdWString()), pixels);
}

void tst_CSVGElementText::fontStyle_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<int>("wider");
    QTest::newRow("bold") << "font-weight=bold" << 1;
    QTest::newRow("numeric weight") << "font-weight=700" << 0;
    QTest::newRow("larger") << "font-size=30px" << 1;
    QTest::newRow("smaller") << "font-size=8pt" << -1;
    QTest::newRow("through a style declaration") << "style=font-size:30px" << 1;
}

// Compared with the same text in the text's own style.
void tst_CSVGElementText::fontStyle()
{
    QFETCH(QString, style);
    QFETCH(int, wider);
    CSVGDocument document;
    const double plain = box(makeText(document, "", "Hello")).width();
    const double styled = box(makeText(document, style, "Hello")).width();
    QCOMPARE(styled > plain + 0.5 ? 1 : styled < plain - 0.5 ? -1 : 0, wider);
}

// The anchor moves the box and the outline left by the whole width, or
// half of it; a longer text is wider.
void tst_CSVGElementText::anchors()
{
    CSVGDocument document;
    CSVGElementText* start = makeText(document, "x=100|y=50", "Anchored");
    CSVGElementText* middle = makeText(document, "x=100|y=50|text-anchor=middle", "Anchored");
    CSVGElementText* end = makeText(document, "x=100|y=50|text-anchor=end", "Anchored");
    const QRectF left = box(start);
    QVERIFY(left.width() > 20 && box(makeText(document, "x=100|y=50", "Anchored text")).width() > left.width());
    QCOMPARE(box(middle), left.translated(-left.width() / 2, 0));
    QCOMPARE(box(end), left.translated(-left.width(), 0));
    QCOMPARE(end->getPainterPath().boundingRect(), start->getPainterPath().boundingRect().translated(-left.width(), 0));
    QVERIFY(qAbs(left.left() - 100) < 2 && qAbs(left.bottom() - 50) < 2 && left.top() < 50 - 10);

    // Changing the anchor lays the text out again.
    start->setAttribute(L"text-anchor", L"end", true);
    QCOMPARE(box(start), box(end));
}

// After a character run a tspan starts at the end of that run's box, its
// characters moved by its offsets; with "tb" the next run goes below.
void tst_CSVGElementText::runsFollowEachOther()
{
    for (const bool vertical : { false, true }) {
        CSVGDocument document;
        CSVGElementText* text = makeText(document, vertical ? "x=10|y=20|writing-mode=tb" : "x=10|y=20", "Head");
        auto* tspan = appendShape<CSVGElementTspan>(text, "tspan", "dx=5|dy=2");
        tspan->setText(L"tail", false);
        box(text);
        const QRectF head = box(static_cast<CSVGElementShape*>(text->getChild(0)));
        QVERIFY(head.width() > 10);
        const QPointF expected = vertical ? QPointF(10, 20 + head.height()) : QPointF(10 + head.width(), 20);
        QCOMPARE(tspan->getPosition(), expected);
        QCOMPARE(tspan->getOffset(), QPointF(5, 2));
        const QPointF at = expected + QPointF(5, 2);
        CSVGElementText* alone
            = makeText(document, QStringLiteral("x=%1|y=%2").arg(at.x(), 0, 'g', 17).arg(at.y(), 0, 'g', 17), "tail");
        QVERIFY(near(box(tspan), box(alone)));
        QVERIFY(near(box(text), head.united(box(alone))));

        // A position of its own wins; an empty offset keeps the last one.
        tspan->setAttribute(L"x", L"300", true);
        tspan->setAttribute(L"dx", L"", true);
        box(text);
        QCOMPARE(tspan->getPosition().x(), 300.0);
        QCOMPARE(tspan->getOffset(), QPointF(5, 2));
    }
}

// Found and hit also without characters: the box of an "I" in the text's
// font size at its position (16 pixels without any size).
void tst_CSVGElementText::emptyTextStillHasABox()
{
    CSVGDocument document;
    CSVGElementText* sized = makeText(document, "x=100|y=50|stroke-width=2", "");
    CSVGElementText* unsized = makeText(document, "x=100|y=50", "");
    unsized->setAttribute(L"font-size", L"", true);
    const QRectF small = box(sized);
    const QRectF large = box(unsized);
    QVERIFY(!small.isEmpty() && large.height() > small.height());
    QVERIFY(small.left() >= 100 && small.left() < 103 && qAbs(small.bottom() - 50) < 1);
    std::wstring groupId;
    std::wstring id;
    QVERIFY(sized->hitTest(small.left() - 1.5, int(small.center().y()), groupId, id));
    QCOMPARE(id, sized->getId());
    QVERIFY(!sized->hitTest(small.left() - 3, int(small.center().y()), groupId, id));
    // The document's default family, missing here, falls back to an
    // installed one.
    CSVGDocument defaults;
    auto* plain = appendShape<CSVGElementText>(&defaults, "text", "x=0|y=50");
    plain->setText(L"Wide words", true);
    QVERIFY(box(plain).width() > box(plain).height());
}

// The box of the first characters; an empty one becomes a caret one unit
// wide at the text's x. Under an anchor the prefix lines up with the run.
void tst_CSVGElementText::caret()
{
    CSVGDocument document;
    CSVGElementText* text = makeText(document, "x=100|y=50|text-anchor=middle", "Caret");
    const QRectF all = text->getTextRect(-1).toQRectF();
    QCOMPARE(all, box(text));
    QCOMPARE(text->getTextRect(99).toQRectF(), all);
    const QRectF two = text->getTextRect(2).toQRectF();
    QVERIFY(two.width() < all.width() && qAbs(two.left() - all.left()) < 1);
    const QRectF caret = text->getTextRect(0).toQRectF();
    QCOMPARE(caret.left(), 100.0);
    QCOMPARE(caret.width(), 1.0);
    QVERIFY(caret.height() > 5);
    appendNew(text, L"tspan");
    QCOMPARE(text->getTextRect(2).toQRectF(), QRectF());
}

// A text's outline holds its runs' outlines once; painted, they show.
void tst_CSVGElementText::outlineOnceAndPainted()
{
    CSVGDocument document;
    CSVGElementText* text = makeText(document, "x=20|y=100|font-size=40px", "");
    auto* tspan = appendShape<CSVGElementTspan>(text, "tspan", "");
    tspan->setText(L"Ink", false);
    QCOMPARE(text->getTransformedPath().elementCount(), text->getPainterPath().elementCount());
    QVERIFY(text->getPainterPath().elementCount() > 10);
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    text->draw(&painter, CSVGMatrix(), false, false, false, false);
    painter.end();
    int inked = 0;
    const QRect area = box(text).toAlignedRect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            inked += image.pixel(x, y) != qRgb(255, 255, 255);
    }
    QVERIFY2(inked > 50, qPrintable(QString::number(inked)));
}

ZOCUT_TEST_MAIN(tst_CSVGElementText)
#include "tst_CSVGElementText.moc"
