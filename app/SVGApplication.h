#pragma once

#include "SVGClipboard.h"

#include <QApplication>
#include <QJsonObject>
#include <QString>

#include <functional>

class QTranslator;

// The program's application object: its identity, log, settings format and
// language, the update check, the account settings kept by the web API, and
// an event dispatch that survives an exception thrown by a handler.
class SVGApplication : public QApplication
{
    Q_OBJECT
public:
    static const int kAdminId = 80;
    static const int kUserType = 1;

    SVGApplication(int& argc, char** argv);
    ~SVGApplication() override;

    static SVGApplication* instance();

    QString getApiUrl() const;
    QString getApiBaseUrl() const;
    int getAdminId() const { return kAdminId; }
    int getUserType() const { return kUserType; }
    QString getLanguage() const { return m_language; }
    SVGClipboard* clipboard() { return &m_clipboard; }

    // An empty code takes the setting "lang", else the system's locale.
    void setLanguage(const QString& code);
    void loadTranslators(const QString& code);
    void checkUpdate();
    // Fetches the account settings under a modal progress dialog and returns
    // once the reply is in, the request failed, or the dialog was closed.
    void getSettingConfigbyid();
    // Uploads the account settings. A refusal or a failed request is shown
    // to the user; done, when given, learns whether they were saved.
    void setSettingConfigbyid(int id, const QJsonObject& content, std::function<void(bool saved)> done = {});

    bool notify(QObject* receiver, QEvent* event) override;

signals:
    void languageChanged();

protected:
    bool event(QEvent* event) override;

private:
    static QTranslator* loadTranslator(const QString& name, const QStringList& folders);

    SVGClipboard m_clipboard;
    QString m_language;
    QTranslator* m_qtTranslator = nullptr;
    QTranslator* m_translator = nullptr;
};
