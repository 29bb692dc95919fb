#include "Prompt.h"
#include "TestEnvironment.h"

#include <QProgressDialog>
#include <QTimer>

class tst_Prompt : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { Prompt::setHandler(nullptr); }
    void handlerAnswers_data();
    void handlerAnswers();
    void modalDialogRunsWithoutAnswer();
};

void tst_Prompt::handlerAnswers_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QVariant>("answer");
    QTest::addColumn<QVariant>("result");
    QTest::newRow("warning") << int(Prompt::Kind::Warning) << QVariant(int(QMessageBox::Ok))
                             << QVariant(int(QMessageBox::Ok));
    QTest::newRow("question yes") << int(Prompt::Kind::Question) << QVariant(int(QMessageBox::Yes))
                                  << QVariant(int(QMessageBox::Yes));
    QTest::newRow("question closed") << int(Prompt::Kind::Question) << QVariant()
                                     << QVariant(int(QMessageBox::NoButton));
    QTest::newRow("open file") << int(Prompt::Kind::OpenFile) << QVariant("/tmp/a.csv") << QVariant("/tmp/a.csv");
    QTest::newRow("save cancelled") << int(Prompt::Kind::SaveFile) << QVariant() << QVariant(QString());
    QTest::newRow("modal answered") << int(Prompt::Kind::Modal) << QVariant(3) << QVariant(3);
}

// Whatever the kind, the handler sees the question's title and text and its
// answer is what the caller gets; no window opens.
void tst_Prompt::handlerAnswers()
{
    QFETCH(int, kind);
    QFETCH(QVariant, answer);
    QFETCH(QVariant, result);
    QList<std::tuple<int, QString, QString>> asked;
    Prompt::setHandler([&](Prompt::Kind k, const QString& title, const QString& text) {
        asked.append(std::make_tuple(int(k), title, text));
        return answer;
    });
    QProgressDialog dialog;
    dialog.setWindowTitle("Title");
    dialog.setLabelText("Text");
    QVariant got;
    switch (Prompt::Kind(kind)) {
    case Prompt::Kind::Warning:
        got = int(Prompt::warning(nullptr, "Title", "Text"));
        break;
    case Prompt::Kind::Question:
        got = int(Prompt::question(nullptr, "Title", "Text"));
        break;
    case Prompt::Kind::OpenFile:
        got = Prompt::getOpenFileName(nullptr, "Title", QString(), "Text");
        break;
    case Prompt::Kind::SaveFile:
        got = Prompt::getSaveFileName(nullptr, "Title", QString(), "Text");
        break;
    default:
        got = Prompt::exec(&dialog);
        break;
    }
    QCOMPARE(got, result);
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked.first(), std::make_tuple(kind, QString("Title"), QString("Text")));
    QVERIFY(!dialog.isVisible());
}

void tst_Prompt::modalDialogRunsWithoutAnswer()
{
    Prompt::setHandler([](Prompt::Kind, const QString&, const QString&) { return QVariant(); });
    QDialog dialog;
    QTimer::singleShot(0, &dialog, [&dialog]() { dialog.done(5); });
    QCOMPARE(Prompt::exec(&dialog), 5);
}

ZOCUT_TEST_MAIN(tst_Prompt)
#include "tst_Prompt.moc"
