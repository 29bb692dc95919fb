#pragma once

#include <QObject>
#include <QString>
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
    Q_PROPERTY(int shown MEMBER m_shown)
public:
    using QObject::QObject;

    Q_INVOKABLE void reset();
    Q_INVOKABLE void afterLogin();
    Q_INVOKABLE void changeLanguage(const QString& code) { m_languages << code; }
    Q_INVOKABLE void sendfiledata(const QString& url, const QString& name);
    Q_INVOKABLE void sendfiledataImage(const QString& url, const QString& name, const QString& previewUrl);
    Q_INVOKABLE void show() { ++m_shown; }

private:
    QStringList m_languages;
    QString m_tokenAtAfterLogin;
    int m_afterLoginCount = 0;
    QVariantList m_opened;
    int m_shown = 0;
};
