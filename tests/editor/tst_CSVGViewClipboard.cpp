#include "CMainFrame.h"
#include "CSVGScene.h"
#include "CSVGView.h"
#include "CTabWidgetEx.h"
#include "Prompt.h"
#include "SVGApplication.h"
#include "StandInSession.h"
#include "SvgCodes.h"
#include "TestEnvironment.h"

#include <QGraphicsPathItem>

#include <set>

// The clipboard as a person uses it across tabs: copy, the outline under the
// mouse, a click that places the copy, and tabs that come and go meanwhile.
namespace {
const char* const kPieces = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"400\" height=\"300\">"
                            "<rect id=\"a\" x=\"10\" y=\"10\" width=\"20\" height=\"10\"/>"
                            "<rect id=\"b\" x=\"40\" y=\"30\" width=\"10\" height=\"10\"/></svg>";

SVGClipboard& clipboard()
{
    return *SVGApplication::instance()->clipboard();
}

void copyAll(CMainFrame& frame)
{
    CSVGView* view = frame.currentView();
    QVERIFY(view->loadData(kPieces));
    view->getDocument()->selectAll();
    frame.copy();
}

bool near(const QPointF& a, const QPointF& b)
{
    return (a - b).manhattanLength() < 1e-4;
}

int shapeCount(CSVGView* view)
{
    std::vector<CSVGElement*> elements;
    CSVGDocument::collectSubtree(view->getDocument()->getOwnerSvg(), elements);
    return int(std::count_if(elements.begin(), elements.end(), [](CSVGElement* e) { return e->isShape(); }));
}

std::set<std::wstring> ids(CSVGView* view)
{
    std::vector<CSVGElement*> elements;
    CSVGDocument::collectSubtree(view->getDocument()->getOwnerSvg(), elements);
    std::set<std::wstring> found;
    for (CSVGElement* element : elements) {
        if (!element->getId().empty() && !found.insert(element->getId()).second)
            return {};
    }
    return found;
}
} // namespace

class tst_CSVGViewClipboard : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void previewOutlivesItsTab();
    void copyToolPlacesThePaste();
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
    QCOMPARE(clipboard().preview->scene(), frame.currentView()->getScene());
    QCOMPARE(frame.currentView()->getDocument()->getEditMode(), int(EditMode::Copy));

    frame.tabClose(0);
    frame.tabWidget()->setCurrentIndex(0);
    CSVGView* other = frame.currentView();
    QVERIFY(other && !clipboard().isEmpty());
    QCOMPARE(clipboard().preview->scene(), other->getScene());
    QCOMPARE(other->getDocument()->getEditMode(), int(EditMode::Copy));
    clipboard().movePreviewTo(QPointF(100, 100));

    const int before = shapeCount(other);
    frame.paste();
    QCOMPARE(shapeCount(other), before + 2);
    QVERIFY(clipboard().isEmpty() && !clipboard().text.isEmpty());
    QCOMPARE(other->getDocument()->getEditMode(), int(EditMode::Select));
    frame.paste();
    QCOMPARE(shapeCount(other), before + 4);

    copyAll(frame);
    QCOMPARE(clipboard().preview->path().boundingRect(), QRectF(10, 10, 40, 30));
}

// The outline's centre follows the mouse; the click pastes there, beside
// the pieces whose ids the copy shares.
void tst_CSVGViewClipboard::copyToolPlacesThePaste()
{
    CMainFrame frame;
    frame.resize(900, 700);
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
    const size_t before = ids(view).size();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(200, 150));
    QVERIFY(near(view->getDocument()->getSelectionRect().center(), view->mapToScene(QPoint(200, 150))));
    QCOMPARE(ids(view).size(), before + 2);
    QVERIFY(clipboard().isEmpty() && !clipboard().text.isEmpty());
    QCOMPARE(view->getDocument()->getEditMode(), int(EditMode::Select));
}

ZOCUT_APPLICATION_TEST_MAIN(tst_CSVGViewClipboard)
#include "tst_CSVGViewClipboard.moc"
