#include "CSVGView.h"
#include "Prompt.h"
#include "TestEnvironment.h"
#include "TestImages.h"

#include <QPrintDialog>
#include <QPrinter>

// Saving, exporting and printing as a person does it, the dialogs answered.
class tst_CSVGViewFiles : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void saveTwiceGivesSameText();
    void failedSaveKeepsEverything_data();
    void failedSaveKeepsEverything();
    void cancelledSaveAsKeepsPath();
    void reloadOfDesignKeepsDocument();
    void pictureExports_data();
    void pictureExports();
    void dxfReadsBack();
    void printsAtRealSize_data();
    void printsAtRealSize();
    void picturesThatLeadBack();

private:
    QString write(const QString& name, const QByteArray& bytes) const;
    static QByteArray read(const QString& path);

    QTemporaryDir m_dir;
    QString m_answer;
    QString m_pdf;
    QStringList m_prompts;
};

namespace {
const QByteArray kDrawing = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"200\" height=\"100\" "
                            "viewBox=\"0 0 200 100\"><rect x=\"20\" y=\"10\" width=\"100\" height=\"40\"/>"
                            "<circle cx=\"160\" cy=\"60\" r=\"25\"/></svg>";
}

void tst_CSVGViewFiles::init()
{
    m_prompts.clear();
    m_answer.clear();
    Prompt::setHandler([this](Prompt::Kind kind, const QString& title, const QString& text) -> QVariant {
        m_prompts << title + "|" + text;
        if (kind != Prompt::Kind::Modal)
            return m_answer;
        // The print dialog prints into a PDF file.
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<QPrintDialog*>(widget)) {
                dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
                dialog->printer()->setOutputFileName(m_pdf);
            }
        }
        return m_pdf.isEmpty() ? 0 : 1;
    });
}

void tst_CSVGViewFiles::cleanup()
{
    Prompt::setHandler(nullptr);
}

QString tst_CSVGViewFiles::write(const QString& name, const QByteArray& bytes) const
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

QByteArray tst_CSVGViewFiles::read(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void tst_CSVGViewFiles::saveTwiceGivesSameText()
{
    CSVGView first(nullptr);
    first.loadData(kDrawing);
    m_answer = m_dir.filePath("first");
    QString name;
    QVERIFY(first.saveFileAs(name));
    QCOMPARE(name, QString("first.svg"));
    QVERIFY(!first.hasUnsavedChanges());

    CSVGView second(nullptr);
    QVERIFY(second.openFile(m_dir.filePath("first.svg").toStdWString()));
    second.setFilePath(m_dir.filePath("second.svg"));
    QVERIFY(second.saveFile());
    QCOMPARE(read(m_dir.filePath("second.svg")), read(m_dir.filePath("first.svg")));
}

void tst_CSVGViewFiles::failedSaveKeepsEverything_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("read-only file") << "readonly.svg";
    QTest::newRow("missing folder") << "missing/x.svg";
}

void tst_CSVGViewFiles::failedSaveKeepsEverything()
{
    QFETCH(QString, target);
    const QString path = m_dir.filePath(target);
    if (!target.contains('/')) {
        write(target, "old");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser);
    }
    CSVGView view(nullptr);
    view.getDocument()->pasteSvgText(QString::fromUtf8(kDrawing).toStdWString());
    view.setFilePath(path);
    QVERIFY(!view.saveFile());
    QVERIFY(view.hasUnsavedChanges());
    QCOMPARE(read(path), QByteArray(target.contains('/') ? "" : "old"));
    QCOMPARE(m_prompts.size(), 1);
}

void tst_CSVGViewFiles::cancelledSaveAsKeepsPath()
{
    CSVGView view(nullptr);
    view.setFilePath(m_dir.filePath("kept.svg"));
    QString name;
    QVERIFY(!view.saveFileAs(name));
    QCOMPARE(view.getFilePath(), m_dir.filePath("kept.svg"));
}

void tst_CSVGViewFiles::reloadOfDesignKeepsDocument()
{
    CSVGView view(nullptr);
    view.loadData(kDrawing);
    view.setFilePath("Front bumper");
    QVERIFY(!view.reloadFile());
    QCOMPARE(view.getDocument()->getOwnerSvg()->getChildCount(), 2);
    QCOMPARE(m_prompts.size(), 1);
    // Nor does a file that no longer holds a drawing take it away.
    view.setFilePath(write("part.svg", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)));
    QVERIFY(!view.reloadFile());
    QCOMPARE(view.getDocument()->getOwnerSvg()->getChildCount(), 2);
    QVERIFY(m_prompts.last().contains("It is a picture, not an SVG drawing."));
}

void tst_CSVGViewFiles::pictureExports_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("name");
    QTest::newRow("png") << "png"
                         << "out.png";
    QTest::newRow("jpg") << "jpg"
                         << "out.jpg";
    QTest::newRow("png without suffix") << "png"
                                        << "bare";
}

void tst_CSVGViewFiles::pictureExports()
{
    QFETCH(QString, format);
    QFETCH(QString, name);
    CSVGView view(nullptr);
    view.loadData(kDrawing);
    view.setFilePath(m_dir.filePath("drawing.svg"));
    QVERIFY(view.saveFile());
    m_answer = m_dir.filePath(name);
    QVERIFY(format == "png" ? view.saveAsPng() : view.saveAsJpg());
    const QString written = name.contains('.') ? m_answer : m_answer + ".png";
    const QImage ours(written);
    QCOMPARE(ours.size(), QSize(200, 100));
    const QImage theirs = rsvgOutlines(view.getFilePath(), { "-w", "200", "-h", "100" });
    QVERIFY(!theirs.isNull());
    QVERIFY2(shareNear(ours, theirs, 2) > 0.9, "ours in theirs");
    QVERIFY2(shareNear(theirs, ours, 2) > 0.9, "theirs in ours");
}

// A DXF reader's view of the file: group codes and values in pairs.
void tst_CSVGViewFiles::dxfReadsBack()
{
    CSVGView view(nullptr);
    view.loadData(kDrawing);
    m_answer = m_dir.filePath("out.dxf");
    QVERIFY(view.saveAsDxf());
    const QStringList lines = QString::fromLatin1(read(m_answer)).split('\n');
    QList<QList<QPointF>> polylines;
    for (int i = 0; i + 1 < lines.size(); i += 2) {
        const QString code = lines[i].trimmed();
        const QString value = lines[i + 1];
        if (code == "0" && value == "POLYLINE")
            polylines.append(QList<QPointF>());
        else if (code == "0" && value == "VERTEX")
            polylines.last().append(QPointF());
        else if (code == "10" && !polylines.isEmpty() && !polylines.last().isEmpty())
            polylines.last().last().setX(value.toDouble());
        else if (code == "20" && !polylines.isEmpty() && !polylines.last().isEmpty())
            polylines.last().last().setY(-value.toDouble());
    }
    QCOMPARE(lines.value(lines.size() - 2), QString("EOF"));
    QCOMPARE(polylines.size(), 2);
    QCOMPARE(polylines[0].size(), 4);
    QCOMPARE(QPolygonF(polylines[0].toVector()).boundingRect(), QRectF(20, 10, 100, 40));
    const QRectF circle = QPolygonF(polylines[1].toVector()).boundingRect();
    QVERIFY(qAbs(circle.width() - 50) < 0.5 && qAbs(circle.center().x() - 160) < 0.5);
}

void tst_CSVGViewFiles::printsAtRealSize_data()
{
    QTest::addColumn<QByteArray>("drawing");
    QTest::addColumn<QSize>("millimetres");
    QTest::newRow("100 x 40 turned") << QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\"><rect x=\"20\" "
                                                   "y=\"10\" width=\"100\" height=\"40\"/></svg>")
                                     << QSize(40, 100);
    QTest::newRow("empty") << QByteArray() << QSize(0, 0);
}

void tst_CSVGViewFiles::printsAtRealSize()
{
    QFETCH(QByteArray, drawing);
    QFETCH(QSize, millimetres);
    CSVGView view(nullptr);
    if (!drawing.isEmpty())
        view.loadData(drawing);
    m_pdf = m_dir.filePath("print.pdf");
    QVERIFY(view.print());
    // Ten pixels a millimetre.
    QProcess render;
    render.start("pdftoppm", { "-r", "254", "-png", "-singlefile", m_pdf, m_dir.filePath("page") });
    QVERIFY(render.waitForFinished(60000) && render.exitCode() == 0);
    const QImage page(m_dir.filePath("page.png"));
    QVERIFY(!page.isNull());
    const QVector<bool> dark = darkMask(page);
    QRect ink;
    for (int i = 0; i < dark.size(); ++i)
        if (dark[i])
            ink |= QRect(i % page.width(), i / page.width(), 1, 1);
    QVERIFY(qAbs(ink.width() / 10.0 - millimetres.width()) <= 1.0);
    QVERIFY(qAbs(ink.height() / 10.0 - millimetres.height()) <= 1.0);
    m_pdf.clear();
}

// A drawing whose picture leads back to itself, through one file or two,
// opens and is shown; inserted as a picture it is refused and told. A
// picture is inserted once it is prepared.
void tst_CSVGViewFiles::picturesThatLeadBack()
{
    const QString link = "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
                         "width=\"50\" height=\"50\"><image xlink:href=\"%1\" width=\"50\" height=\"50\"/></svg>";
    write("self.svg", link.arg(m_dir.filePath("self.svg")).toUtf8());
    write("a.svg", link.arg(m_dir.filePath("b.svg")).toUtf8());
    write("b.svg", link.arg(m_dir.filePath("a.svg")).toUtf8());
    QImage picture(30, 15, QImage::Format_RGB32);
    picture.fill(Qt::red);
    picture.setDotsPerMeterX(3780);
    picture.setDotsPerMeterY(3780);
    QVERIFY(picture.save(m_dir.filePath("red.png")));
    CSVGView view(nullptr);
    view.resize(300, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    for (const QString name : { "self.svg", "a.svg" }) {
        QVERIFY(view.openFile(m_dir.filePath(name).toStdWString()));
        view.repaint();
        QCOMPARE(view.viewport()->grab().isNull(), false);
        view.insertImageFile(m_dir.filePath(name));
        QTRY_VERIFY(m_prompts.join('\n').contains(name + " is not a picture"));
    }
    view.insertImageFile(m_dir.filePath("red.png"));
    QTRY_COMPARE(view.getDocument()->getOwnerSvg()->getChildCount(), 2);
    const auto* image = view.getDocument()->getOwnerSvg()->getChild(1);
    QCOMPARE(image->getAttribute(L"width") + L" " + image->getAttribute(L"height"), std::wstring(L"10 5"));
}

ZOCUT_TEST_MAIN(tst_CSVGViewFiles)
#include "tst_CSVGViewFiles.moc"
