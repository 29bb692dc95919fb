#include "CGlobalConfig.h"
#include "CSVGElementG.h"
#include "CSVGElementText.h"
#include "CSVGElementTextContent.h"
#include "CSVGElementTspan.h"
#include "CSVGTextOutlines.h"
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

// Element by element, to the last bit (QPainterPath's own comparison allows
// a margin).
bool sameElements(const QPainterPath& a, const QPainterPath& b)
{
    if (a.elementCount() != b.elementCount())
        return false;
    for (int i = 0; i < a.elementCount(); ++i) {
        const QPainterPath::Element p = a.elementAt(i);
        const QPainterPath::Element q = b.elementAt(i);
        if (p.type != q.type || p.x != q.x || p.y != q.y)
            return false;
    }
    return true;
}

} // namespace

class tst_CSVGElementText : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void setTextReplacesRuns();
    void fontFromStyle_data();
    void fontFromStyle();
    void anchorsAndCaret();
    void runsFollowEachOther();
    void emptyBox();
    void sizeFromParent();
    void outlineOnceAndPainted();
    void outlineAsTheFontDrawsIt_data();
    void outlineAsTheFontDrawsIt();
    void survivesWriteAndRead();
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
    const std::wstring ids[] = { text->getChild(0)->getId(), tspan->getId(), tspan->getChild(0)->getId() };
    QCOMPARE(text->getText(), std::wstring(L"oldspan"));
    QSignalSpy removed(&document, &CSVGDocument::elementRemoved);

    text->setText(L"a\tb\r\nc", true);
    QCOMPARE(text->getText(), std::wstring(L"a b c"));
    QCOMPARE(childTags(text), QStringLiteral("textcontent"));
    QVERIFY(
        std::none_of(std::begin(ids), std::end(ids), [&document](auto& id) { return document.getElementById(id); }));
    QCOMPARE(removed.count(), 3);
    QCOMPARE(document.getElementById(text->getChild(0)->getId()), text->getChild(0));
}

void tst_CSVGElementText::fontFromStyle_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<int>("wider");
    // 12pt make 15 pixels; points are truncated before they are scaled.
    QTest::newRow("fractional points") << "font-size=12.9PT" << 0;
    QTest::newRow("pixels") << "font-size=15px" << 0;
    QTest::newRow("pt first is no unit") << "font-size=pt20" << -1;
    QTest::newRow("huge") << "font-size=1e300px" << 1;
    QTest::newRow("style declaration") << "style=font-size:30px" << 1;
    QTest::newRow("bold") << "font-weight=bold" << 1;
    QTest::newRow("numeric weight") << "font-weight=700" << 0;
}

// Compared with the same text without a size: 15 pixels, as 12pt make.
void tst_CSVGElementText::fontFromStyle()
{
    QFETCH(QString, style);
    QFETCH(int, wider);
    CSVGDocument document;
    const double plain = box(makeText(document, "", "Hello")).width();
    const double styled = box(makeText(document, style, "Hello")).width();
    QCOMPARE(styled > plain + 0.5 ? 1 : styled < plain - 0.5 ? -1 : 0, wider);
}

// The anchor moves the box and the outline left by the whole width, or
// half of it; a longer text is wider. The caret box is one unit wide at the
// text's x; under an anchor a prefix lines up with the run.
void tst_CSVGElementText::anchorsAndCaret()
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

    const QRectF all = middle->getTextRect(-1).toQRectF();
    const QRectF two = middle->getTextRect(2).toQRectF();
    QCOMPARE(all, box(middle));
    QVERIFY(two.width() < all.width() && qAbs(two.left() - all.left()) < 1);
    const QRectF caret = middle->getTextRect(0).toQRectF();
    QVERIFY(caret.left() == 100 && caret.width() == 1 && caret.height() > 5);
    appendNew(middle, L"tspan");
    QCOMPARE(middle->getTextRect(2).toQRectF(), QRectF());

    // Changing the anchor lays the text out again.
    start->setAttribute(L"text-anchor", L"end", true);
    QCOMPARE(box(start), box(end));
}

// After a character run a tspan starts at the end of that run's box, its
// characters moved by its offsets; with "tb" the next run goes below. A
// position of its own wins; an empty offset keeps the last one.
void tst_CSVGElementText::runsFollowEachOther()
{
    for (const bool vertical : { false, true }) {
        CSVGDocument document;
        CSVGElementText* text = makeText(document, vertical ? "x=10|y=20|writing-mode=tb" : "x=10|y=20", "Head");
        auto* tspan = appendShape<CSVGElementTspan>(text, "tspan", "dx=5|dy=2");
        tspan->setText(L"tail", false);
        box(text);
        const QRectF head = box(static_cast<CSVGElementShape*>(text->getChild(0)));
        const QPointF expected = vertical ? QPointF(10, 20 + head.height()) : QPointF(10 + head.width(), 20);
        QVERIFY(head.width() > 10);
        QCOMPARE(tspan->getPosition(), expected);
        QVERIFY(qAbs(box(tspan).left() - expected.x() - 5) < 1.5 && qAbs(box(tspan).bottom() - expected.y() - 2) < 1);
        QCOMPARE(box(text), head.united(box(tspan)));

        tspan->setAttribute(L"x", L"300", true);
        tspan->setAttribute(L"dx", L"", true);
        box(text);
        QCOMPARE(tspan->getPosition().x(), 300.0);
        QCOMPARE(tspan->getOffset(), QPointF(5, 2));
    }
}

// Without characters a text keeps the box of an "I" in its font size (16
// pixels without one), to be found and hit by.
void tst_CSVGElementText::emptyBox()
{
    CSVGDocument document;
    CSVGElementText* sized = makeText(document, "x=100|y=50|stroke-width=2|font-size=12pt", "");
    const QRectF small = box(sized);
    QVERIFY(box(makeText(document, "x=100|y=50|font-size=", "")).height() > small.height() && small.height() > 5);
    QVERIFY(small.left() >= 100 && small.left() < 103 && qAbs(small.bottom() - 50) < 1);
    std::wstring groupId;
    std::wstring id;
    QVERIFY(sized->hitTest(small.left() - 1.5, int(small.center().y()), groupId, id));
    QVERIFY(!sized->hitTest(small.left() - 3, int(small.center().y()), groupId, id));
}

// A text without a size of its own is as large as its group says.
void tst_CSVGElementText::sizeFromParent()
{
    CSVGDocument document;
    const double own = box(makeText(document, "font-size=64", "Ab")).height();
    auto* group = appendShape<CSVGElementG>(&document, "g", "font-size=64");
    auto* text = appendShape<CSVGElementText>(group, "text", kFont);
    text->setText(L"Ab", true);
    document.updateMatrix(nullptr, false);
    QCOMPARE(box(text).height(), own);
}

// A text's outline holds its runs' outlines once; painted, they show, also
// in the document's default family, which falls back to an installed one.
void tst_CSVGElementText::outlineOnceAndPainted()
{
    CSVGDocument document;
    auto* text = appendShape<CSVGElementText>(&document, "text", "x=20|y=100|font-size=40px");
    auto* tspan = appendShape<CSVGElementTspan>(text, "tspan", "");
    tspan->setText(L"Ink", false);
    QCOMPARE(text->getTransformedPath().elementCount(), text->getPainterPath().elementCount());
    QVERIFY(text->getPainterPath().elementCount() > 10);
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    text->draw(&painter, CSVGMatrix(), false, false, false, false);
    painter.end();
    const QRect area = box(text).toAlignedRect();
    QImage blank(area.size(), QImage::Format_RGB32);
    blank.fill(Qt::white);
    QVERIFY(image.copy(area) != blank);
}

void tst_CSVGElementText::outlineAsTheFontDrawsIt_data()
{
    QTest::addColumn<QFont>("font");
    QTest::addColumn<QString>("text");
    QFont serif(QStringLiteral("DejaVu Serif"));
    serif.setPixelSize(37);
    serif.setBold(true);
    serif.setItalic(true);
    QFont underlined = CSVGElementTextContent::makeFont(L"DejaVu Sans", 15);
    underlined.setUnderline(true);
    QTest::newRow("curves") << CSVGElementTextContent::makeFont(L"DejaVu Sans", 15) << "w1 Sog@&";
    QTest::newRow("bold italic") << serif << "Qualität";
    QTest::newRow("right to left") << CSVGElementTextContent::makeFont(L"DejaVu Sans", 21)
                                   << "abc \u0645\u0631\u062d\u0628\u0627 12";
    QTest::newRow("fallback font") << CSVGElementTextContent::makeFont(L"DejaVu Sans", 15) << "a\u4e2d\u6587b\u00e9";
    QTest::newRow("blanks") << CSVGElementTextContent::makeFont(L"DejaVu Sans", 15) << "  ";
    QTest::newRow("nothing") << CSVGElementTextContent::makeFont(L"DejaVu Sans", 15) << "";
    QTest::newRow("underlined") << underlined << "under";
    QTest::newRow("large") << CSVGElementTextContent::makeFont(L"DejaVu Sans", 2000) << "Ab";
    QTest::newRow("huge") << CSVGElementTextContent::makeFont(L"DejaVu Sans", 100000) << "Ab";
}

// A run's outline is the one the font draws at that point, wherever the
// point lies, however often the run was laid out before.
void tst_CSVGElementText::outlineAsTheFontDrawsIt()
{
    QFETCH(QFont, font);
    QFETCH(QString, text);
    const QPointF points[] = { { 0, 0 }, { 10.3, 20.7 }, { -33.337, -0.015625 }, { 1234.56789, 98765.4321 },
        { 0.1 / 3, 1e-9 }, { 5e5 + 1.0 / 7, -2e5 - 1.0 / 3 }, { 7e6, 3 } };
    for (int round = 0; round < 2; ++round) {
        for (const QPointF& at : points) {
            QPainterPath drawn;
            drawn.addText(at, font, text);
            QVERIFY2(sameElements(CSVGTextOutlines::outline(font, text, at), drawn),
                qPrintable(QStringLiteral("at %1, %2").arg(at.x(), 0, 'g', 17).arg(at.y(), 0, 'g', 17)));
        }
    }
}

// Saved and read back ten times, a text keeps its characters and its place:
// nothing is written inside it that the reader would take for characters.
void tst_CSVGElementText::survivesWriteAndRead()
{
    std::wstring svg = L"<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 200 100\">\n"
                       L"  <g>\n    <text x=\"10\" y=\"40\" font-family=\"DejaVu Sans\">Hi<tspan dx=\"4\">there</tspan>"
                       L"you</text>\n  </g>\n</svg>\n";
    std::wstring first;
    QRectF bounds;
    for (int cycle = 0; cycle < 10; ++cycle) {
        CSVGDocument document;
        QVERIFY(document.parseSvgText(svg, false, false));
        CSVGElement* root = document.getOwnerSvg();
        auto* text = dynamic_cast<CSVGElementText*>(root->getChild(0)->getChild(0));
        QVERIFY(text);
        QCOMPARE(text->getText(), std::wstring(L"Hithereyou"));
        svg.clear();
        root->writeSvg(svg, 0, CSVGRect());
        if (cycle == 0) {
            first = svg;
            bounds = text->getTransformedBoundingRect().toQRectF();
        }
        QCOMPARE(svg, first);
        QCOMPARE(text->getTransformedBoundingRect().toQRectF(), bounds);
    }
}

ZOCUT_TEST_MAIN(tst_CSVGElementText)
#include "tst_CSVGElementText.moc"
