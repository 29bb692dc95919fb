#pragma once

#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTranslator>

#include <atomic>
#include <mutex>

class QQmlContext;

// The program's translator: answers tr() and qsTr() lookups from JSON
// language files ("language_*.json") instead of compiled catalogues, and
// leaves the texts they do not hold to Qt's catalogues. The key
// is always the English source text; context, disambiguation and plural
// count are ignored, so one text has one translation wherever it is shown.
// Published to QML as "trans"; the pages switch the language through it.
class Trans : public QTranslator
{
    Q_OBJECT
    Q_PROPERTY(QString currentLang READ currentLang WRITE setCurrentLang NOTIFY currentLangChanged)
    Q_PROPERTY(QStringList languages READ languages NOTIFY languagesChanged)
    Q_PROPERTY(QString transString READ transString NOTIFY transStringChanged)
public:
    explicit Trans(QObject* parent = nullptr);
    // Leaves the application's translators before the tables go: Qt's
    // network threads translate their error texts at any time, and a lookup
    // under way finishes first.
    ~Trans() override;

    // Publishes this object to QML, loads the language files of the folder
    // (the "Trans" folder beside the executable when it is empty) and
    // installs this object as an application translator, asked before Qt's
    // catalogues.
    void init(QQmlContext* context, const QString& folder);
    // Publishes this object to QML as "trans"; the pages' texts follow its
    // language from then on.
    void publish(QQmlContext* context);
    // The language of a code as the setting "lang" holds it ("zh_cn", "en",
    // "ru", "ar", "ko", "ger"); English for any other.
    void setLanguageCode(const QString& code);

    Q_INVOKABLE void loadFolder(const QString& folder);
    Q_INVOKABLE bool load(QString& lang, const QString& path);

    QString currentLang() const;
    QStringList languages() const { return m_languages; }
    // Always empty: the pages append it to each qsTr() text so that the
    // binding depends on this object.
    QString transString() const { return m_transString; }

    QString translate(
        const char* context, const char* sourceText, const char* disambiguation = nullptr, int n = -1) const override;

public slots:
    QString trans(const QString& key) const;
    void setCurrentLang(const QString& lang);

signals:
    void currentLangChanged(const QString& lang);
    void languagesChanged(const QStringList& languages);
    void langLoaded(const QString& lang);
    void folderLoaded(const QString& folder);
    void transStringChanged();

private slots:
    void stepInFront();

private:
    using Table = QHash<QString, QString>;

    // The current language's text for the key; null when it has none.
    QString find(const QString& key) const;

    QStringList sortedNames() const;
    QString firstPreferred(const QStringList& candidates) const;
    void ensureEnglishTable();
    QStringList offeredOrder() const;
    void retranslate();

    // Lookups arrive from any thread that calls tr() (worker threads build
    // texts too), while the GUI thread loads files and switches languages.
    mutable std::mutex m_lock;
    // Other threads find this object through the application's list of
    // translators, whose lock ThreadSanitizer does not see: installing
    // releases this and every lookup acquires it first, so that the object
    // they reach is seen complete.
    static inline std::atomic<unsigned> s_installed { 0 };
    QString m_currentLang;
    QHash<QString, Table> m_tables;

    QStringList m_languages;
    QString m_transString;
    QPointer<QQmlContext> m_context;
};
