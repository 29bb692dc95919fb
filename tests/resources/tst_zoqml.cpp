// Runs the page tests of zoqml/ (Qt Quick Test) against the stand-in, with
// the objects that start-up publishes to the pages replaced by probes.

#include "MainFrameProbe.h"
#include "StandInSession.h"
#include "TestBench.h"
#include "TestEnvironment.h"
#include "Tools.h"
#include "Trans.h"
#include "WidgetProbe.h"

#include <QCoreApplication>
#include <QDir>
#include <QQmlContext>
#include <QQmlEngine>
#include <QSettings>
#include <QtQuickTest>

#include <memory>

class PageTestSetup : public QObject
{
    Q_OBJECT
public:
    PageTestSetup()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("MORLData"));
        QCoreApplication::setApplicationName(QStringLiteral("MORLData"));
        QSettings::setDefaultFormat(QSettings::IniFormat);
    }

public slots:
    void applicationAvailable() { m_session = std::make_unique<StandInSession>(); }

    void qmlEngineAvailable(QQmlEngine* engine)
    {
        QQmlContext* context = engine->rootContext();
        // Not the engine's child: the engine's network thread may translate
        // an error text while the engine goes. The last file's engine is gone
        // before this one replaces it.
        m_trans = std::make_unique<Trans>();
        m_trans->init(context, QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations")));
        context->setContextProperty(QStringLiteral("mw"), new MainFrameProbe(engine));
        for (const char* name : { "view", "databtn", "databtn1" })
            context->setContextProperty(QLatin1String(name), new WidgetProbe(engine));
        auto* bench = new TestBench(*m_session, engine);
        connect(engine, &QQmlEngine::quit, bench, &TestBench::countQuitRequest);
        context->setContextProperty(QStringLiteral("bench"), bench);
        context->setContextProperty(QStringLiteral("$tools"), new Tools(engine));
        context->setContextProperty(QStringLiteral("$api"), m_session->server().apiBase());
        context->setContextProperty(QStringLiteral("$admin_id"), 80);
        context->setContextProperty(QStringLiteral("$appVersion"), QStringLiteral("6.4.0"));
        context->setContextProperty(QStringLiteral("$backPath"), QStringLiteral("qrc:/images/bg.jpg"));
        const QString host = m_session->server().baseUrl();
        context->setContextProperty(QStringLiteral("$designHosts"),
            QStringList { host, host + QStringLiteral("region2/"), host + QStringLiteral("region3/") });
        context->setContextProperty(QStringLiteral("$imageHost"), host);
    }

    void cleanupTestCase()
    {
        m_session.reset();
        m_trans.reset();
    }

private:
    TestEnvironment m_environment;
    std::unique_ptr<StandInSession> m_session;
    std::unique_ptr<Trans> m_trans;
};

QUICK_TEST_MAIN_WITH_SETUP(zoqml, PageTestSetup)

#include "tst_zoqml.moc"
