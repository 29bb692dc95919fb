#include "Deployment.h"
#include "TestEnvironment.h"

#include <functional>

class tst_Deployment : public QObject
{
    Q_OBJECT
private slots:
    void environmentOverrides();
    void outOfRange();
    void apiOnLoopback_data();
    void apiOnLoopback();
};

void tst_Deployment::environmentOverrides()
{
    const QList<std::tuple<const char*, std::function<QString()>, QString, QString>> cases {
        { "ZOCUT_API_BASE", &Deployment::apiBase, "http://h:1/api", "http://h:1/api/" },
        { "ZOCUT_DESIGN_HOST_2", [] { return Deployment::designHost(1); }, "http://d2", "http://d2/" },
        { "ZOCUT_DESIGN_HOST_3", [] { return Deployment::designHost(2); }, "http://d3/", "http://d3/" },
        { "ZOCUT_IMAGE_HOST", &Deployment::imageHost, "http://i", "http://i/" },
        { "ZOCUT_UPLOAD_ENDPOINT_2", [] { return Deployment::uploadEndpoint(2); }, "http://u:9", "http://u:9" },
        { "ZOCUT_STORE_DOWNLOAD", &Deployment::storeDownloadBase, "http://s/files", "http://s/files/" },
    };
    for (const auto& [variable, value, given, expected] : cases) {
        qunsetenv(variable);
        const QString builtIn = value();
        QVERIFY2(builtIn.startsWith("http://127.0.0.1:"), variable);
        qputenv(variable, given.toUtf8());
        QCOMPARE(value(), expected);
        qunsetenv(variable);
        QCOMPARE(value(), builtIn);
    }
}

void tst_Deployment::outOfRange()
{
    QCOMPARE(Deployment::designHost(), Deployment::designHost(0));
    QCOMPARE(Deployment::designHost(3), QString());
    QCOMPARE(Deployment::uploadEndpoint(0), QString());
    QCOMPARE(Deployment::uploadEndpoint(4), QString());
}

void tst_Deployment::apiOnLoopback_data()
{
    QTest::addColumn<QString>("api");
    QTest::addColumn<bool>("loopback");
    QTest::newRow("127.0.0.1") << "http://127.0.0.1:8765/api/" << true;
    QTest::newRow("localhost") << "http://LocalHost/api/" << true;
    QTest::newRow("::1") << "http://[::1]:80/api/" << true;
    QTest::newRow("another host") << "https://127.0.0.1.example.com/api/" << false;
}

void tst_Deployment::apiOnLoopback()
{
    QFETCH(QString, api);
    QFETCH(bool, loopback);
    qputenv("ZOCUT_API_BASE", api.toUtf8());
    QCOMPARE(Deployment::isApiOnLoopback(), loopback);
    qunsetenv("ZOCUT_API_BASE");
}

ZOCUT_TEST_MAIN(tst_Deployment)
#include "tst_Deployment.moc"
