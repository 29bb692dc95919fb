#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

class StandInSession;

// What the page tests reach besides the pages ("bench"): the stand-in's
// journal and canned replies, and the settings as the native side sees them.
class TestBench : public QObject
{
    Q_OBJECT
    // How often the pages asked the program to end (Qt.quit()).
    Q_PROPERTY(int quitRequests READ quitRequests NOTIFY quitRequestsChanged)
public:
    TestBench(StandInSession& session, QObject* parent = nullptr);

    // Canned replies, journal, settings and the stand-in's fixture (passwords,
    // records, tokens) as at the start.
    Q_INVOKABLE void reset();
    // path is under the API base, such as "user/loginNewNNNN".
    Q_INVOKABLE void cannedReply(const QString& path, int status, const QString& body);
    Q_INVOKABLE void delayNext(const QString& path, int milliseconds);
    Q_INVOKABLE int requestCount(const QString& path) const;
    // The form fields of the last request as [name, value] pairs.
    Q_INVOKABLE QVariantList lastForm(const QString& path) const;
    Q_INVOKABLE QVariantMap lastJson(const QString& path) const;
    Q_INVOKABLE QString lastHeader(const QString& path, const QString& name) const;

    Q_INVOKABLE QVariant setting(const QString& key) const;
    Q_INVOKABLE void setSetting(const QString& key, const QVariant& value);

    int quitRequests() const { return m_quitRequests; }

public slots:
    void countQuitRequest();

signals:
    void quitRequestsChanged();

private:
    static QString apiPath(const QString& path);

    StandInSession& m_session;
    int m_quitRequests = 0;
};
