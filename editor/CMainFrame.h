#pragma once

#include "CSVGRect.h"

#include <QHash>
#include <QMainWindow>
#include <QString>

class QTabWidget;

// The editor's main window. The pages hand it the designs that the user
// opens; each opens as a tab named after the design, holding its SVG text
// until the drawing canvas takes that place.
class CMainFrame : public QMainWindow
{
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);

    // True while the machine has a network connection.
    bool isInternetConnected() const;

    // Reads the account's rights with the token that the sign-in stored.
    Q_INVOKABLE void afterLogin();
    // code: "zh_cn", "en", "ru", "ar", "ko" or "ger".
    Q_INVOKABLE void changeLanguage(const QString& code);
    // Fetches a design package and opens its SVG text under name.
    Q_INVOKABLE void sendfiledata(const QString& url, const QString& name);
    // As sendfiledata, keeping previewUrl (or the default preview) as the
    // design's preview; a failed fetch is not reported.
    Q_INVOKABLE void sendfiledataImage(const QString& url, const QString& name, const QString& previewUrl);

    // The page that views take, in document units.
    CSVGRect canvasRect() const { return m_canvasRect; }
    void setCanvasRect(const CSVGRect& rect) { m_canvasRect = rect; }
    // Shows the selection's size in the size fields; nothing while the
    // window has none.
    void setSizeLabels(double length, double height);

private:
    void fetchPackage(const QString& url, const QString& name, const QString& preview, bool reportFailure);
    void openDocument(const QString& svgText, const QString& name, const QString& preview);
    void applyUserRights();

    QTabWidget* m_tabs = nullptr;
    // The commands that the account's rights allow, by right.
    QHash<QString, bool> m_rights;
    CSVGRect m_canvasRect { 0, 0, 15000, 1520 };
};
