// What the pages and the share dialog hand the window: rights after signing
// in, designs by address or as text, and their previews; and what the window
// sends: designs to the store, imported files with their report.

#include "CMainFrame.h"

#include "ApiReply.h"
#include "CGlobalConfig.h"
#include "CSVGView.h"
#include "Deployment.h"
#include "HttpRequest.h"
#include "OpenMyshare.h"
#include "PdbPackage.h"
#include "PictureDecoder.h"
#include "Prompt.h"

#include <QDockWidget>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkConfigurationManager>
#include <QNetworkReply>
#include <QPointer>
#include <QSettings>
#include <QTimer>

namespace {
const char* const kDefaultPreview = ":/images/pre_model.png";
// The window waits for a preview no longer than this.
const int kPreviewWaitMs = 10000;
// Larger than any preview picture; more is not read.
const qint64 kMaxPreviewBytes = 32 * 1024 * 1024;

// Fetches a picture, waiting in a local event loop for at most the bound.
QPixmap downloadPicture(const QString& address)
{
    QNetworkAccessManager manager;
    QNetworkReply* reply = manager.get(QNetworkRequest(QUrl(address)));
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::downloadProgress, &loop, [reply](qint64 received, qint64) {
        if (received > kMaxPreviewBytes)
            reply->abort();
    });
    QTimer::singleShot(kPreviewWaitMs, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    QPixmap pixmap;
    // Decoded like every picture: an SVG preview could show itself.
    if (reply->isFinished() && reply->error() == QNetworkReply::NoError)
        pixmap = QPixmap::fromImage(PictureDecoder::decode(reply->readAll()));
    else
        reply->abort();
    delete reply;
    return pixmap;
}
} // namespace

bool CMainFrame::isInternetConnected() const
{
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    return QNetworkConfigurationManager().isOnline();
    QT_WARNING_POP
}

void CMainFrame::afterLogin()
{
    emit signedIn();
    const QString token = QSettings().value(QStringLiteral("token")).toString();
    QPointer<CMainFrame> self(this);
    HttpRequest request(Deployment::apiBase() + QStringLiteral("user/index"));
    request.setHeader(QStringLiteral("token"), token)
        .setSuccessHandler([self](const QString& body) {
            const QJsonValue data = ApiReply::parse(body).data();
            if (!data.isObject())
                return;
            g_config.setUserRights(data.toObject().value(QStringLiteral("userinfo")).toObject());
            if (self)
                self->applyUserRights();
        })
        .setFailHandler([self](const QString& error, int) {
            if (self)
                Prompt::warning(self, tr("Warring"), error);
        });
    request.post();
}

void CMainFrame::sendfiledata(const QString& url, const QString& name)
{
    fetchPackage(url, name, true);
}

void CMainFrame::sendfiledataImage(const QString& url, const QString& name, const QString& previewUrl)
{
    qDebug() << previewUrl;
    m_previewAddress = previewUrl.isEmpty() ? QString::fromLatin1(kDefaultPreview) : previewUrl;
    fetchPackage(url, name, false);
}

void CMainFrame::getShareData(const QString& url, const QString& name)
{
    fetchPackage(url, name, true);
}

void CMainFrame::sendata(const QString& base64, const QString& name)
{
    openDesignData(base64, name);
}

void CMainFrame::fileShare()
{
    auto* dialog = new OpenMyshare();
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, SIGNAL(sendData(QString, QString)), this, SLOT(getShareData(QString, QString)));
    dialog->show();
}

void CMainFrame::fileSave()
{
    onCurrentView(&CSVGView::saveToStore);
}

// The file opens at once; the report follows the upload, and only a stored
// file is reported. A file that is no drawing, or a damaged one, stays out
// of the store.
void CMainFrame::fileUploadOpen()
{
    const QString path = Prompt::getOpenFileName(
        this, tr("Open File"), QString(), QStringLiteral("svg(*.svg)"), QFileDialog::DontResolveSymlinks);
    if (path.isEmpty() || !openFileInTab(path) || !m_currentView
        || m_currentView->getDocument()->readCheck().verdict != SvgInputCheck::Verdict::Drawing)
        return;
    const QString reportAddress = Deployment::apiBase() + QStringLiteral("template/report");
    const QString token = QSettings().value(QStringLiteral("token")).toString();
    const QString downloadBase = Deployment::storeDownloadBase();
    const QString name = QFileInfo(path).fileName();
    HttpRequest upload(Deployment::uploadEndpoint(1));
    upload.setSuccessHandler([reportAddress, token, downloadBase, name](const QString& body) {
        const QString key = QJsonDocument::fromJson(body.toUtf8()).object().value(QStringLiteral("key")).toString();
        if (key.isEmpty()) {
            qDebug().noquote() << body;
            return;
        }
        HttpRequest report(reportAddress);
        report.addParam(QStringLiteral("name"), name)
            .addParam(QStringLiteral("url"), downloadBase + key)
            .setHeader(QStringLiteral("token"), token);
        report.post();
    });
    upload.uploadFileTimestamped(path, QStringLiteral("morlandatah"), QStringLiteral("uploads/svg/"));
}

// A reply that is no package (an error page, an empty file) is told as such
// rather than opened.
void CMainFrame::fetchPackage(const QString& url, const QString& name, bool reportFailure)
{
    QPointer<CMainFrame> self(this);
    HttpRequest request(url);
    request.setSuccessHandler([self, name, url](const QString& body) {
        if (!self)
            return;
        QString error;
        PdbPackage::read(body.toUtf8(), &error);
        if (!error.isEmpty())
            Prompt::warning(self, tr("Warring"), error);
        else
            self->openDesignData(body.mid(PdbPackage::kPrefixLength), name, url);
    });
    if (reportFailure) {
        request.setFailHandler([self](const QString& error, int) {
            if (self)
                Prompt::warning(self, tr("Warring"), error);
        });
    }
    request.get();
}

// Resources are read directly; anything else is fetched.
void CMainFrame::loadPreview()
{
    if (m_previewAddress.isEmpty())
        return;
    QPixmap pixmap;
    if (m_previewAddress.startsWith(QLatin1String(":/")))
        pixmap.load(m_previewAddress);
    else if (m_previewAddress.startsWith(QLatin1String("qrc:/")))
        pixmap.load(m_previewAddress.mid(3));
    else
        pixmap = downloadPicture(m_previewAddress);
    auto* label = new QLabel(m_previewDock);
    label->setObjectName(QStringLiteral("preview"));
    label->setPixmap(pixmap);
    delete m_previewDock->widget();
    m_previewDock->setWidget(label);
}
