#include "CMainFrame.h"
#include "CSVGDocument.h"
#include "DlgPlot.h"
#include "FixtureDesigns.h"
#include "Prompt.h"
#include "StandInSession.h"
#include "TestEnvironment.h"
#include "TestHpgl.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QSettings>

#include <algorithm>

namespace {
// Width and height of each closed outline, smallest first.
QList<QSizeF> outlineSizes(const QList<QPolygonF>& lines)
{
    QList<QSizeF> sizes;
    for (const QPolygonF& line : lines) {
        const QRectF box = line.boundingRect();
        // The end line after the drawing is no outline.
        if (box.width() > 0.1)
            sizes << box.size();
    }
    std::sort(sizes.begin(), sizes.end(),
        [](const QSizeF& a, const QSizeF& b) { return a.width() * a.height() < b.width() * b.height(); });
    return sizes;
}
} // namespace

// Every design of the data centre as a shop gets it: opened from the design
// host into the main window, cut with "Cutting" to a file, and the file read
// back.
class tst_TemplateCut : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void designCutsAsItComes_data();
    void designCutsAsItComes();

private:
    QByteArray cutInDialog(DlgPlot* dialog);

    StandInSession m_session;
    QStringList m_prompts;
    QTemporaryDir m_folder;
};

void tst_TemplateCut::init()
{
    QVERIFY(m_session.isRunning());
    QSettings().setValue("token", m_session.token());
    m_prompts.clear();
    CSVGDocument::setWarningHook([this](const QString&, const QString& text) { m_prompts << text; });
}

void tst_TemplateCut::cleanup()
{
    Prompt::setHandler(nullptr);
    CSVGDocument::setWarningHook(nullptr);
}

void tst_TemplateCut::designCutsAsItComes_data()
{
    QTest::addColumn<QString>("design");
    for (const QString& name : standin::FixtureDesigns().names())
        QTest::newRow(qPrintable(name)) << name;
}

// The cut dialog, run as the user would: the output a file, Cut pressed,
// the question answered; the file's bytes once the job has ended.
QByteArray tst_TemplateCut::cutInDialog(DlgPlot* dialog)
{
    if (!dialog)
        return QByteArray();
    QSignalSpy ended(dialog, &DlgPlot::jobEnded);
    auto* devices = dialog->findChild<QComboBox*>("device");
    if (!QTest::qWaitFor([devices] { return devices->count() > 0; }, 20000))
        return QByteArray();
    const QString output = m_folder.filePath("job.plt");
    dialog->findChild<QComboBox*>("port")->setCurrentText(output);
    dialog->findChild<QPushButton*>("cut")->click();
    if (!QTest::qWaitFor([&ended] { return !ended.isEmpty(); }, 60000) || !ended.first().first().toBool())
        return QByteArray();
    QFile file(output);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void tst_TemplateCut::designCutsAsItComes()
{
    QFETCH(QString, design);
    QByteArray hpgl;
    CMainFrame frame;
    Prompt::setHandler([this, &hpgl, &frame](Prompt::Kind kind, const QString&, const QString& text) {
        m_prompts << text;
        if (kind == Prompt::Kind::Modal) {
            hpgl = cutInDialog(frame.findChild<DlgPlot*>());
            return QVariant(int(QDialog::Accepted));
        }
        return kind == Prompt::Kind::Question ? QVariant(QMessageBox::Yes) : QVariant(QMessageBox::Ok);
    });
    frame.sendfiledata(m_session.server().baseUrl() + "designs/" + design + ".pdb", design);
    QTRY_COMPARE(frame.currentTabText(), design);
    frame.action(CMainFrame::Cutting)->trigger();
    QVERIFY2(!m_prompts.contains("Some pieces has intersected!"), qPrintable(m_prompts.join(" | ")));
    QVERIFY2(!hpgl.isEmpty(), qPrintable(m_prompts.join(" | ")));

    // Every outline and cut-out back at its size, at 40 units per millimetre.
    QList<QPolygonF> drawn;
    for (const QPainterPath& piece : standin::FixtureDesigns().pieces(design))
        drawn += piece.toSubpathPolygons();
    const QList<QSizeF> expected = outlineSizes(drawn);
    const QList<QSizeF> cut = outlineSizes(TestHpgl::laidOut(hpgl, 40, DlgPlot::kDefaultFrameLength));
    QCOMPARE(cut.size(), expected.size());
    for (int i = 0; i < cut.size(); ++i) {
        QVERIFY2(std::abs(cut[i].width() - expected[i].width()) < 0.3
                && std::abs(cut[i].height() - expected[i].height()) < 0.3,
            qPrintable(QString("%1 x %2 cut for %3 x %4")
                           .arg(cut[i].width())
                           .arg(cut[i].height())
                           .arg(expected[i].width())
                           .arg(expected[i].height())));
    }
}

ZOCUT_TEST_MAIN(tst_TemplateCut)

#include "tst_TemplateCut.moc"
