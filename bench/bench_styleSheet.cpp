#include "BenchCompare.h"
#include "BenchMain.h"
#include "CSVGDocument.h"
#include "CSVGElementStyle.h"
#include "CSVGStyleRule.h"

#include <QCoreApplication>
#include <QSvgRenderer>
#include <QtTest>

#include <memory>

namespace {
// 10,000 class rules of five declarations each in a CDATA section, as a
// drawing program writes the sheet of a large drawing: about 1 MB of text.
std::wstring largeSheet()
{
    std::wstring sheet = L"<![CDATA[\n";
    for (int i = 0; i < 10000; ++i) {
        sheet += L"  .st" + std::to_wstring(i) + L"{fill:#" + std::to_wstring(100000 + i)
            + L";fill-opacity:0.5;stroke:url(#grad_" + std::to_wstring(i % 50)
            + L");stroke-width:0.25;stroke-miterlimit:10;}\n";
    }
    return sheet + L"]]>";
}
} // namespace

class bench_styleSheet : public QObject
{
    Q_OBJECT
private slots:
    void parseLargeSheet();

private:
    const std::wstring m_sheet = largeSheet();
};

// Against QSvgRenderer reading a file that holds only the same sheet.
void bench_styleSheet::parseLargeSheet()
{
    CSVGDocument document;
    const QByteArray file = "<svg xmlns=\"http://www.w3.org/2000/svg\"><style>"
        + QString::fromStdWString(m_sheet).toUtf8() + "</style></svg>";
    size_t rules = 0;
    compareInterleaved(
        "reading 10,000 class rules", 7,
        [&] {
            std::unique_ptr<CSVGElement> style(document.createElement(L"style"));
            CSVGElement* cdata = document.createElement(L"[CDATA[");
            cdata->setText(m_sheet, false);
            style->appendChild(cdata, false, false);
            style->parseContent();
            rules = static_cast<CSVGElementStyle*>(style.get())->getRules().size();
        },
        "QSvgRenderer on a file of the sheet", [&] { QSvgRenderer renderer(file); });
    QCOMPARE(rules, size_t(10000));
}

ZOCUT_BENCH_MAIN(bench_styleSheet)

#include "bench_styleSheet.moc"
