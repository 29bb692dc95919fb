#include "Prompt.h"
#include "TestEnvironment.h"

#include <QProgressDialog>
#include <QTimer>

class tst_Prompt : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { Prompt::setHandler(nullptr); }
    void handlerAnswersWithoutWindows();
};

void tst_Prompt::handlerAnswersWithoutWindows()
{
    QStringList asked;
    QVariant answer;
    Prompt::setHandler([&](Prompt::Kind kind, const QString& title, const QString& text) {
        asked << QString("%1|%2|%3").arg(int(kind)).arg(title, text);
        return answer;
    });
    answer = int(QMessageBox::Yes);
    QCOMPARE(Prompt::question(nullptr, "Info", "Delete?"), QMessageBox::Yes);
    answer = QVariant();
    QCOMPARE(Prompt::warning(nullptr, "Warring", "Failed"), QMessageBox::NoButton);
    answer = "/tmp/a.csv";
    QCOMPARE(Prompt::getOpenFileName(nullptr, "Open File", QString(), "csv(*.csv)"), QString("/tmp/a.csv"));
    QProgressDialog dialog;
    dialog.setWindowTitle("Wait");
    dialog.setLabelText("Loading");
    answer = 3;
    QCOMPARE(Prompt::exec(&dialog), 3);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(asked,
        QStringList({ QString("%1|Info|Delete?").arg(int(Prompt::Kind::Question)),
            QString("%1|Warring|Failed").arg(int(Prompt::Kind::Warning)),
            QString("%1|Open File|csv(*.csv)").arg(int(Prompt::Kind::OpenFile)),
            QString("%1|Wait|Loading").arg(int(Prompt::Kind::Modal)) }));

    // Without an answer a modal dialog runs for real, for dialogs that close
    // themselves when their work is done.
    answer = QVariant();
    QDialog running;
    QTimer::singleShot(0, &running, [&running]() { running.done(5); });
    QCOMPARE(Prompt::exec(&running), 5);
}

ZOCUT_TEST_MAIN(tst_Prompt)
#include "tst_Prompt.moc"
