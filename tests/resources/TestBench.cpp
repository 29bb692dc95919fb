#include "TestBench.h"

#include "StandInSession.h"

#include <QSettings>

TestBench::TestBench(StandInSession& session, QObject* parent)
    : QObject(parent)
    , m_session(session)
{
}

QString TestBench::apiPath(const QString& path)
{
    return QStringLiteral("/api/") + path;
}

void TestBench::reset()
{
    m_session.server().clearCannedReplies();
    m_session.server().resetFixture();
    m_session.server().clearJournal();
    m_quitRequests = 0;
    emit quitRequestsChanged();
    QSettings().clear();
    QSettings().sync();
}

void TestBench::cannedReply(const QString& path, int status, const QString& body)
{
    m_session.server().setCannedReply(apiPath(path), status, body.toUtf8());
}

void TestBench::delayNext(const QString& path, int milliseconds)
{
    m_session.server().delayNext(apiPath(path), milliseconds);
}

int TestBench::requestCount(const QString& path) const
{
    return m_session.server().requestCount(apiPath(path));
}

QVariantList TestBench::lastForm(const QString& path) const
{
    QVariantList fields;
    for (const auto& field : m_session.server().lastRequest(apiPath(path)).form)
        fields << QVariant(QStringList { field.first, field.second });
    return fields;
}

QVariantMap TestBench::lastJson(const QString& path) const
{
    return m_session.server().lastRequest(apiPath(path)).json.toVariantMap();
}

QString TestBench::lastHeader(const QString& path, const QString& name) const
{
    return QString::fromUtf8(m_session.server().lastRequest(apiPath(path)).header(name.toUtf8()));
}

QVariant TestBench::setting(const QString& key) const
{
    return QSettings().value(key);
}

void TestBench::setSetting(const QString& key, const QVariant& value)
{
    QSettings settings;
    settings.setValue(key, value);
    settings.sync();
}

void TestBench::countQuitRequest()
{
    ++m_quitRequests;
    emit quitRequestsChanged();
}
