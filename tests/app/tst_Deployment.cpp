#include "Deployment.h"
#include "TestEnvironment.h"

#include <functional>

class tst_Deployment : public QObject
{
    Q_OBJECT
private slots:
    void environmentOverrides_data();
    void environmentOverrides();
    void regionsAndEndpointsOutOfRange();
};

using Getter = std::function<QString()>;
Q_DECLARE_METATYPE(Getter)

void tst_Deployment::environmentOverrides_data()
{
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<Getter>("getter");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("api base gains its slash")
        << QByteArray("ZOCUT_API_BASE") << Getter(&Deployment::apiBase) << "http://h:1/api"
        << "http://h:1/api/";
    QTest::newRow("second region") << QByteArray("ZOCUT_DESIGN_HOST_2")
                                   << Getter([] { return Deployment::designHost(1); }) << "http://d2"
                                   << "http://d2/";
    QTest::newRow("third region") << QByteArray("ZOCUT_DESIGN_HOST_3")
                                  << Getter([] { return Deployment::designHost(2); }) << "http://d3/"
                                  << "http://d3/";
    QTest::newRow("image host") << QByteArray("ZOCUT_IMAGE_HOST") << Getter(&Deployment::imageHost) << "http://i"
                                << "http://i/";
    QTest::newRow("endpoint kept as given")
        << QByteArray("ZOCUT_UPLOAD_ENDPOINT_2") << Getter([] { return Deployment::uploadEndpoint(2); }) << "http://u:9"
        << "http://u:9";
    QTest::newRow("store downloads") << QByteArray("ZOCUT_STORE_DOWNLOAD") << Getter(&Deployment::storeDownloadBase)
                                     << "http://s/files"
                                     << "http://s/files/";
}

void tst_Deployment::environmentOverrides()
{
    QFETCH(QByteArray, variable);
    QFETCH(Getter, getter);
    QFETCH(QString, value);
    QFETCH(QString, expected);
    qunsetenv(variable.constData());
    const QString builtIn = getter();
    QVERIFY(builtIn.startsWith("http://127.0.0.1:"));
    qputenv(variable.constData(), value.toUtf8());
    QCOMPARE(getter(), expected);
    qunsetenv(variable.constData());
    QCOMPARE(getter(), builtIn);
}

void tst_Deployment::regionsAndEndpointsOutOfRange()
{
    QCOMPARE(Deployment::designHost(), Deployment::designHost(0));
    QCOMPARE(Deployment::designHost(3), QString());
    QCOMPARE(Deployment::designHost(-1), QString());
    QCOMPARE(Deployment::uploadEndpoint(0), QString());
    QCOMPARE(Deployment::uploadEndpoint(4), QString());
    QVERIFY(Deployment::uploadEndpoint(1) != Deployment::uploadEndpoint(3));
}

ZOCUT_TEST_MAIN(tst_Deployment)
#include "tst_Deployment.moc"
