#include "FileUpload.h"
#include "PdbPackage.h"
#include "Prompt.h"
#include "StandInSession.h"
#include "TestEnvironment.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

class tst_FileUpload : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void batchOfGoodAndBadRows();
    void uploadsAreChainedAndReported();
    void emptyBatches_data();
    void emptyBatches();

private:
    QString write(const QString& name, const QByteArray& content) const;
    QString chooseFile(const QString& path);

    std::unique_ptr<StandInSession> m_session;
    QTemporaryDir m_folder;
    QStringList m_captions;
};

namespace {
const QByteArray kGoodSvg = "<svg xmlns=\"http://www.w3.org/2000/svg\"><path d=\"M0 0L10 0\"/></svg>";
const QByteArray kCjkSvg = "<svg xmlns=\"http://www.w3.org/2000/svg\"><title>左前门</title></svg>";
} // namespace

void tst_FileUpload::initTestCase()
{
    m_session = std::make_unique<StandInSession>();
    QVERIFY(m_session->isRunning());
}

void tst_FileUpload::cleanup()
{
    Prompt::setHandler(nullptr);
}

QString tst_FileUpload::write(const QString& name, const QByteArray& content) const
{
    QFile file(m_folder.path() + "/" + name);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(content);
    return file.fileName();
}

QString tst_FileUpload::chooseFile(const QString& path)
{
    Prompt::setHandler([this, path](Prompt::Kind kind, const QString& title, const QString& text) {
        m_captions << QString("%1|%2|%3").arg(int(kind)).arg(title, text);
        return QVariant(path);
    });
    return path;
}

// Rows need eight fields, a number, and a drawing beside the list; a row
// whose package cannot be written is left out; the last field loses the CR
// of a CR LF line end.
void tst_FileUpload::batchOfGoodAndBadRows()
{
    for (const QString name : { "T001", "T005", "T007" })
        QVERIFY(!write(name + ".svg", kGoodSvg).isEmpty());
    QVERIFY(!write("模板2.svg", kCjkSvg).isEmpty());
    QVERIFY(QDir(m_folder.path()).mkdir("T005.pdb"));
    const QByteArray csv = "number,name,c1,c2,c3,c4,c5,c6\r\n"
                           "T001,Door,Car,A Audi,A4,A4L,2020,Luxury\r\n"
                           "T007,seven,fields,only,a,b,c\r\n"
                           "T007,nine,fields,here,a,b,c,d,e\r\n"
                           ",empty,number,a,b,c,d,e\r\n"
                           "T404,missing,drawing,a,b,c,d,e\r\n"
                           "T005,unwritable,package,a,b,c,d,e\r\n"
                           "../T001,outside,the,folder,a,b,c,d\r\n"
                           "模板2,引擎盖,轿车,奥迪,A4,A4L,2020,豪华型\r\n";
    const QString csvPath = chooseFile(write("list.csv", csv));

    FileUpload upload;
    QSignalSpy announced(&upload, &FileUpload::cppSignalB);
    upload.openFile();
    QCOMPARE(m_captions, QStringList({ QString("%1|Open File|csv(*.csv)").arg(int(Prompt::Kind::OpenFile)) }));
    QCOMPARE(announced.count(), 1);
    QCOMPARE(announced.first().at(1).toString(), QFileInfo(csvPath).absolutePath());

    const QJsonArray rows = QJsonDocument::fromJson(announced.first().at(0).toString().toUtf8()).array();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0).toObject(),
        QJsonObject({ { "number", "T001" }, { "name", "Door" }, { "category1", "Car" }, { "category2", "A Audi" },
            { "category3", "A4" }, { "category4", "A4L" }, { "category5", "2020" }, { "category6", "Luxury" } }));
    QCOMPARE(rows.at(1).toObject().value("category6").toString(), QString("豪华型"));

    for (const auto& [number, svg] :
        { std::make_pair(QString("T001"), kGoodSvg), std::make_pair(QString("模板2"), kCjkSvg) }) {
        QFile package(m_folder.path() + "/" + number + ".pdb");
        QVERIFY(package.open(QIODevice::ReadOnly));
        const QByteArray text = package.readAll();
        QVERIFY(QRegularExpression("^[a-zA-Z]{10}[A-Za-z0-9+/=]+\n$").match(QString::fromLatin1(text)).hasMatch());
        QCOMPARE(PdbPackage::unpack(text), QString::fromUtf8(svg));
    }
    QVERIFY(!QFile::exists(m_folder.path() + "/T007.pdb"));
    QVERIFY(!QFile::exists(QFileInfo(m_folder.path()).absolutePath() + "/T001.pdb"));
}

void tst_FileUpload::uploadsAreChainedAndReported()
{
    for (const QString name : { "U1", "U2", "U3" })
        QVERIFY(!write(name + ".svg", kGoodSvg).isEmpty());
    chooseFile(write("upload.csv", "h\nU1,a,b,c,d,e,f,g\nU2,a,b,c,d,e,f,g\nU3,a,b,c,d,e,f,g\n"));
    FileUpload upload;
    upload.openFile();
    // A package that went missing since it was written fails on its own.
    QVERIFY(QFile::remove(m_folder.path() + "/U2.pdb"));

    QSignalSpy started(&upload, &FileUpload::fileChange);
    QSignalSpy finished(&upload, &FileUpload::uploadFinished);
    upload.sureUpload();
    QCOMPARE(started.count(), 1);
    upload.sureUpload();
    QCOMPARE(started.count(), 1);
    QTRY_COMPARE(finished.count(), 3);

    QCOMPARE(started.at(0).at(0).toInt(), 0);
    QCOMPARE(started.at(2).at(0).toInt(), 2);
    QMap<int, bool> outcome;
    for (const QList<QVariant>& report : finished)
        outcome.insert(report.at(0).toInt(), report.at(1).toBool());
    QCOMPARE(outcome, (QMap<int, bool> { { 0, true }, { 1, false }, { 2, true } }));
    QFile first(m_folder.path() + "/U1.pdb");
    QVERIFY(first.open(QIODevice::ReadOnly));
    QCOMPARE(m_session->server().storedObject("morlandata", "U1.pdb"), first.readAll());
    QVERIFY(m_session->server().storedObject("morlandata", "U2.pdb").isEmpty());
}

void tst_FileUpload::emptyBatches_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("announcements");
    QTest::newRow("cancelled") << QString() << 0;
    QTest::newRow("header only") << write("header.csv", "number,name,c1,c2,c3,c4,c5,c6\n") << 1;
    QTest::newRow("unreadable") << m_folder.path() + "/none.csv" << 1;
}

void tst_FileUpload::emptyBatches()
{
    QFETCH(QString, path);
    QFETCH(int, announcements);
    chooseFile(path);
    if (path.endsWith("none.csv"))
        QTest::ignoreMessage(QtDebugMsg, "OPEN FILE FAILED");
    FileUpload upload;
    QSignalSpy announced(&upload, &FileUpload::cppSignalB);
    QSignalSpy started(&upload, &FileUpload::fileChange);
    upload.openFile();
    QCOMPARE(announced.count(), announcements);
    if (announcements)
        QCOMPARE(announced.first().at(0).toString(), QString("[]"));
    upload.sureUpload();
    QCOMPARE(started.count(), 0);
}

ZOCUT_TEST_MAIN(tst_FileUpload)
#include "tst_FileUpload.moc"
