#include "AutoNesterDialog.h"
#include "AutoPlaceDialog.h"
#include "CSVGDocument.h"
#include "InterfaceLocale.h"
#include "NestingPieces.h"
#include "NestingStandInServer.h"
#include "NestingTestPieces.h"
#include "NumberField.h"
#include "OnlineNester.h"
#include "Prompt.h"
#include "TestEnvironment.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTimer>

#include <memory>

using namespace Vantor::Placement;
using Fault = standin::NestingStandInServer::Fault;

class tst_NestingDialogs : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void place_data();
    void place();
    void refuse_data();
    void refuse();
    void closeMidJob_data() { place_data(); }
    void closeMidJob();
    void rollHeldToPage();
    void rollAsTyped_data();
    void rollAsTyped();
    void leastSettingsAccepted();
    void okAppliesOnlyWhatStartMade_data();
    void okAppliesOnlyWhatStartMade();
    void pageNotSquare_data();
    void pageNotSquare();

private:
    std::unique_ptr<NestingDialog> makeDialog(bool online, double rollWidth);
    void loadPieces(bool selected, const QSize& page = QSize(600, 600));
    QStringList typeRollAndStart(NestingDialog& dialog, const QString& typed, bool start = true);
    QString drawing();
    QString withoutTransforms() { return drawing().remove(QRegularExpression(" transform=\"[^\"]*\"")); }

    standin::NestingStandInServer m_server;
    CSVGDocument m_document;
    QStringList m_prompts;
    QStringList m_jobIds;
};

void tst_NestingDialogs::init()
{
    QVERIFY(m_server.start());
    m_server.setFault(Fault::None);
    QSettings().setValue("hpgl/NestingServer", QString("127.0.0.1:%1").arg(m_server.port()));
    QSettings().setValue("hpgl/NestingAccount", "nesting@example.com:482915");
    QSettings().setValue("hpgl/NestingInterval", 0.1);
    m_prompts.clear();
    m_jobIds.clear();
    Prompt::setHandler([this](Prompt::Kind, const QString&, const QString& text) {
        m_prompts << text;
        return QVariant(QMessageBox::Ok);
    });
}

void tst_NestingDialogs::cleanup()
{
    Prompt::setHandler(nullptr);
    m_server.stop();
}

QString tst_NestingDialogs::drawing()
{
    return QString::fromStdWString(m_document.toSvgText());
}

// The placement test's random polygons as polygon elements, ids kept.
void tst_NestingDialogs::loadPieces(bool selected, const QSize& page)
{
    QString text
        = QString("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%2\" viewBox=\"0 0 %1 %2\">")
              .arg(page.width())
              .arg(page.height());
    for (const PieceInfo& piece : randomPieces(50)) {
        QStringList points;
        for (const QPointF& p : piece.shape.parts.first())
            points << QString::number(p.x()) + ',' + QString::number(p.y());
        text += QString("<polygon id=\"%1\" class=\"c\" points=\"%2\"/>").arg(piece.id, points.join(' '));
    }
    m_document.parseSvgText((text + "</svg>").toStdWString(), false, false);
    m_document.clearSelection();
    if (selected)
        m_document.selectAll();
}

std::unique_ptr<NestingDialog> tst_NestingDialogs::makeDialog(bool online, double rollWidth)
{
    std::unique_ptr<NestingDialog> dialog;
    if (online) {
        auto* nester = new AutoNesterDialog(&m_document);
        nester->setName("door");
        connect(nester->findChild<OnlineNester*>(), &OnlineNester::jobStarted, this,
            [this] { m_jobIds << m_document.getNestingJobId(); });
        dialog.reset(nester);
    } else {
        dialog.reset(new AutoPlaceDialog(&m_document));
    }
    dialog->findChild<NumberField*>("width")->setValue(rollWidth);
    dialog->findChild<NumberField*>("spacing")->setValue(1);
    return dialog;
}

void tst_NestingDialogs::place_data()
{
    QTest::addColumn<bool>("online");
    QTest::newRow("local") << false;
    QTest::newRow("online") << true;
}

// Inside the roll and apart, only "transform" changed, and only once the
// placements offered are accepted; online, the job id is set while the job
// runs and empty after.
void tst_NestingDialogs::place()
{
    QFETCH(bool, online);
    loadPieces(true);
    const QString before = drawing();
    const QString untransformed = withoutTransforms();
    const auto dialog = makeDialog(online, 300);
    dialog->findChild<QPushButton*>("start")->click();
    QPushButton* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    QTRY_VERIFY_WITH_TIMEOUT(ok->isEnabled(), 300000);
    QCOMPARE(drawing(), before);
    ok->click();
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(m_jobIds.size(), online ? 1 : 0);
    QVERIFY(m_jobIds.isEmpty() || !m_jobIds.first().isEmpty());
    QVERIFY(m_document.getNestingJobId().isEmpty());
    QVERIFY(drawing() != before);
    QCOMPARE(withoutTransforms(), untransformed);

    const QVector<PieceInfo> now = NestingPieces::rootPieces(&m_document);
    QVector<PlacementInfo> unmoved;
    for (const PieceInfo& piece : now)
        unmoved.append({ piece.id, 0, QPointF() });
    verifyPlacement(now, unmoved, 300);
}

void tst_NestingDialogs::refuse_data()
{
    QTest::addColumn<bool>("online");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<double>("rollWidth");
    QTest::addColumn<QString>("message");
    QTest::newRow("nothing selected") << false << false << 300.0 << "No selected pieces!";
    QTest::newRow("nothing selected online") << true << false << 300.0 << "No selected pieces!";
    QTest::newRow("narrower than a piece") << false << true << 10.0 << "";
    QTest::newRow("longer than the page") << false << true << 100.0 << "The nested pieces need ";
    QTest::newRow("server killed mid-job") << true << true << 300.0 << "The nesting server closed the connection.";
}

// Each gives a plain message (that begins so) and leaves the document as it
// was.
void tst_NestingDialogs::refuse()
{
    QFETCH(bool, online);
    QFETCH(bool, selected);
    QFETCH(double, rollWidth);
    QFETCH(QString, message);
    loadPieces(selected);
    const QString before = drawing();
    const bool killed = online && selected;
    if (killed)
        m_server.setFault(Fault::Stalled);
    const auto dialog = makeDialog(online, rollWidth);
    dialog->findChild<QPushButton*>("start")->click();
    if (killed) {
        QTRY_VERIFY_WITH_TIMEOUT(!m_document.getNestingJobId().isEmpty(), 60000);
        m_server.stop();
    }
    QTRY_COMPARE_WITH_TIMEOUT(m_prompts.size(), 1, 60000);
    QVERIFY2(!m_prompts.first().isEmpty() && m_prompts.first().startsWith(message), qPrintable(m_prompts.first()));
    QVERIFY(m_document.getNestingJobId().isEmpty());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QCOMPARE(drawing(), before);
}

// Closing while the placement runs ends it, drops the job at the server and
// changes nothing.
void tst_NestingDialogs::closeMidJob()
{
    QFETCH(bool, online);
    loadPieces(true);
    const QString before = drawing();
    m_server.setFault(Fault::Stalled);
    const auto dialog = makeDialog(online, 300);
    dialog->findChild<QPushButton*>("start")->click();
    if (online)
        QTRY_VERIFY_WITH_TIMEOUT(!m_document.getNestingJobId().isEmpty(), 60000);
    dialog->reject();
    QVERIFY(m_document.getNestingJobId().isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(m_server.requestCount("cancel"), online ? 1 : 0, 60000);
    // Timers fire in the order in which they fall due: one started now and
    // longer than any poll of the dialog or the job comes after every poll
    // that closing left running, however busy the machine.
    QTimer pollsDue;
    pollsDue.setSingleShot(true);
    QSignalSpy due(&pollsDue, &QTimer::timeout);
    pollsDue.start(2 * AutoPlaceDialog::kPollMs);
    QVERIFY(due.wait(60000));
    QCOMPARE(drawing(), before);
    QVERIFY(m_prompts.isEmpty());
}

// The placed pieces go to the page's corner, 1 unit inside: a wider roll
// would put some above the page, where they are not cut.
void tst_NestingDialogs::rollHeldToPage()
{
    QSettings().setValue("autoplace/width", 1520);
    m_document.setPageRect(QRectF(0, 0, 3000, 600));
    AutoPlaceDialog dialog(&m_document);
    QCOMPARE(dialog.findChild<NumberField*>("width")->value(), 599.0);
    QVERIFY(dialog.findChild<QLabel*>("status")->text().contains("held to the page"));
    m_document.setPageRect(QRectF());
}

// What is typed is the roll, in the interface language's way of writing
// numbers or with a point: on a page 3 m long and 600 mm high a roll wider
// than 599 mm is shown as typed and refused with the
// widest allowed, as is a number outside the field's range; one that fits
// starts, and is kept for next time.
void tst_NestingDialogs::rollAsTyped_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("saved"); // the roll kept for next time
    QTest::addColumn<QString>("refusal");
    QTest::newRow("over") << "en"
                          << "3000" << 300.0 << "A roll of 3000 mm is wider than the page holds: the widest is 599 mm.";
    QTest::newRow("exponent") << "en"
                              << "1e3" << 300.0
                              << "A roll of 1000 mm is wider than the page holds: the widest is 599 mm.";
    QTest::newRow("at") << "en"
                        << "599" << 599.0 << QString();
    QTest::newRow("under") << "en"
                           << "300" << 300.0 << QString();
    QTest::newRow("comma in German") << "ger"
                                     << "312,5" << 312.5 << QString();
    QTest::newRow("comma in English") << "en"
                                      << "312,5" << 300.0 << "Roll width: enter a number from 1 to 100000 mm.";
    QTest::newRow("negative") << "en"
                              << "-5" << 300.0 << "Roll width: enter a number from 1 to 100000 mm.";
    QTest::newRow("zero in German") << "ger"
                                    << "0" << 300.0 << "Roll width: enter a number from 1 to 100000 mm.";
    QTest::newRow("over the field's range") << "ger"
                                            << "100000,5" << 300.0 << "Roll width: enter a number from 1 to 100000 mm.";
}

void tst_NestingDialogs::rollAsTyped()
{
    QFETCH(QString, language);
    QFETCH(QString, typed);
    QFETCH(double, saved);
    QFETCH(QString, refusal);
    QLocale::setDefault(InterfaceLocale::forLanguage(language));
    QSettings().setValue("autoplace/width", 300);
    loadPieces(true);
    m_document.setPageRect(QRectF(0, 0, 3000, 600));
    AutoPlaceDialog dialog(&m_document);
    QCOMPARE(typeRollAndStart(dialog, typed), refusal.isEmpty() ? QStringList() : QStringList(refusal));
    QCOMPARE(dialog.findChild<QPushButton*>("start")->isEnabled(), !refusal.isEmpty());
    QCOMPARE(dialog.findChild<NumberField*>("width")->text(), typed);
    QCOMPARE(QSettings().value("autoplace/width").toDouble(), saved);
    dialog.reject();
    m_document.setPageRect(QRectF());
    QLocale::setDefault(InterfaceLocale::forLanguage("en"));
}

// The prompts that Start gave.
QStringList tst_NestingDialogs::typeRollAndStart(NestingDialog& dialog, const QString& typed, bool start)
{
    m_prompts.clear();
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog))
        return { "not shown" };
    auto* width = dialog.findChild<NumberField*>("width");
    width->setFocus();
    QTest::keyClick(width, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(width, typed);
    if (start)
        QTest::mouseClick(dialog.findChild<QPushButton*>("start"), Qt::LeftButton);
    return m_prompts;
}

// No spacing and a single turn are the least allowed, and allowed.
void tst_NestingDialogs::leastSettingsAccepted()
{
    loadPieces(true);
    AutoPlaceDialog dialog(&m_document);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    for (const auto& [name, typed] : { std::make_pair("spacing", "0"), std::make_pair("rotations", "1") }) {
        auto* field = dialog.findChild<NumberField*>(name);
        field->setFocus();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, typed);
    }
    QCOMPARE(typeRollAndStart(dialog, "300"), QStringList());
    QTRY_VERIFY_WITH_TIMEOUT(
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->isEnabled() || !m_prompts.isEmpty(),
        300000);
    QCOMPARE(m_prompts, QStringList());
    QCOMPARE(QSettings().value("autoplace/spacing").toDouble(), 0.0);
    QCOMPARE(QSettings().value("autoplace/rotations").toInt(), 1);
    dialog.reject();
}

// The placements offered were made for the fields of the last Start: a
// Start refused, or a roll typed without Start, takes the offer back, and
// OK then applies nothing.
void tst_NestingDialogs::okAppliesOnlyWhatStartMade_data()
{
    QTest::addColumn<bool>("online");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("start");
    QTest::newRow("local, Start refused") << false << "-5" << true;
    QTest::newRow("online, Start refused") << true << "-5" << true;
    QTest::newRow("local, roll typed") << false << "150" << false;
    QTest::newRow("online, roll typed") << true << "150" << false;
}

void tst_NestingDialogs::okAppliesOnlyWhatStartMade()
{
    QFETCH(bool, online);
    QFETCH(QString, typed);
    QFETCH(bool, start);
    loadPieces(true);
    const QString before = drawing();
    const auto dialog = makeDialog(online, 300);
    dialog->findChild<QPushButton*>("start")->click();
    QPushButton* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    QTRY_VERIFY_WITH_TIMEOUT(ok->isEnabled(), 300000);
    QCOMPARE(typeRollAndStart(*dialog, typed, start).size(), start ? 1 : 0);
    QVERIFY(!ok->isEnabled());
    dialog->accept();
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QCOMPARE(drawing(), before);
}

// On a page 1000 mm long and 600 mm high the roll runs along its length:
// the widest roll is 599 mm, and a layout may be up to 999 mm long (the
// pieces need about 730 mm on a roll 100 mm wide, 1230 mm on one 65 mm wide).
void tst_NestingDialogs::pageNotSquare_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("refusal"); // how the refusal begins
    QTest::newRow("wider than the page is high")
        << "600"
        << "A roll of 600 mm is wider than the page holds: the widest is 599 mm.";
    QTest::newRow("longer than the page is high") << "100" << QString();
    QTest::newRow("longer than the page") << "65"
                                          << "The nested pieces need ";
}

void tst_NestingDialogs::pageNotSquare()
{
    QFETCH(QString, typed);
    QFETCH(QString, refusal);
    QSettings().setValue("autoplace/spacing", 1);
    QSettings().setValue("autoplace/rotations", 4);
    loadPieces(true, QSize(1000, 600));
    // The roll keeps to the page drawn and cut, not to the drawing's own.
    m_document.setPageRect(QRectF(0, 0, 15000, 1520));
    QCOMPARE(m_document.getNestingPageRect(), QRectF(0, 0, 15000, 1520));
    m_document.setPageRect(QRectF());
    QCOMPARE(m_document.getNestingPageRect(), QRectF(0, 0, 1000, 600));
    AutoPlaceDialog dialog(&m_document);
    const QStringList prompts = typeRollAndStart(dialog, typed);
    QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    if (prompts.isEmpty())
        QTRY_VERIFY_WITH_TIMEOUT(ok->isEnabled() || !m_prompts.isEmpty(), 300000);
    if (refusal.isEmpty()) {
        QCOMPARE(m_prompts, QStringList());
        QVERIFY(ok->isEnabled());
    } else {
        QCOMPARE(m_prompts.size(), 1);
        QVERIFY2(m_prompts.first().startsWith(refusal), qPrintable(m_prompts.first()));
        QVERIFY(!ok->isEnabled());
    }
    dialog.reject();
}

ZOCUT_TEST_MAIN(tst_NestingDialogs)

#include "tst_NestingDialogs.moc"
