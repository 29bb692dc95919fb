#include "PdbPackage.h"
#include "TestEnvironment.h"

// The design package, as the store dialog and the batch writers write it and
// every reader reads it.
class tst_PdbPackage : public QObject
{
    Q_OBJECT
private slots:
    void writtenThenRead_data();
    void writtenThenRead();
    void unreadable_data();
    void unreadable();
};

void tst_PdbPackage::writtenThenRead_data()
{
    QTest::addColumn<int>("ending");
    QTest::newRow("store dialog") << int(PdbPackage::NoLineBreak);
    QTest::newRow("batch writer") << int(PdbPackage::LineBreak);
}

// UTF-8 both ways, and a longer old file leaves no tail behind.
void tst_PdbPackage::writtenThenRead()
{
    QFETCH(int, ending);
    const QString svg = "<svg><title>引擎盖 Ünï</title></svg>";
    QTemporaryDir folder;
    const QString path = folder.filePath("T001.pdb");
    QVERIFY(PdbPackage::write(path, QString(4000, 'x'), PdbPackage::LineBreak));
    QVERIFY(PdbPackage::write(path, svg, PdbPackage::Ending(ending)));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray package = file.readAll();
    QVERIFY(QRegularExpression("^[a-zA-Z]{10}[A-Za-z0-9+/]+=*\n?$").match(QString::fromLatin1(package)).hasMatch());
    QCOMPARE(package.endsWith('\n'), ending == PdbPackage::LineBreak);
    QString error = "stale";
    QCOMPARE(PdbPackage::read(package, &error), svg);
    QVERIFY(error.isEmpty());
}

void tst_PdbPackage::unreadable_data()
{
    QTest::addColumn<QByteArray>("package");
    QTest::addColumn<QString>("error");
    QTest::newRow("ten letters only") << QByteArray("abcdefghij\n") << "The design package is empty.";
    QTest::newRow("error page") << QByteArray("<html><body>502 Bad Gateway</body></html>")
                                << "The server sent a page instead of the design package.";
    QTest::newRow("not SVG") << "abcdefghij" + QByteArray("PK\x03\x04 zip").toBase64()
                             << "The design package holds no SVG drawing.";
    QTest::newRow("not UTF-8") << "abcdefghij" + QByteArray("<svg>\xff</svg>").toBase64()
                               << "The design package holds no SVG drawing.";
}

void tst_PdbPackage::unreadable()
{
    QFETCH(QByteArray, package);
    QFETCH(QString, error);
    QString reason;
    QVERIFY(PdbPackage::read(package, &reason).isEmpty());
    QCOMPARE(reason, error);
}

ZOCUT_TEST_MAIN(tst_PdbPackage)
#include "tst_PdbPackage.moc"
