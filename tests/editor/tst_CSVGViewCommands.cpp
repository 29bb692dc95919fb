#include "CMainFrame.h"
#include "CSVGElementShape.h"
#include "CSVGUtils.h"
#include "CSVGView.h"
#include "CTabWidgetEx.h"
#include "DlgSizeModify.h"
#include "ImagePerspectiveDialog.h"
#include "Prompt.h"
#include "TestEnvironment.h"
#include "TestImages.h"

#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>

// The main window's editing commands and style slots on the current tab's
// drawing, the questions answered.
class tst_CSVGViewCommands : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void styleAttributes_data();
    void styleAttributes();
    void selectionRequired();
    void clearAsksFirst_data();
    void clearAsksFirst();
    void tearLineNeedsContinue_data();
    void tearLineNeedsContinue();
    void tearLinesComeOffAsTheyCame();
    void templateToggles();
    void pictureFiles_data();
    void pictureFiles();
    void saveAsNamesTheTab();
    void tracedRingIsOnePiece();
    void scaleDialogSizesExactly_data();
    void scaleDialogSizesExactly();

private:
    CSVGElement* loadRect(CMainFrame& frame, bool select);
    int pieces(CMainFrame& frame) { return frame.currentView()->getDocument()->getOwnerSvg()->getChildCount(); }

    QStringList m_prompts;
    QVariant m_answer;
    QTemporaryDir m_dir;
};

void tst_CSVGViewCommands::init()
{
    m_prompts.clear();
    m_answer = QVariant();
    Prompt::setHandler([this](Prompt::Kind, const QString& title, const QString& text) {
        m_prompts << title + "|" + text;
        return m_answer;
    });
}

void tst_CSVGViewCommands::cleanup()
{
    Prompt::setHandler(nullptr);
}

CSVGElement* tst_CSVGViewCommands::loadRect(CMainFrame& frame, bool select)
{
    CSVGView* view = frame.currentView();
    view->loadData("<svg xmlns=\"http://www.w3.org/2000/svg\"><rect x=\"10\" y=\"10\" width=\"100\" height=\"40\" "
                   "fill=\"#00ff00\"/></svg>");
    CSVGElement* rect = view->getDocument()->getOwnerSvg()->getChild(0);
    if (select)
        view->getDocument()->selectElement(rect, Qt::red);
    return rect;
}

void tst_CSVGViewCommands::styleAttributes_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::newRow("dash 0") << "dash 0"
                            << "stroke-dasharray"
                            << "";
    QTest::newRow("dash 14") << "dash 14"
                             << "stroke-dasharray"
                             << "1 2";
    QTest::newRow("dash 15") << "dash 15"
                             << "stroke-dasharray"
                             << "";
    QTest::newRow("dash -3") << "dash -3"
                             << "stroke-dasharray"
                             << "";
    QTest::newRow("transparent fill keeps colour") << "fill transparent"
                                                   << "fill|fill-opacity"
                                                   << "#00ff00|0";
    QTest::newRow("opaque red fill") << "fill red"
                                     << "fill|fill-opacity"
                                     << "#FF0000|1";
    QTest::newRow("stroke width 3") << "width 3"
                                    << "stroke-width"
                                    << "3";
    QTest::newRow("size box 12") << "size 12"
                                 << "font-size"
                                 << "12pt";
}

void tst_CSVGViewCommands::styleAttributes()
{
    QFETCH(QString, command);
    QFETCH(QString, name);
    QFETCH(QString, value);
    CMainFrame frame;
    CSVGElement* rect = loadRect(frame, true);
    rect->setAttribute(L"stroke-dasharray", L"9 9", false);
    const QString argument = command.section(' ', 1);
    if (command.startsWith("dash"))
        frame.OnStrokeDashType(argument.toInt());
    else if (command.startsWith("fill"))
        frame.OnFillColor(argument == "red" ? QColor(Qt::red) : QColor(0, 0, 0, 0));
    else if (command.startsWith("width"))
        frame.OnStrokeWidth(argument.toInt());
    else
        emit frame.findChild<QComboBox*>("comboSize")->textActivated(argument);
    QStringList values;
    for (const QString& attribute : name.split('|'))
        values << QString::fromStdWString(rect->getAttribute(attribute.toStdWString()));
    QCOMPARE(values.join('|').toUpper(), value.toUpper());
}

void tst_CSVGViewCommands::selectionRequired()
{
    CMainFrame frame;
    loadRect(frame, false);
    frame.OnGroup();
    frame.expand();
    frame.offset();
    QCOMPARE(m_prompts.join(";"), QString("Warning|No selected pieces!;").repeated(3).chopped(1));
    QCOMPARE(pieces(frame), 1);
}

void tst_CSVGViewCommands::clearAsksFirst_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("left");
    QTest::newRow("cancel") << int(QMessageBox::Cancel) << 1;
    QTest::newRow("ok") << int(QMessageBox::Ok) << 0;
}

void tst_CSVGViewCommands::clearAsksFirst()
{
    QFETCH(int, answer);
    QFETCH(int, left);
    CMainFrame frame;
    loadRect(frame, false);
    m_answer = answer;
    frame.Clear();
    QCOMPARE(pieces(frame), left);
    QCOMPARE(m_prompts, QStringList("Clear|Are you sure you want to empty all the pieces"));
}

void tst_CSVGViewCommands::tearLineNeedsContinue_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("kept");
    QTest::newRow("continue") << int(QMessageBox::Yes) << true;
    QTest::newRow("cancel") << int(QMessageBox::Cancel) << false;
}

void tst_CSVGViewCommands::tearLineNeedsContinue()
{
    QFETCH(int, answer);
    QFETCH(bool, kept);
    CMainFrame frame;
    loadRect(frame, true);
    m_answer = answer;
    frame.createTearLine(true);
    QCOMPARE(frame.currentView()->hasTearLine(), kept);
    // Turned down, the tear lines leave no step behind to redo.
    QVERIFY(!frame.currentView()->getDocument()->getHistory().canRedo());
    QCOMPARE(m_prompts.size(), 1);
    QVERIFY(m_prompts[0].contains("color:rgb(255, 0, 0)"));
    QCOMPARE(frame.action(CMainFrame::Rectangle)->isEnabled(), !kept);
}

// Through the window's actions: while the tear lines are there Undo is
// offered and takes back the lines and the move to the corner; adding and
// then removing them gives back the drawing as it was, unmarked, and Undo
// then brings the lines back, and once more the drawing before them.
void tst_CSVGViewCommands::tearLinesComeOffAsTheyCame()
{
    CMainFrame frame;
    CSVGView* view = frame.currentView();
    QVERIFY(
        view->loadData("<svg xmlns=\"http://www.w3.org/2000/svg\"><rect x=\"210\" y=\"120\" width=\"100\" "
                       "height=\"40\" fill=\"#FFFFFF\" stroke=\"#000000\"/><path d=\"M400 100 L450 100 L430 160 Z\" "
                       "transform=\"matrix(0.8,0.6,-0.6,0.8,17.25,-3.5)\"/></svg>"));
    CSVGDocument* document = view->getDocument();
    const QString before = QString::fromStdWString(document->toSvgText());
    const auto text = [document] { return QString::fromStdWString(document->toSvgText()); };
    QAction* tearLines = frame.action(CMainFrame::SeparationLine);
    QAction* undo = frame.action(CMainFrame::Undo);
    m_answer = int(QMessageBox::Yes);

    document->selectAll();
    tearLines->trigger();
    QVERIFY(view->hasTearLine());
    QVERIFY(text() != before);
    QVERIFY(undo->isEnabled());
    QVERIFY(!frame.action(CMainFrame::Redo)->isEnabled());
    undo->trigger();
    QCOMPARE(text(), before);
    QVERIFY(!tearLines->isChecked());

    document->selectAll();
    tearLines->trigger();
    const QString again = text();
    tearLines->trigger();
    QVERIFY(!view->hasTearLine());
    QCOMPARE(text(), before);
    QCOMPARE(frame.currentTabText(), QString("New File1"));
    undo->trigger();
    QCOMPARE(text(), again);
    QVERIFY(tearLines->isChecked());
    undo->trigger();
    QCOMPARE(text(), before);
}

void tst_CSVGViewCommands::templateToggles()
{
    CMainFrame frame;
    loadRect(frame, true);
    QGraphicsScene* scene = frame.currentView()->scene();
    const int before = scene->items().size();
    frame.createTemplate();
    QCOMPARE(scene->items().size(), before + 1);
    frame.createTemplate();
    QCOMPARE(scene->items().size(), before);
}

void tst_CSVGViewCommands::pictureFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("added");
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    QTest::newRow("picture") << png << 1;
    QTest::newRow("not a picture") << QByteArray("<svg/>") << 0;
}

void tst_CSVGViewCommands::pictureFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, added);
    const QString path = m_dir.filePath("picture");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    CMainFrame frame;
    loadRect(frame, false);
    m_answer = path;
    frame.drawimage();
    // The picture is prepared off the window's thread.
    QTRY_COMPARE(pieces(frame), 1 + added);
    QTRY_COMPARE(m_prompts.size(), 2 - added);
}

void tst_CSVGViewCommands::saveAsNamesTheTab()
{
    CMainFrame frame;
    loadRect(frame, false);
    m_answer = m_dir.filePath("part.svg");
    frame.fileSaveAs();
    const int index = frame.tabWidget()->currentIndex();
    QCOMPARE(frame.tabWidget()->tabText(index), QString("part.svg"));
    QCOMPARE(frame.tabWidget()->tabToolTip(index), m_dir.filePath("part.svg"));
    QVERIFY(QFile::exists(m_dir.filePath("part.svg")));
}

// A traced ring is one path whose own outline holds its hole, as the canvas
// and any SVG reader draw a path; nothing hangs inside the path.
void tst_CSVGViewCommands::tracedRingIsOnePiece()
{
    const QString path = m_dir.filePath("ring.png");
    QVERIFY(ringImage().save(path));
    Prompt::setHandler([&path](Prompt::Kind kind, const QString&, const QString&) {
        if (kind != Prompt::Kind::Modal)
            return QVariant(path);
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<ImagePerspectiveDialog*>(widget))
                dialog->accept();
        }
        return QVariant(int(QDialog::Accepted));
    });
    CSVGView view(nullptr);
    view.imageContour();
    CSVGElement* root = view.getDocument()->getOwnerSvg();
    QCOMPARE(root->getChildCount(), 1);
    auto* ring = dynamic_cast<CSVGElementShape*>(root->getChild(0));
    QVERIFY(ring && ring->getTagName() == L"path" && ring->getChildCount() == 0);
    QCOMPARE(ring->getAttribute(L"fill-rule"), std::wstring(L"evenodd"));
    QCOMPARE(CSVGUtils::pathToPolygons(ring->getPainterPath(), QTransform()).size(), 2);
}

void tst_CSVGViewCommands::scaleDialogSizesExactly_data()
{
    QTest::addColumn<QString>("pieces");
    QTest::addColumn<QString>("offered"); // the fields as the dialog opens
    QTest::addColumn<QString>("typed"); // empty: OK as offered
    QTest::addColumn<QRectF>("box");
    QTest::addColumn<QString>("sizeFields"); // the window's size fields afterwards
    const QString one = "<rect x=\"3\" y=\"4\" width=\"434\" height=\"324.998\"/>";
    const QString two = "<rect x=\"0\" y=\"0\" width=\"60\" height=\"40\"/>"
                        "<rect x=\"210\" y=\"90\" width=\"60\" height=\"40\"/>";
    QTest::newRow("OK as offered") << one << "434 324.998"
                                   << "" << QRectF(3, 4, 434, 324.998) << "434 mm 324.998 mm";
    QTest::newRow("typed") << one << "434 324.998"
                           << "200 100" << QRectF(120, 116.499, 200, 100) << "200 mm 100 mm";
    QTest::newRow("several") << two << "270 130"
                             << "540 260" << QRectF(-135, -65, 540, 260) << "540 mm 260 mm";
    QTest::newRow("15 m") << one << "434 324.998"
                          << "14999.999 1234.567" << QRectF(-7279.9995, -450.7845, 14999.999, 1234.567)
                          << "14999.999 mm 1234.567 mm";
}

// Typed into the real fields, then OK ten times as offered: the selection's
// box is what was typed, to a thousandth, and stays so; the window shows it
// to a thousandth.
void tst_CSVGViewCommands::scaleDialogSizesExactly()
{
    QFETCH(QString, pieces);
    QFETCH(QString, offered);
    QFETCH(QString, typed);
    QFETCH(QRectF, box);
    QFETCH(QString, sizeFields);
    CMainFrame frame;
    CSVGView* view = frame.currentView();
    QVERIFY(view->loadData(("<svg xmlns=\"http://www.w3.org/2000/svg\">" + pieces + "</svg>").toUtf8()));
    view->getDocument()->selectAll();
    view->repaint();
    QStringList shown;
    QString toType = typed;
    Prompt::setHandler([&](Prompt::Kind, const QString&, const QString&) {
        const QList<QLineEdit*> fields = frame.findChild<DlgSizeModify*>()->findChildren<QLineEdit*>();
        shown << fields[0]->text() + " " + fields[1]->text();
        for (int i = 0; i < 2 && !toType.isEmpty(); ++i) {
            fields[i]->selectAll();
            QTest::keyClicks(fields[i], toType.section(' ', i, i));
        }
        toType.clear();
        return QVariant(int(QDialog::Accepted));
    });
    for (int i = 0; i < 11; ++i)
        frame.expand();
    QCOMPARE(shown.first(), offered);
    const QRectF got = view->getDocument()->getSelectionRect();
    for (const auto& [a, b] : { std::pair { got.left(), box.left() }, { got.top(), box.top() },
             { got.width(), box.width() }, { got.height(), box.height() } })
        QVERIFY2(qAbs(a - b) < 0.001, qPrintable(QString("%1 against %2").arg(a).arg(b)));
    QCOMPARE(int(view->getDocument()->getHistory().getCursor()), typed.isEmpty() ? 0 : 1);
    QStringList fieldTexts;
    for (const QLineEdit* field : frame.findChildren<QLineEdit*>()) {
        if (field->isReadOnly() && field->text().endsWith(" mm"))
            fieldTexts << field->text();
    }
    QCOMPARE(fieldTexts.join(' '), sizeFields);
}

ZOCUT_TEST_MAIN(tst_CSVGViewCommands)
#include "tst_CSVGViewCommands.moc"
