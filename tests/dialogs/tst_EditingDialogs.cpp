#include "CColorPickButton.h"
#include "CDlgGradient.h"
#include "CDlgPattern.h"
#include "CFillEditors.h"
#include "CMenuColor.h"
#include "DlgCanvas.h"
#include "DlgSizeExpand.h"
#include "DlgSizeModify.h"
#include "DlgText.h"
#include "DlgTextHost.h"
#include "InterfaceLocale.h"
#include "NumberField.h"
#include "Prompt.h"
#include "TestEnvironment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSvgRenderer>
#include <QTextCharFormat>
#include <QXmlStreamReader>

#include <algorithm>
#include <functional>
#include <memory>

// The editing dialogs as the main window and the colour menu use them.
class tst_EditingDialogs : public QObject
{
    Q_OBJECT
private slots:
    // Numbers as English writes them, whatever the machine's locale.
    void initTestCase() { QLocale::setDefault(InterfaceLocale::forLanguage("en")); }
    void fillMarkup_data();
    void fillMarkup();
    void menuRunsFillEditors_data();
    void menuRunsFillEditors();
    void resultSize_data();
    void resultSize();
    void typedNumbers_data();
    void typedNumbers();
    void canvasSizeFromSettings_data();
    void canvasSizeFromSettings();
    void textDialog();
};

namespace {
// Picks a swatch in the first colour button's menu, as a user would.
void pickFirstColor(QDialog& dialog, int row, int column)
{
    auto* grid = static_cast<QGridLayout*>(dialog.findChild<CColorPickButton*>()->colorMenu()->swatchGrid()->layout());
    static_cast<QToolButton*>(grid->itemAtPosition(row, column)->widget())->defaultAction()->trigger();
}

QImage render(const QString& svg, const QSize& size)
{
    QSvgRenderer renderer(svg.toUtf8());
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::gray);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

bool near(QRgb a, QColor b)
{
    return qAbs(qRed(a) - b.red()) < 16 && qAbs(qGreen(a) - b.green()) < 16 && qAbs(qBlue(a) - b.blue()) < 16;
}
} // namespace

namespace {
// The canvas as the text dialog sees it.
struct TextHost : DlgTextHost
{
    void setPickPosition(bool on) override { pick = on; }
    void insertTextElement(const QString& text, const QTextCharFormat& format, const QPointF& point) override
    {
        inserted << text;
        weight = format.fontWeight();
        at = point;
    }
    bool pick = false;
    QStringList inserted;
    int weight = 0;
    QPointF at;
};
} // namespace

void tst_EditingDialogs::fillMarkup_data()
{
    QTest::addColumn<bool>("pattern");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("element");
    QTest::addColumn<QPointF>("startAt"); // fractions of the filled box
    QTest::addColumn<QPointF>("endAt");
    QTest::addColumn<QColor>("endColor");
    QTest::newRow("linear gradient") << false << 0 << "linearGradient" << QPointF(0.02, 0.5) << QPointF(0.98, 0.5)
                                     << QColor(0, 0, 255);
    QTest::newRow("radial gradient") << false << 1 << "radialGradient" << QPointF(0.5, 0.5) << QPointF(0.01, 0.02)
                                     << QColor(0, 0, 255);
    QTest::newRow("checker pattern") << true << 3 << "pattern" << QPointF(0.25, 0.25) << QPointF(0.75, 0.25)
                                     << QColor(Qt::white);
}

// One paint server per markup, which Qt's renderer reads. It paints no
// patterns, so a pattern's tile is checked as a picture of its own.
void tst_EditingDialogs::fillMarkup()
{
    QFETCH(bool, pattern);
    QFETCH(int, type);
    QFETCH(QString, element);
    QFETCH(QPointF, startAt);
    QFETCH(QPointF, endAt);
    QFETCH(QColor, endColor);
    std::unique_ptr<QDialog> dialog;
    if (pattern)
        dialog = std::make_unique<CDlgPattern>();
    else
        dialog = std::make_unique<CDlgGradient>();
    dialog->findChild<QComboBox*>()->setCurrentIndex(type);
    pickFirstColor(*dialog, 3, 1);
    const QString markup = QString::fromStdWString(pattern ? static_cast<CDlgPattern&>(*dialog).getPatternSvg()
                                                           : static_cast<CDlgGradient&>(*dialog).getGradientSvg());

    QXmlStreamReader reader(markup);
    int topLevel = 0;
    QString id;
    while (reader.readNext() != QXmlStreamReader::Invalid && !reader.atEnd()) {
        if (reader.isStartElement() && ++topLevel == 1) {
            QCOMPARE(reader.name().toString(), element);
            id = reader.attributes().value("id").toString();
            reader.skipCurrentElement();
        }
    }
    QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
    QCOMPARE(topLevel, 1);
    QVERIFY(!id.isEmpty());

    QString svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100\" height=\"50\"><defs>" + markup
        + "</defs><rect width=\"100\" height=\"50\" fill=\"url(#" + id + ")\"/></svg>";
    QSize size(100, 50);
    if (pattern) {
        svg = markup;
        svg.replace(QRegularExpression("^<pattern"), "<svg xmlns=\"http://www.w3.org/2000/svg\"")
            .replace("</pattern>", "</svg>");
        size = QSize(10, 10);
    }
    const QImage image = render(svg, size);
    const auto pixel = [&](QPointF at) { return image.pixel(int(at.x() * size.width()), int(at.y() * size.height())); };
    QVERIFY(near(pixel(startAt), QColor(255, 0, 0)));
    QVERIFY(near(pixel(endAt), endColor));
}

void tst_EditingDialogs::menuRunsFillEditors_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("start");
    QTest::newRow("gradual") << "gradual"
                             << "<linearGradient ";
    QTest::newRow("pattern") << "pattern"
                             << "<pattern ";
}

void tst_EditingDialogs::menuRunsFillEditors()
{
    QFETCH(QString, entry);
    QFETCH(QString, start);
    CFillEditors::install();
    Prompt::setHandler([](Prompt::Kind, const QString&, const QString&) { return int(QDialog::Accepted); });
    CMenuColor menu(1, nullptr);
    QString markup;
    connect(&menu, &CMenuColor::colorSelectedRadient, this,
        [&](const std::wstring& text) { markup = "gradual:" + QString::fromStdWString(text); });
    connect(&menu, &CMenuColor::colorSelectedPattern, this,
        [&](const std::wstring& text) { markup = "pattern:" + QString::fromStdWString(text); });
    for (QAction* action : menu.actions()) {
        if (action->text() == entry)
            action->trigger();
    }
    Prompt::setHandler(nullptr);
    CMenuColor::setFillEditors(nullptr, nullptr);
    QVERIFY2(markup.startsWith(entry + ":" + start), qPrintable(markup));
}

// A size left as the dialog shows it (to 0.001 mm) comes back whole.
void tst_EditingDialogs::resultSize_data()
{
    QTest::addColumn<QSizeF>("start");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QSizeF>("result");
    QTest::newRow("rounded on show") << QSizeF(30.123456, 40) << "30.123" << QSizeF(30.123456, 40);
    QTest::newRow("start not a number") << QSizeF(qQNaN(), 40) << "0" << QSizeF(0, 40);
}

void tst_EditingDialogs::resultSize()
{
    QFETCH(QSizeF, start);
    QFETCH(QString, shown);
    QFETCH(QSizeF, result);
    DlgSizeModify dialog(start, nullptr);
    QCOMPARE(dialog.findChild<QLineEdit*>()->text(), shown);
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.getResultSize(), result);
}

void tst_EditingDialogs::typedNumbers_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("kept"); // not a number: refused
    const double refused = qQNaN();
    QTest::newRow("size") << "size"
                          << "en"
                          << "60.5" << 60.5;
    QTest::newRow("size comma in English") << "size"
                                           << "en"
                                           << "12,5" << refused;
    QTest::newRow("size comma in German") << "size"
                                          << "ger"
                                          << "12,5" << 12.5;
    QTest::newRow("size point in German") << "size"
                                          << "ger"
                                          << "12.5" << 12.5;
    for (const char* language : { "zh_cn", "ar", "ko" })
        QTest::addRow("size comma in %s", language) << "size" << language << "12,5" << refused;
    QTest::newRow("size comma in Russian") << "size"
                                           << "ru"
                                           << "12,5" << 12.5;
    QTest::newRow("size in Arabic-Indic digits") << "size"
                                                 << "ar"
                                                 << "١٢.٥" << 12.5;
    QTest::newRow("size exponent") << "size"
                                   << "en"
                                   << "1e3" << 1000.0;
    QTest::newRow("size zero") << "size"
                               << "en"
                               << "0" << refused;
    QTest::newRow("size negative") << "size"
                                   << "ger"
                                   << "-5" << refused;
    QTest::newRow("size over the limit") << "size"
                                         << "en"
                                         << "100001" << refused;
    QTest::newRow("size infinite") << "size"
                                   << "en"
                                   << "inf" << refused;
    QTest::newRow("size empty") << "size"
                                << "en"
                                << "" << refused;
    QTest::newRow("size grouped") << "size"
                                  << "ger"
                                  << "1.000,5" << refused;
    // "." groups thousands in German: one or a thousand?
    QTest::newRow("size thousands in German") << "size"
                                              << "ger"
                                              << "1.000" << refused;
    QTest::newRow("size four decimals in German") << "size"
                                                  << "ger"
                                                  << "1.0005" << 1.0005;
    QTest::newRow("size below one in German") << "size"
                                              << "ger"
                                              << "0.025" << 0.025;
    QTest::newRow("size thousands in Russian") << "size"
                                               << "ru"
                                               << "1.000" << 1.0;
    QTest::newRow("offset in German") << "offset"
                                      << "ger"
                                      << "0,25" << 0.25;
    QTest::newRow("offset over the limit") << "offset"
                                           << "en"
                                           << "1000.5" << refused;
    QTest::newRow("canvas exponent") << "canvas"
                                     << "en"
                                     << "1.2e4" << 12000.0;
    QTest::newRow("canvas fraction") << "canvas"
                                     << "ger"
                                     << "1200,5" << refused;
    QTest::newRow("text position") << "text"
                                   << "ger"
                                   << "-7,5" << -7.5;
    QTest::newRow("text position over the limit") << "text"
                                                  << "en"
                                                  << "-1e6" << refused;
}

// What is typed is kept, read with the language's decimal separator or a
// point, or refused with a message naming the range as the language writes
// numbers; a refused dialog stays open with the text as typed.
void tst_EditingDialogs::typedNumbers()
{
    QFETCH(QString, dialog);
    QFETCH(QString, language);
    QFETCH(QString, typed);
    QFETCH(double, kept);
    QLocale::setDefault(InterfaceLocale::forLanguage(language));
    QStringList prompts;
    Prompt::setHandler([&](Prompt::Kind, const QString&, const QString& text) {
        prompts << text;
        return QVariant(QMessageBox::Ok);
    });
    TextHost host;
    std::unique_ptr<QDialog> window;
    std::function<double()> result;
    if (dialog == "size") {
        auto* size = new DlgSizeModify(QSizeF(30, 40), nullptr);
        result = [size] { return size->getResultSize().width(); };
        window.reset(size);
    } else if (dialog == "offset") {
        auto* offset = new DlgSizeExpand(true, nullptr);
        result = [offset] { return offset->getExpandValue().distance; };
        window.reset(offset);
    } else if (dialog == "canvas") {
        auto* canvas = new DlgCanvas(nullptr);
        result = [canvas] { return double(canvas->getCanvasSize().width()); };
        window.reset(canvas);
    } else {
        auto* text = new DlgText(&host, QPointF(1, 2), nullptr);
        result = [text] { return text->position().x(); };
        window.reset(text);
    }
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    auto* field = dialog == "text" ? window->findChild<NumberField*>("X") : window->findChild<NumberField*>();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    // Key clicks carry ASCII only; other digits come as a keyboard layout's
    // text would.
    if (std::all_of(typed.begin(), typed.end(), [](QChar c) { return c.unicode() < 128; }))
        QTest::keyClicks(field, typed);
    else
        field->insert(typed);
    QTest::mouseClick(window->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    Prompt::setHandler(nullptr);
    if (qIsNaN(kept)) {
        QCOMPARE(prompts.size(), 1);
        // The range, or both readings of a text that could mean either.
        const QStringList named = typed == "1.000"
            ? QStringList { "“1.000”", " 1 or 1000." }
            : QStringList { NumberField::toText(field->minimum()), NumberField::toText(field->maximum()) };
        for (const QString& part : named)
            QVERIFY2(prompts.first().contains(part), qPrintable(prompts.first()));
        QVERIFY(window->isVisible());
        QCOMPARE(field->text(), typed);
        QCOMPARE(window->focusWidget(), field);
    } else {
        QCOMPARE(prompts, QStringList());
        QCOMPARE(window->result(), int(QDialog::Accepted));
        QCOMPARE(result(), kept);
    }
    QLocale::setDefault(InterfaceLocale::forLanguage("en"));
}

void tst_EditingDialogs::canvasSizeFromSettings_data()
{
    QTest::addColumn<QVariant>("width");
    QTest::addColumn<QVariant>("height");
    QTest::addColumn<QSize>("size");
    QTest::newRow("defaults") << QVariant() << QVariant() << QSize(15000, 2000);
    QTest::newRow("bounded") << QVariant(-5) << QVariant(1e12) << QSize(1, 100000);
}

void tst_EditingDialogs::canvasSizeFromSettings()
{
    QFETCH(QVariant, width);
    QFETCH(QVariant, height);
    QFETCH(QSize, size);
    QSettings settings;
    settings.remove("hpgl");
    if (width.isValid()) {
        settings.setValue("hpgl/CanvasWidth", width);
        settings.setValue("hpgl/CanvasHeight", height);
    }
    QCOMPARE(DlgCanvas(nullptr).getCanvasSize(), size);
}

// "Get Position" hands picking to the canvas, a picked point fills the
// fields, and confirming inserts the text there; an empty text inserts none.
void tst_EditingDialogs::textDialog()
{
    TextHost host;
    DlgText dialog(&host, QPointF(1, 2), nullptr);
    QVERIFY(!dialog.isModal());
    QTest::mouseClick(dialog.findChild<QPushButton*>("getPosition"), Qt::LeftButton);
    QVERIFY(host.pick);
    dialog.setPosition(QPointF(12.5, 1e5 / 3));
    QCOMPARE(dialog.findChild<QLineEdit*>("Y")->text(), QString("33333.333"));
    dialog.accept();
    QVERIFY(host.inserted.isEmpty());
    dialog.findChild<QPlainTextEdit*>()->setPlainText("Hood");
    dialog.findChildren<QCheckBox*>().first()->setChecked(true);
    dialog.accept();
    QCOMPARE(host.inserted, QStringList { "Hood" });
    QCOMPARE(host.weight, int(QFont::Bold));
    QCOMPARE(host.at, QPointF(12.5, 1e5 / 3));
}

ZOCUT_TEST_MAIN(tst_EditingDialogs)
#include "tst_EditingDialogs.moc"
