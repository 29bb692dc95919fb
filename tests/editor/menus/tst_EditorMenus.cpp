#include "CMenuColor.h"
#include "CMenuCombox.h"
#include "CToolButtonColorMenu.h"
#include "CToolButtonComboxMenu.h"
#include "TestEnvironment.h"

#include <QGridLayout>
#include <QToolButton>

// The style toolbar's pop-up menus and the buttons that carry them.
class tst_EditorMenus : public QObject
{
    Q_OBJECT
private slots:
    void entryEmitsColor_data();
    void entryEmitsColor();
    void colorButtonPress_data();
    void colorButtonPress();
    void fillEditorResult_data();
    void fillEditorResult();
    void stripSelection_data();
    void stripSelection();

private:
    static QAction* gridAction(QWidget* grid, int row, int column)
    {
        QLayoutItem* item = static_cast<QGridLayout*>(grid->layout())->itemAtPosition(row, column);
        return item ? static_cast<QToolButton*>(item->widget())->defaultAction() : nullptr;
    }
};

void tst_EditorMenus::entryEmitsColor_data()
{
    QTest::addColumn<int>("row"); // -1: "transparent"
    QTest::addColumn<int>("column");
    QTest::addColumn<QColor>("color");
    QTest::newRow("swatch 0,7 keeps green 250") << 0 << 7 << QColor(170, 250, 0);
    QTest::newRow("swatch 4,5") << 4 << 5 << QColor(255, 170, 127);
    QTest::newRow("transparent") << -1 << 0 << QColor(Qt::transparent);
}

void tst_EditorMenus::entryEmitsColor()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QColor, color);
    CMenuColor menu(0, nullptr);
    QSignalSpy spy(&menu, &CMenuColor::colorSelected);
    QAction* entry = row < 0 ? menu.actions().first() : gridAction(menu.swatchGrid(), row, column);
    QVERIFY(entry);
    entry->trigger();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first().first().value<QColor>().rgba(), color.rgba());
}

void tst_EditorMenus::colorButtonPress_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<bool>("opensMenu");
    QTest::newRow("icon part applies the colour again") << 10 << false;
    QTest::newRow("arrow part opens the menu") << 30 << true;
}

void tst_EditorMenus::colorButtonPress()
{
    QFETCH(int, x);
    QFETCH(bool, opensMenu);
    QWidget bar;
    auto* button = new CToolButtonColorMenu(2, Qt::blue, &bar);
    button->setFixedSize(40, 32);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    bool opened = false;
    connect(button->colorMenu(), &QMenu::aboutToShow, this, [&] {
        opened = true;
        QTimer::singleShot(0, button->colorMenu(), &QMenu::hide);
    });
    QSignalSpy spy(button, &CToolButtonColorMenu::ColorSelected);
    QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, QPoint(x, 16));
    QCOMPARE(opened, opensMenu);
    QCOMPARE(spy.count(), opensMenu ? 0 : 1);
    if (!opensMenu)
        QCOMPARE(spy.first().first().value<QColor>(), QColor(Qt::blue));
}

void tst_EditorMenus::fillEditorResult_data()
{
    QTest::addColumn<bool>("accepted");
    QTest::newRow("accepted") << true;
    QTest::newRow("cancelled") << false;
}

// The fill button hands on what the gradient editor returns, and nothing
// when it is cancelled.
void tst_EditorMenus::fillEditorResult()
{
    QFETCH(bool, accepted);
    CMenuColor::setFillEditors(
        [accepted](std::wstring& markup) {
            markup = L"<linearGradient id=\"g\"/>";
            return accepted;
        },
        nullptr);
    CToolButtonColorMenu button(2, Qt::blue, nullptr);
    QStringList received;
    connect(&button, &CToolButtonColorMenu::colorSelectedRadient, this,
        [&](const std::wstring& markup) { received << QString::fromStdWString(markup); });
    const QList<QAction*> entries = button.colorMenu()->actions();
    const auto gradual
        = std::find_if(entries.begin(), entries.end(), [](QAction* action) { return action->text() == "gradual"; });
    QVERIFY(gradual != entries.end());
    (*gradual)->trigger();
    CMenuColor::setFillEditors(nullptr, nullptr);
    QCOMPARE(received, accepted ? QStringList { "<linearGradient id=\"g\"/>" } : QStringList());
}

void tst_EditorMenus::stripSelection_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("shown");
    QTest::newRow("width picked in the menu") << 0 << 3 << true;
    QTest::newRow("last dash type picked in the menu") << 1 << 12 << true;
    QTest::newRow("width beyond the image") << 0 << 99 << false;
}

void tst_EditorMenus::stripSelection()
{
    QFETCH(int, kind);
    QFETCH(int, index);
    QFETCH(bool, shown);
    CToolButtonComboxMenu button(kind, 0, nullptr);
    QSignalSpy spy(&button, &CToolButtonComboxMenu::OnSelected);
    if (shown) {
        QAction* strip = gridAction(button.stripMenu()->stripGrid(), index, 0);
        QVERIFY(strip);
        strip->trigger();
    } else {
        button.Select(index);
    }
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first().first().toInt(), index);
    QCOMPARE(button.icon().isNull(), !shown);
}

ZOCUT_TEST_MAIN(tst_EditorMenus)
#include "tst_EditorMenus.moc"
