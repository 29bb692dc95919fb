#include "CMainFrame.h"
#include "CSVGScene.h"
#include "CSVGView.h"
#include "CTabWidgetEx.h"
#include "SVGApplication.h"
#include "StandInSession.h"
#include "SvgCodes.h"
#include "TestEnvironment.h"
#include "TestImages.h"

#include <QBuffer>
#include <QClipboard>
#include <QGraphicsPathItem>
#include <QMimeData>
#include <QPen>
#include <QProcess>

#include <set>

// The clipboard as a person uses it: copy, the outline under the mouse, a
// click that places the copy, tabs that come and go meanwhile, and a picture
// from another program.
namespace {
SVGClipboard& clipboard()
{
    return *SVGApplication::instance()->clipboard();
}

void copyAll(CMainFrame& frame)
{
    QVERIFY(frame.currentView()->loadData("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"400\" height=\"300\">"
                                          "<rect id=\"a\" x=\"10\" y=\"10\" width=\"20\" height=\"10\"/>"
                                          "<rect id=\"b\" x=\"40\" y=\"30\" width=\"10\" height=\"10\"/></svg>"));
    frame.currentView()->getDocument()->selectAll();
    frame.copy();
}

// The number of ids, or -1 when one is used twice.
int uniqueIds(CSVGView* view)
{
    std::vector<CSVGElement*> elements;
    CSVGDocument::collectSubtree(view->getDocument()->getOwnerSvg(), elements);
    std::set<std::wstring> ids;
    for (CSVGElement* element : elements) {
        if (!element->getId().empty() && !ids.insert(element->getId()).second)
            return -1;
    }
    return int(ids.size());
}

bool near(const QPointF& a, const QPointF& b)
{
    return (a - b).manhattanLength() < 1e-4;
}
} // namespace

class tst_CSVGViewClipboard : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void previewOutlivesItsTab();
    void copyToolPlacesThePaste();
    void pictureWhenNothingWasCopied();
    void previewShowsThePieceAsItIs();
    void leavingPlacesNothing_data();
    void leavingPlacesNothing();
};

void tst_CSVGViewClipboard::init()
{
    clipboard().text.clear();
    delete clipboard().preview;
    clipboard().preview = nullptr;
}

// Closing the tab that shows the outline must not take the clipboard's item:
// the sanitizers catch a second delete or a use after it.
void tst_CSVGViewClipboard::previewOutlivesItsTab()
{
    CMainFrame frame;
    frame.fileNew();
    frame.tabWidget()->setCurrentIndex(0);
    copyAll(frame);
    frame.tabClose(0);
    frame.tabWidget()->setCurrentIndex(0);
    CSVGView* other = frame.currentView();
    QCOMPARE(clipboard().preview->scene(), other->getScene());
    QCOMPARE(other->getDocument()->getEditMode(), int(EditMode::Copy));
    clipboard().movePreviewTo(QPointF(100, 100));

    const int before = uniqueIds(other);
    frame.paste();
    frame.paste();
    QCOMPARE(uniqueIds(other), before + 4);
    copyAll(frame);
    QCOMPARE(clipboard().preview->path().boundingRect(), other->getDocument()->getSelectionRect());
    QVERIFY(clipboard().preview->pen().isCosmetic());
}

// The outline's centre follows the mouse; the click pastes there, beside
// the pieces whose ids the copy shares, and keeps the text for later.
void tst_CSVGViewClipboard::copyToolPlacesThePaste()
{
    CMainFrame frame;
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    copyAll(frame);
    CSVGView* view = frame.currentView();
    QWidget* viewport = view->viewport();
    for (const QPoint& mouse : { QPoint(50, 60), QPoint(120, 90) }) {
        QMouseEvent event(QEvent::MouseMove, mouse, viewport->mapToGlobal(mouse), Qt::NoButton, {}, {});
        QApplication::sendEvent(viewport, &event);
        QVERIFY(near(clipboard().preview->path().boundingRect().center(), view->mapToScene(mouse)));
    }
    QCOMPARE(clipboard().preview->pen().widthF(), 0.5 / view->displayScale());
    const int before = uniqueIds(view);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(200, 150));
    QVERIFY(near(view->getDocument()->getSelectionRect().center(), view->mapToScene(QPoint(200, 150))));
    QCOMPARE(uniqueIds(view), before + 2);
    QVERIFY(clipboard().isEmpty() && !clipboard().text.isEmpty());
    QCOMPARE(view->getDocument()->getEditMode(), int(EditMode::Select));
}

// The exact element, its pixels, and another renderer drawing it at the
// point; without a picture nothing comes.
void tst_CSVGViewClipboard::pictureWhenNothingWasCopied()
{
    QImage picture(3, 2, QImage::Format_ARGB32);
    picture.fill(Qt::blue);
    for (int x = 0; x < 3; ++x)
        picture.setPixelColor(x, 0, Qt::red);
    const QString element = SVGClipboard::imageElementText(picture, QPointF(12.5, 7));
    const QString prefix = "<image x=\"12.5\" y=\"7\" width=\"3\" height=\"2\" xlink:href=\"data:image/png;base64,";
    QVERIFY(element.startsWith(prefix) && element.endsWith("\"/>"));
    const QByteArray png = QByteArray::fromBase64(element.mid(prefix.size()).chopped(3).toLatin1());
    QCOMPARE(QImage::fromData(png, "PNG").convertToFormat(QImage::Format_ARGB32), picture);

    CSVGDocument document;
    QVERIFY(document.parseSvgText(L"<svg width=\"40\" height=\"20\"/>", false, false));
    const int children = document.getOwnerSvg()->getChildCount();
    QGuiApplication::clipboard()->clear();
    clipboard().pasteInto(&document, QPointF(12.5, 7));
    QCOMPARE(document.getOwnerSvg()->getChildCount(), children);
    QGuiApplication::clipboard()->setImage(picture);
    clipboard().pasteInto(&document, QPointF(12.5, 7));
    // An SVG picture that shows itself is no picture to paste, and no loop.
    QTemporaryDir folder;
    const QByteArray selfShowing = selfShowingSvg(folder.filePath("self.svg"));
    QVERIFY(!selfShowing.isEmpty());
    // Another program's picture comes as bytes and is decoded as a file's.
    QByteArray saved;
    QBuffer buffer(&saved);
    QVERIFY(buffer.open(QIODevice::WriteOnly) && picture.save(&buffer, "PNG"));
    for (const auto& [format, bytes] : { std::pair<QString, QByteArray>("image/svg+xml", selfShowing),
             std::pair<QString, QByteArray>("image/png", saved) }) {
        auto* mime = new QMimeData;
        mime->setData(format, bytes);
        QGuiApplication::clipboard()->setMimeData(mime);
        clipboard().pasteInto(&document, QPointF(12.5, 7));
    }
    QCOMPARE(document.getOwnerSvg()->getChildCount(), children + 2);
    QVERIFY(document.saveFile(folder.filePath("pasted.svg")));
    QCOMPARE(
        QProcess::execute("rsvg-convert", { "-o", folder.filePath("pasted.png"), folder.filePath("pasted.svg") }), 0);
    const QImage drawn(folder.filePath("pasted.png"));
    QCOMPARE(drawn.pixelColor(14, 7), QColor(Qt::red));
    QCOMPARE(drawn.pixelColor(14, 8), QColor(Qt::blue));
    QCOMPARE(drawn.pixelColor(11, 7).alpha(), 0);
}

// A turned, stretched and mirrored piece: its outline under the mouse is
// the piece as the canvas shows it, and the click places that; the paste is
// one undo step.
void tst_CSVGViewClipboard::previewShowsThePieceAsItIs()
{
    CMainFrame frame;
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    CSVGView* view = frame.currentView();
    QVERIFY(view->loadData("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"400\" height=\"300\"><rect x=\"10\" "
                           "y=\"10\" width=\"20\" height=\"10\" transform=\"matrix(0,2,1,0,100,50)\"/></svg>"));
    CSVGDocument* document = view->getDocument();
    document->selectAll();
    const QRectF piece = document->getSelectionRect();
    frame.copy();
    QCOMPARE(clipboard().preview->path().boundingRect(), piece);
    const QString before = QString::fromStdWString(document->toSvgText());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(200, 150));
    const QRectF pasted = document->getSelectionRect();
    QVERIFY(near(pasted.center(), view->mapToScene(QPoint(200, 150))));
    QVERIFY(near(QPointF(pasted.width(), pasted.height()), QPointF(piece.width(), piece.height())));
    const QString after = QString::fromStdWString(document->toSvgText());
    view->OnUndo();
    QCOMPARE(QString::fromStdWString(document->toSvgText()), before);
    view->OnRedo();
    QCOMPARE(QString::fromStdWString(document->toSvgText()), after);
}

void tst_CSVGViewClipboard::leavingPlacesNothing_data()
{
    QTest::addColumn<bool>("escape"); // else a right click
    QTest::newRow("escape") << true;
    QTest::newRow("right click") << false;
}

// Out of the copy tool the outline is gone, in this tab and the next, and
// a click selects instead of pasting.
void tst_CSVGViewClipboard::leavingPlacesNothing()
{
    QFETCH(bool, escape);
    CMainFrame frame;
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    copyAll(frame);
    CSVGView* view = frame.currentView();
    const int before = uniqueIds(view);
    if (escape)
        QTest::keyClick(view, Qt::Key_Escape);
    else
        QTest::mouseClick(view->viewport(), Qt::RightButton, {}, QPoint(120, 90));
    QVERIFY(clipboard().isEmpty());
    QCOMPARE(view->getDocument()->getEditMode(), int(EditMode::Select));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(200, 150));
    QCOMPARE(uniqueIds(view), before);
    frame.fileNew();
    QCOMPARE(frame.currentView()->getDocument()->getEditMode(), int(EditMode::Select));
}

ZOCUT_APPLICATION_TEST_MAIN(tst_CSVGViewClipboard)
#include "tst_CSVGViewClipboard.moc"
