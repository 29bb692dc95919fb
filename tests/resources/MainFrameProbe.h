#pragma once

#include <QObject>
#include <QSettings>
#include <QStringList>
#include <QVariantList>

// Stands in for the editor's main window ("mw") in front of the pages and
// writes down what they ask of it.
class MainFrameProbe : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QStringList languages MEMBER m_languages)
    Q_PROPERTY(QString tokenAtAfterLogin MEMBER m_tokenAtAfterLogin)
    Q_PROPERTY(int afterLoginCount MEMBER m_afterLoginCount)
    // [address, name] for each design opened, with the preview address
    // third when the page gave one.
    Q_PROPERTY(QVariantList opened MEMBER m_opened)
public:
    using QObject::QObject;

    Q_INVOKABLE void reset()
    {
        m_languages.clear();
        m_tokenAtAfterLogin.clear();
        m_afterLoginCount = 0;
        m_opened.clear();
    }
    Q_INVOKABLE void afterLogin()
    {
        // What the real window reads at this moment, through its own settings.
        m_tokenAtAfterLogin = QSettings().value(QStringLiteral("token")).toString();
        ++m_afterLoginCount;
    }
    Q_INVOKABLE void changeLanguage(const QString& code) { m_languages << code; }
    Q_INVOKABLE void sendfiledata(const QString& url, const QString& name) { m_opened << QStringList { url, name }; }
    Q_INVOKABLE void sendfiledataImage(const QString& url, const QString& name, const QString& preview)
    {
        m_opened << QStringList { url, name, preview };
    }
    Q_INVOKABLE void show() { }

private:
    QStringList m_languages;
    QString m_tokenAtAfterLogin;
    int m_afterLoginCount = 0;
    QVariantList m_opened;
};
