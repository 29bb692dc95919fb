#include "MainFrameProbe.h"

#include <QSettings>

void MainFrameProbe::reset()
{
    m_languages.clear();
    m_tokenAtAfterLogin.clear();
    m_afterLoginCount = 0;
    m_opened.clear();
    m_shown = 0;
}

void MainFrameProbe::afterLogin()
{
    // What the real window reads at this moment, through its own settings.
    m_tokenAtAfterLogin = QSettings().value(QStringLiteral("token")).toString();
    ++m_afterLoginCount;
}

void MainFrameProbe::sendfiledata(const QString& url, const QString& name)
{
    m_opened << QVariant(QStringList { url, name });
}

void MainFrameProbe::sendfiledataImage(const QString& url, const QString& name, const QString& previewUrl)
{
    m_opened << QVariant(QStringList { url, name, previewUrl });
}
