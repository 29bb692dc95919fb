#include "CMainFrame.h"

#include "ApiReply.h"
#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "Deployment.h"
#include "HttpRequest.h"
#include "PdbPackage.h"
#include "Prompt.h"
#include "SVGApplication.h"

#include <QApplication>
#include <QNetworkConfigurationManager>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSettings>
#include <QTabWidget>

namespace {
const char* const kDefaultPreview = ":/images/pre_model.png";
} // namespace

CMainFrame::CMainFrame(QWidget* parent)
    : QMainWindow(parent)
    , m_tabs(new QTabWidget(this))
{
    m_tabs->setObjectName(QStringLiteral("documents"));
    m_tabs->setDocumentMode(true);
    setCentralWidget(m_tabs);
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) { setWindowTitle(m_tabs->tabText(index)); });
    // The documents know no widgets: their warnings come here.
    CSVGDocument::setWarningHook([](const QString& title, const QString& text) {
        Prompt::warning(QApplication::activeWindow(), title, text);
    });
}

bool CMainFrame::isInternetConnected() const
{
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    return QNetworkConfigurationManager().isOnline();
    QT_WARNING_POP
}

void CMainFrame::afterLogin()
{
    const QString token = QSettings().value(QStringLiteral("token")).toString();
    QPointer<CMainFrame> self(this);
    HttpRequest request(Deployment::apiBase() + QStringLiteral("user/index"));
    request.setHeader(QStringLiteral("token"), token)
        .setSuccessHandler([self](const QString& body) {
            g_config.setUserRights(
                ApiReply::parse(body).data().toObject().value(QStringLiteral("userinfo")).toObject());
            if (self)
                self->applyUserRights();
        })
        .setFailHandler([self](const QString& error, int) {
            if (self)
                Prompt::warning(self, tr("Warring"), error);
        });
    request.post();
}

void CMainFrame::applyUserRights()
{
    for (const char* right : { "report_auth", "openimg_auth", "vector_auth", "color_auth", "note_auth" })
        m_rights.insert(QLatin1String(right), g_config.getUserRight(QLatin1String(right)).toInt() == 1);
}

void CMainFrame::changeLanguage(const QString& code)
{
    // The window has no texts of its own to translate yet.
    if (SVGApplication* application = SVGApplication::instance())
        application->setLanguage(code);
}

void CMainFrame::sendfiledata(const QString& url, const QString& name)
{
    fetchPackage(url, name, QString(), true);
}

void CMainFrame::sendfiledataImage(const QString& url, const QString& name, const QString& previewUrl)
{
    fetchPackage(url, name, previewUrl.isEmpty() ? QString::fromLatin1(kDefaultPreview) : previewUrl, false);
}

void CMainFrame::setSizeLabels(double length, double height)
{
    Q_UNUSED(length)
    Q_UNUSED(height)
}

void CMainFrame::fetchPackage(const QString& url, const QString& name, const QString& preview, bool reportFailure)
{
    QPointer<CMainFrame> self(this);
    HttpRequest request(url);
    request.setSuccessHandler([self, name, preview, reportFailure](const QString& body) {
        if (!self)
            return;
        const QString svg = PdbPackage::unpack(body.toUtf8());
        // An error page or an empty file decodes to nothing usable.
        if (!svg.contains(QLatin1String("<svg"))) {
            if (reportFailure)
                Prompt::warning(self, tr("Warring"), tr("The design could not be read."));
            return;
        }
        self->openDocument(svg, name, preview);
    });
    if (reportFailure) {
        request.setFailHandler([self](const QString& error, int) {
            if (self)
                Prompt::warning(self, tr("Warring"), error);
        });
    }
    request.get();
}

void CMainFrame::openDocument(const QString& svgText, const QString& name, const QString& preview)
{
    auto* document = new QPlainTextEdit(m_tabs);
    document->setObjectName(QStringLiteral("document"));
    document->setReadOnly(true);
    document->setPlainText(svgText);
    document->setProperty("previewImage", preview);
    m_tabs->setCurrentIndex(m_tabs->addTab(document, name));
}
