#pragma once

#include "InterfaceLocale.h"
#include "StandInSession.h"

#include <QObject>
#include <QSettings>
#include <QVariant>

// What the page tests reach besides the pages ("bench"): the stand-in's
// journal and canned replies, and the settings as the native side sees them.
// Paths are under the API base, such as "user/loginNewNNNN".
class TestBench : public QObject
{
    Q_OBJECT
    // How often the pages asked the program to end (Qt.quit()).
    Q_PROPERTY(int quitRequests MEMBER m_quitRequests)
public:
    TestBench(StandInSession& session, QObject* parent)
        : QObject(parent)
        , m_server(session.server())
    {
    }

    // Canned replies, journal, settings and the stand-in's fixture (passwords,
    // records, tokens) as at the start.
    Q_INVOKABLE void reset()
    {
        m_server.clearCannedReplies();
        m_server.resetFixture();
        m_server.clearJournal();
        m_quitRequests = 0;
        QSettings().clear();
        QLocale::setDefault(m_locale);
    }
    // Remembers the settings that a sign-in wrote, for resetSignedIn().
    Q_INVOKABLE void keepSignIn()
    {
        QSettings settings;
        for (const QString& key : settings.allKeys())
            m_signedIn.insert(key, settings.value(key));
    }
    // As reset(), but still signed in: the remembered settings with a token
    // that the reset fixture knows, which it returns.
    Q_INVOKABLE QString resetSignedIn()
    {
        reset();
        QSettings settings;
        for (auto it = m_signedIn.cbegin(); it != m_signedIn.cend(); ++it)
            settings.setValue(it.key(), it.value());
        const QString token = m_server.issueToken(m_signedIn.value(QStringLiteral("mobile")).toString());
        settings.setValue(QStringLiteral("token"), token);
        return token;
    }

    Q_INVOKABLE void cannedReply(const QString& path, int status, const QString& body)
    {
        m_server.setCannedReply(api(path), status, body.toUtf8());
    }
    Q_INVOKABLE void delayNext(const QString& path, int milliseconds) { m_server.delayNext(api(path), milliseconds); }
    Q_INVOKABLE int requestCount(const QString& path) const { return m_server.requestCount(api(path)); }
    // The last request: its form fields by name ("form"), its JSON body
    // ("json") and its "token" header ("token").
    Q_INVOKABLE QVariantMap last(const QString& path) const
    {
        const standin::StandInRequest request = m_server.lastRequest(api(path));
        QVariantMap form;
        for (const auto& field : request.form)
            form.insert(field.first, field.second);
        return { { "form", form }, { "json", request.json.toVariantMap() },
            { "token", QString::fromUtf8(request.header("token")) } };
    }

    Q_INVOKABLE QVariant setting(const QString& key) const { return QSettings().value(key); }
    Q_INVOKABLE void setSetting(const QString& key, const QVariant& value) { QSettings().setValue(key, value); }
    // As the main window does for a language the pages chose ("ger").
    Q_INVOKABLE void setInterfaceLocale(const QString& code)
    {
        QLocale::setDefault(InterfaceLocale::forLanguage(code));
    }

public slots:
    void countQuitRequest() { ++m_quitRequests; }

private:
    static QString api(const QString& path) { return QStringLiteral("/api/") + path; }

    standin::StandInServer& m_server;
    int m_quitRequests = 0;
    QVariantMap m_signedIn;
    // The locale that reset() brings back.
    const QLocale m_locale;
};
