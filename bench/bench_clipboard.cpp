#include "BenchCompare.h"
#include "BenchData.h"
#include "BenchMain.h"
#include "CSVGDocument.h"
#include "SVGClipboard.h"

#include <QApplication>
#include <QDir>
#include <QGraphicsPathItem>
#include <QProcess>

// Copying 10,000 selected pieces against saving the same document, and
// pasting them into a new document against reading the same text.
class bench_clipboard : public QObject
{
    Q_OBJECT
private slots:
    void copyAndPaste();
};

void bench_clipboard::copyAndPaste()
{
    CSVGDocument document;
    QVERIFY(document.openFile(benchInput(QStringLiteral("paths10k.svg")).toStdWString()));
    document.selectAll();
    QCOMPARE(document.getSelection().size(), 10000);
    SVGClipboard clipboard;
    size_t written = 0;
    compareInterleaved(
        "copy", 5, [&]() { clipboard.copyFrom(&document); }, "save", [&]() { written = document.toSvgText().size(); });
    QVERIFY(written > 0 && !clipboard.preview->path().isEmpty());

    const std::wstring text = clipboard.text.toStdWString();
    int pasted = 0;
    compareInterleaved(
        "paste", 5,
        [&]() {
            CSVGDocument target;
            clipboard.pasteInto(&target, QPointF(500, 500));
            pasted = target.getSelection().size();
        },
        "read",
        [&]() {
            CSVGDocument target;
            target.parseSvgText(L"<svg>" + text + L"</svg>", false, false);
        });
    // Each piece comes with its class rule.
    QVERIFY(pasted >= 10000);
}

ZOCUT_BENCH_MAIN_WITH(QApplication, bench_clipboard)
#include "bench_clipboard.moc"
