// The editor in every language of the program: at the smallest window size
// no label of the main window or of a dialog is cut off, dialogs lay out
// right to left in Arabic, and a language change reaches the open window and
// its open dialogs.
//
// Texts are measured in DejaVu Sans (fonts-dejavu-core), with WenQuanYi
// Micro Hei (fonts-wqy-microhei) for Chinese and Korean glyphs: the fonts
// that scripts/install-deps.sh installs.

#include "AutoNesterDialog.h"
#include "AutoPlaceDialog.h"
#include "CDlgAbout.h"
#include "CDlgGradient.h"
#include "CDlgPattern.h"
#include "CMainFrame.h"
#include "CSVGDocument.h"
#include "CSVGView.h"
#include "CTabWidgetEx.h"
#include "DialogSettings.h"
#include "DlgCanvas.h"
#include "DlgPlot.h"
#include "DlgSizeExpand.h"
#include "DlgSizeModify.h"
#include "DlgText.h"
#include "EditorFace.h"
#include "ImagePerspectiveDialog.h"
#include "NumberField.h"
#include "OpenMyshare.h"
#include "Prompt.h"
#include "RefusalText.h"
#include "SVGApplication.h"
#include "SaveFile.h"
#include "StandInSession.h"
#include "TestEnvironment.h"
#include "Trans.h"

#include <QAction>
#include <QCheckBox>
#include <QFontDatabase>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSpinBox>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTextDocument>
#include <QToolButton>

#include <algorithm>
#include <functional>
#include <memory>

namespace {
// The pages' smallest window, less the strip of page buttons above the editor.
const QSize kSmallestEditor(1024, 660 - EditorFace::kStripHeight);
const char* const kLatinFont = "DejaVu Sans";
// A window manager's title bar above a dialog: Windows 10's is 31 px high.
const int kTitleBarHeight = 31;
const char* const kCjkFont = "WenQuanYi Micro Hei";

struct Language
{
    const char* name; // as the language files call it
    const char* code; // as the pages hand it to the main window
};
const Language kLanguages[] = { { "简体中文", "zh_cn" }, { "English", "en" }, { "Russian", "ru" }, { "Arabic", "ar" },
    { "Korean", "ko" }, { "German", "ger" } };

QString plainText(const QString& text)
{
    QString plain = text;
    plain.replace(QLatin1String("&&"), QLatin1String("\x01")).remove(QLatin1Char('&'));
    return plain.replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

int widestLine(const QString& text, const QFontMetrics& metrics)
{
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        widest = qMax(widest, metrics.horizontalAdvance(line));
    return widest;
}

QStyleOptionButton buttonOption(const QAbstractButton* button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    if (const auto* push = qobject_cast<const QPushButton*>(button)) {
        if (push->autoDefault())
            option.features |= QStyleOptionButton::AutoDefaultButton;
        if (push->isDefault())
            option.features |= QStyleOptionButton::DefaultButton;
    }
    return option;
}

// The room that the style leaves for a button's text.
int buttonTextRoom(const QAbstractButton* button)
{
    const QStyle* style = button->style();
    if (qobject_cast<const QToolButton*>(button))
        return button->width() - 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
    const QStyleOptionButton option = buttonOption(button);
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox*>(button))
        contents = QStyle::SE_CheckBoxContents;
    else if (qobject_cast<const QRadioButton*>(button))
        contents = QStyle::SE_RadioButtonContents;
    int room = style->subElementRect(contents, &option, button).width();
    if (contents == QStyle::SE_PushButtonContents && !button->icon().isNull())
        room -= button->iconSize().width() + 4;
    return room;
}

// A tool button's lines below its icon must fit its height as well: lines
// beyond it are dropped.
bool toolButtonLinesFit(const QToolButton* button)
{
    if (button->toolButtonStyle() != Qt::ToolButtonTextUnderIcon)
        return true;
    const int frame = button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
    const int room = button->height() - 2 * frame - button->iconSize().height() - 4;
    const int lines = button->text().count(QLatin1Char('\n')) + 1;
    return lines * button->fontMetrics().lineSpacing() - button->fontMetrics().leading() <= room;
}

// "what: text needs N px, has M" for every shown text of the window that
// does not fit the widget that shows it.
QStringList cutTexts(QWidget* window)
{
    QStringList report;
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* widget : qAsConst(widgets)) {
        if (!widget->isVisible())
            continue;
        const QString what = QStringLiteral("%1 \"%2\"").arg(widget->metaObject()->className(), widget->objectName());
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            if (label->text().isEmpty())
                continue;
            const int room = label->contentsRect().width() - 2 * label->margin() - qMax(0, label->indent());
            QTextDocument rich;
            rich.setDefaultFont(label->font());
            rich.setDocumentMargin(0);
            rich.setHtml(label->text());
            const bool isRich = Qt::mightBeRichText(label->text()) && label->textFormat() != Qt::PlainText;
            const QString plain = isRich ? rich.toPlainText() : label->text();
            // A wrapped label breaks between words; no word may be wider.
            const QStringList pieces = label->wordWrap() ? plain.split(QRegularExpression(QStringLiteral("\\s+")))
                                                         : plain.split(QLatin1Char('\n'));
            for (const QString& piece : pieces) {
                const int need = label->fontMetrics().horizontalAdvance(piece);
                if (need > room)
                    report << QStringLiteral("%1: \"%2\" needs %3 px, has %4").arg(what, piece).arg(need).arg(room);
            }
        } else if (auto* tabs = qobject_cast<QTabBar*>(widget)) {
            for (int tab = 0; tab < tabs->count(); ++tab)
                if (!tabs->rect().contains(tabs->tabRect(tab)))
                    report << QStringLiteral("%1: tab \"%2\" lies outside").arg(what, tabs->tabText(tab));
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            const QString text = plainText(button->text());
            const auto* tool = qobject_cast<QToolButton*>(button);
            if (text.isEmpty() || (tool && tool->toolButtonStyle() == Qt::ToolButtonIconOnly))
                continue;
            const int need = widestLine(text, button->fontMetrics());
            const int room = buttonTextRoom(button);
            if (need > room)
                report << QStringLiteral("%1: \"%2\" needs %3 px, has %4").arg(what, text).arg(need).arg(room);
            else if (tool && !toolButtonLinesFit(tool))
                report << QStringLiteral("%1: \"%2\" has more lines than its height shows").arg(what, text);
        }
    }
    return report;
}

// A title bar holds the title in the title font beside the frame's icon and
// three caption buttons, 46 px each on Windows 10.
int titleNeed(const QWidget* window)
{
    const QFontMetrics metrics(QFontDatabase::systemFont(QFontDatabase::TitleFont));
    return metrics.horizontalAdvance(window->windowTitle()) + 3 * 46;
}

// The texts of the window that hold numbers or units: labels, buttons,
// fields with their units, spin boxes with their suffixes, progress bars.
QStringList shownTexts(QWidget* window)
{
    QStringList texts { window->windowTitle() };
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window))
            continue;
        if (auto* label = qobject_cast<QLabel*>(widget))
            texts << label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            texts << button->text();
        else if (auto* number = qobject_cast<NumberField*>(widget))
            texts << number->text() + ' ' + number->unitText();
        else if (auto* line = qobject_cast<QLineEdit*>(widget))
            texts << line->text();
        else if (auto* spin = qobject_cast<QAbstractSpinBox*>(widget))
            texts << spin->text();
        else if (auto* progress = qobject_cast<QProgressBar*>(widget))
            texts << progress->text();
    }
    return texts;
}

// Numbers in more than the one digit system of the interface language, or
// a unit word other than the language's.
QStringList mixedNumbers(QWidget* window, const QString& unit)
{
    QStringList report;
    const QChar zero = QLocale().zeroDigit();
    static const QRegularExpression latinUnit(QStringLiteral("\\bmm\\b"));
    for (const QString& text : shownTexts(window)) {
        if (std::any_of(text.begin(), text.end(),
                [zero](QChar c) { return c.isDigit() && QChar(c.unicode() - c.digitValue()) != zero; }))
            report << QStringLiteral("digits other than %1 in \"%2\"").arg(zero, text);
        if (unit != QLatin1String("mm") && text.contains(latinUnit))
            report << QStringLiteral("\"mm\" in \"%1\"").arg(text);
    }
    for (const NumberField* field : window->findChildren<NumberField*>())
        if (!field->unitText().isEmpty() && field->unitText() != unit)
            report << QStringLiteral("unit \"%1\"").arg(field->unitText());
    return report;
}

QString languageReport(const Language& language, const QString& window, const QStringList& cut)
{
    return QStringLiteral("%1, %2:\n  %3").arg(QString::fromUtf8(language.name), window, cut.join("\n  "));
}
} // namespace

class tst_LanguageLayout : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void mainWindowFits_data();
    void mainWindowFits();
    void dialogsFitAndFollowDirection_data();
    void dialogsFitAndFollowDirection();
    void dialogsOpenWhole_data();
    void dialogsOpenWhole();
    void languageChangeReachesOpenWindows();
    void numbersFollowTheLanguage_data();
    void numbersFollowTheLanguage();
    void recoveryQuestionSpeaksTheSavedLanguage_data();
    void recoveryQuestionSpeaksTheSavedLanguage();

private:
    using Dialogs = std::vector<std::pair<const char*, std::function<QDialog*()>>>;
    static Dialogs everyDialog(CMainFrame& frame, CSVGDocument& document);
    void switchTo(const Language& language, CMainFrame* frame = nullptr);
    void languageRows();

    Trans m_trans;
};

void tst_LanguageLayout::initTestCase()
{
    const QStringList families = QFontDatabase().families();
    for (const char* family : { kLatinFont, kCjkFont })
        QVERIFY2(families.contains(QLatin1String(family)), family);
    QFont::insertSubstitution(QLatin1String(kLatinFont), QLatin1String(kCjkFont));
    QApplication::setFont(QFont(QLatin1String(kLatinFont), 10));
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

void tst_LanguageLayout::languageRows()
{
    QTest::addColumn<int>("language");
    for (int i = 0; i < int(std::size(kLanguages)); ++i)
        QTest::newRow(kLanguages[i].code) << i;
}

void tst_LanguageLayout::mainWindowFits_data()
{
    languageRows();
}

// Every action that the account's rights can show is shown: the widest case.
void tst_LanguageLayout::mainWindowFits()
{
    QFETCH(int, language);
    CMainFrame frame;
    for (auto action : { CMainFrame::Color, CMainFrame::Note, CMainFrame::ImagingSystem, CMainFrame::VectorEngine,
             CMainFrame::ImportFile })
        frame.action(action)->setVisible(true);
    frame.resize(kSmallestEditor);
    frame.show();
    switchTo(kLanguages[language], &frame);
    QCOMPARE(frame.size(), kSmallestEditor);
    const QStringList cut = cutTexts(&frame);
    QVERIFY2(cut.isEmpty(), qPrintable(languageReport(kLanguages[language], "main window", cut)));
    // The labels are the language's own, not the English source texts.
    QCOMPARE(frame.action(CMainFrame::Cutting)->text() == QLatin1String("Cutting"), language == 1);
}

// Every dialog of the program, as the window opens it.
tst_LanguageLayout::Dialogs tst_LanguageLayout::everyDialog(CMainFrame& frame, CSVGDocument& document)
{
    return {
        { "about", [] { return new CDlgAbout; } },
        { "gradient", [] { return new CDlgGradient; } },
        { "pattern", [] { return new CDlgPattern; } },
        { "canvas", [&] { return new DlgCanvas(&frame); } },
        { "expand",
            [&] {
                auto* dialog = new DlgSizeExpand(true, &frame);
                dialog->setWindowTitle(CMainFrame::tr("Inset Expansion"));
                return dialog;
            } },
        { "scale", [&] { return new DlgSizeModify(QSizeF(10, 20), &frame); } },
        { "text", [&] { return new DlgText(nullptr, QPointF(), &frame); } },
        { "trace", [&] { return new ImagePerspectiveDialog(true, &frame); } },
        { "cut", [&] { return new DlgPlot(&document, QStringLiteral("job"), &frame); } },
        { "settings", [&] { return new DialogSettings(&frame); } },
        { "online nesting", [&] { return new AutoNesterDialog(&document, &frame); } },
        { "nesting", [&] { return new Vantor::Placement::AutoPlaceDialog(&document, &frame); } },
        { "save", [&] { return new SaveFile(&frame); } },
        { "share", [&] { return new OpenMyshare(&frame); } },
    };
}

void tst_LanguageLayout::dialogsFitAndFollowDirection_data()
{
    languageRows();
}

void tst_LanguageLayout::dialogsFitAndFollowDirection()
{
    QFETCH(int, language);
    CMainFrame frame;
    switchTo(kLanguages[language], &frame);
    CSVGDocument document;
    document.newDocument();
    const Dialogs dialogs = everyDialog(frame, document);
    const Qt::LayoutDirection direction = language == 3 ? Qt::RightToLeft : Qt::LeftToRight;
    QStringList report;
    for (const auto& [name, make] : dialogs) {
        std::unique_ptr<QDialog> dialog(make());
        dialog->show();
        QCoreApplication::processEvents();
        const QStringList cut = cutTexts(dialog.get());
        if (!cut.isEmpty())
            report << languageReport(kLanguages[language], name, cut);
        if (dialog->layoutDirection() != direction)
            report << QStringLiteral("%1: laid out in the wrong direction").arg(name);
        if (dialog->width() < titleNeed(dialog.get()))
            report << QStringLiteral("%1: title \"%2\" needs %3 px, has %4")
                          .arg(name, dialog->windowTitle())
                          .arg(titleNeed(dialog.get()))
                          .arg(dialog->width());
        for (const QString& mixed : mixedNumbers(dialog.get(), m_trans.trans(QStringLiteral("mm"))))
            report << QStringLiteral("%1: %2").arg(name, mixed);
    }
    QVERIFY2(report.isEmpty(), qPrintable(report.join('\n')));
}

void tst_LanguageLayout::dialogsOpenWhole_data()
{
    languageRows();
}

// On the X displays of 1024 x 660 (the window's smallest size) and
// 1366 x 768 that this test is run on, every dialog opens over the window
// with all of it on the screen, a window manager's title bar included.
void tst_LanguageLayout::dialogsOpenWhole()
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        QSKIP("needs a screen of a real size: runs on X displays of its own");
    QFETCH(int, language);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    CMainFrame frame;
    frame.setGeometry(screen);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    switchTo(kLanguages[language], &frame);
    CSVGDocument document;
    document.newDocument();
    QStringList report;
    for (const auto& [name, make] : everyDialog(frame, document)) {
        std::unique_ptr<QDialog> dialog(make());
        dialog->show();
        if (!QTest::qWaitForWindowExposed(dialog.get()))
            report << QStringLiteral("%1: not shown").arg(name);
        // No window manager draws a frame here: the title bar is added.
        const QRect whole = dialog->frameGeometry();
        if (!screen.contains(whole) || whole.height() + kTitleBarHeight > screen.height())
            report << QStringLiteral("%1: %2 x %3 at (%4, %5) and a title bar, on a screen of %6 x %7")
                          .arg(name)
                          .arg(whole.width())
                          .arg(whole.height())
                          .arg(whole.x())
                          .arg(whole.y())
                          .arg(screen.width())
                          .arg(screen.height());
        for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
            const QRect at(button->mapTo(dialog.get(), QPoint()), button->size());
            if (button->isVisibleTo(dialog.get()) && !dialog->rect().contains(at))
                report << QStringLiteral("%1: button \"%2\" lies outside").arg(name, button->text());
        }
    }
    QVERIFY2(report.isEmpty(), qPrintable(languageReport(kLanguages[language], "dialogs", report)));
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
    QCOMPARE(dialog->layoutDirection(), Qt::LeftToRight);

    // The texts alone change too, as when the pages switch before the
    // window hears of it.
    m_trans.setCurrentLang("Korean");
    QCoreApplication::processEvents();
    QCOMPARE(frame.action(CMainFrame::SupperNesting)->text(), QString("네스팅"));
    QCOMPARE(tabText(), QString("새 파일1"));
    QCOMPARE(pick->text(), QString("위치 지정"));

    switchTo(kLanguages[3], &frame);
    QCOMPARE(pick->text(), QString("تحديد الموضع"));
    QCOMPARE(dialog->layoutDirection(), Qt::RightToLeft);
    QCOMPARE(frame.layoutDirection(), Qt::LeftToRight);

    // A title longer than the dialog, given while it is open, widens it.
    dialog->setWindowTitle(QString(120, QChar('W')));
    QVERIFY(dialog->width() >= dialog->titleWidth());
}

// The sizes shown, the page-edge warning and a piece that stops the nesting
// write numbers and units as the language does.
void tst_LanguageLayout::numbersFollowTheLanguage_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("German") << 5
                            << QStringList { "12,5 mm", "2625 mm",
                                   "Ein Teil von 27,6 × 75,0 mm bei (236,3; -2,5) mm ragt über den Seitenrand.",
                                   "Das Teil mit 100,0 × 50,0 mm bei (10,0; 10,0) ist breiter als die Rolle." };
    QTest::newRow("Russian") << 2
                             << QStringList { "12,5 мм", "2625 мм",
                                    "Деталь 27,6 × 75,0 мм в точке (236,3; -2,5) мм выходит за край страницы.",
                                    "Деталь 100,0 × 50,0 мм в точке (10,0; 10,0) шире рулона." };
}

void tst_LanguageLayout::numbersFollowTheLanguage()
{
    QFETCH(int, language);
    QFETCH(QStringList, shown);
    CMainFrame frame;
    frame.setSizeLabels(12.5, 2625);
    switchTo(kLanguages[language], &frame);
    QString warned;
    CSVGDocument::setWarningHook([&warned](const QString&, const QString& text) { warned = text; });
    CSVGView view(nullptr);
    view.loadData("<svg xmlns=\"http://www.w3.org/2000/svg\">"
                  "<rect x=\"236.3\" y=\"-2.5\" width=\"27.6\" height=\"75\"/></svg>");
    view.getDocument()->checkNoIntersection();
    CSVGDocument::setWarningHook(nullptr);
    const Vantor::Placement::PlacementRefusal wide { Vantor::Placement::PlacementRefusal::Kind::WiderThanRoll,
        QRectF(10, 10, 100, 50) };
    QCOMPARE(QStringList({ frame.findChild<QLineEdit*>("length")->text(), frame.findChild<QLineEdit*>("height")->text(),
                 warned, RefusalText::of(wide, QString()) }),
        shown);
}

void tst_LanguageLayout::recoveryQuestionSpeaksTheSavedLanguage_data()
{
    languageRows();
}

// At start the language code that the sign-in page saved picks the texts
// before the window asks its first question: whether to recover a drawing.
void tst_LanguageLayout::recoveryQuestionSpeaksTheSavedLanguage()
{
    QFETCH(int, language);
    QDir(CSVGView::autosaveFolder()).removeRecursively();
    QStringList asked;
    Prompt::setHandler([&asked](Prompt::Kind, const QString&, const QString& text) {
        asked << text;
        return QVariant(int(QMessageBox::Cancel));
    });
    {
        CSVGView left(nullptr);
        left.setAutosaveName(QStringLiteral("door"));
        left.getDocument()->pasteSvgText(L"<rect width=\"5\" height=\"5\"/>");
        left.keepAutosaveForRecovery();
    }
    m_trans.setLanguageCode(QLatin1String(kLanguages[language].code));
    CMainFrame frame;
    m_trans.setCurrentLang(QString::fromUtf8(kLanguages[language].name));
    QCOMPARE(asked, QStringList(QCoreApplication::translate("CMainFrame", "Do you want to recover?")));
    QCOMPARE(asked.first() == QLatin1String("Do you want to recover?"), language == 1);
}

ZOCUT_APPLICATION_TEST_MAIN(tst_LanguageLayout)
#include "tst_LanguageLayout.moc"
