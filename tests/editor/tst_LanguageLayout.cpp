// A change of language reaches the editor's open window and its open
// dialogs.

#include "CMainFrame.h"
#include "CTabWidgetEx.h"
#include "DlgText.h"
#include "Prompt.h"
#include "SVGApplication.h"
#include "StandInSession.h"
#include "TestEnvironment.h"
#include "Trans.h"

#include <QAction>
#include <QPushButton>

namespace {
struct Language
{
    const char* name; // as the language files call it
    const char* code; // as the pages hand it to the main window
};
const Language kLanguages[] = { { "简体中文", "zh_cn" }, { "English", "en" }, { "Russian", "ru" }, { "Arabic", "ar" },
    { "Korean", "ko" }, { "German", "ger" } };
} // namespace

class tst_LanguageLayout : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void languageChangeReachesOpenWindows();

private:
    void switchTo(const Language& language, CMainFrame* frame = nullptr);

    Trans m_trans;
};

void tst_LanguageLayout::initTestCase()
{
    m_trans.init(nullptr, QCoreApplication::applicationDirPath() + QStringLiteral("/translations"));
    switchTo(kLanguages[1]);
}

void tst_LanguageLayout::init()
{
    Prompt::setHandler([](Prompt::Kind, const QString&, const QString&) { return QVariant(); });
}

void tst_LanguageLayout::cleanup()
{
    switchTo(kLanguages[1]);
    Prompt::setHandler(nullptr);
}

// As the sign-in page does it: the texts, then the main window.
void tst_LanguageLayout::switchTo(const Language& language, CMainFrame* frame)
{
    m_trans.setCurrentLang(QString::fromUtf8(language.name));
    if (frame)
        frame->changeLanguage(QLatin1String(language.code));
    else
        SVGApplication::instance()->setLanguage(QLatin1String(language.code));
    QCoreApplication::processEvents();
}

// The text dialog stays open beside the canvas while the language changes.
void tst_LanguageLayout::languageChangeReachesOpenWindows()
{
    CMainFrame frame;
    frame.show();
    frame.drawtext();
    auto* dialog = frame.findChild<DlgText*>();
    QVERIFY(dialog && dialog->isVisible());
    auto* pick = dialog->findChild<QPushButton*>("getPosition");
    const auto tabText = [&] { return frame.tabWidget()->tabText(0); };
    QCOMPARE(tabText(), QString("New File1"));

    switchTo(kLanguages[2], &frame);
    QCOMPARE(frame.action(CMainFrame::Cutting)->text(), QString("Резка"));
    QCOMPARE(frame.action(CMainFrame::AlignTop)->text(), QString("Выровнять по верху"));
    QCOMPARE(tabText(), QString("Новый файл1"));
    QCOMPARE(dialog->windowTitle(), QString("Текст"));
    QCOMPARE(pick->text(), QString("Указать место"));

    // The texts alone change too, as when the pages switch before the
    // window hears of it.
    m_trans.setCurrentLang("Korean");
    QCoreApplication::processEvents();
    QCOMPARE(frame.action(CMainFrame::SupperNesting)->text(), QString("네스팅"));
    QCOMPARE(pick->text(), QString("위치 지정"));

    switchTo(kLanguages[3], &frame);
    QCOMPARE(pick->text(), QString("تحديد الموضع"));
}

ZOCUT_APPLICATION_TEST_MAIN(tst_LanguageLayout)
#include "tst_LanguageLayout.moc"
