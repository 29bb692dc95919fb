#include "OpenMyshare.h"

#include "ApiReply.h"
#include "Deployment.h"
#include "HttpRequest.h"
#include "Prompt.h"
#include "ui_OpenMyshare.h"

#include <QJsonObject>
#include <QPointer>
#include <QSettings>

OpenMyshare::OpenMyshare(QWidget* parent)
    : TranslatedDialog(parent)
    , m_ui(new Ui::OpenMyshareClass)
{
    m_ui->setupUi(this);
    m_ui->save->setStyleSheet(QStringLiteral("background-color: #40a9ff;border:none;color:#FFF"));
    m_ui->save_2->setStyleSheet(QStringLiteral("background-color: #52c41a;border:none;color:#FFF"));
    connect(m_ui->save, &QPushButton::clicked, this, &OpenMyshare::openShare);
    connect(m_ui->save_2, &QPushButton::clicked, this, &OpenMyshare::closeShare);
}

OpenMyshare::~OpenMyshare()
{
    delete m_ui;
}

void OpenMyshare::retranslateUi()
{
    m_ui->retranslateUi(this);
}

void OpenMyshare::openShare()
{
    const QString shareCode = m_ui->shareCode->text();
    const QString password = m_ui->password->text();
    if (shareCode.isEmpty() || password.isEmpty()) {
        Prompt::about(this, tr("info"), tr("Share code or password cannot be empty~"));
        return;
    }
    QPointer<OpenMyshare> self(this);
    HttpRequest request(Deployment::apiBase() + QStringLiteral("template/open"));
    request.addParam(QStringLiteral("share_code"), shareCode)
        .addParam(QStringLiteral("password"), password)
        .setHeader(QStringLiteral("token"), QSettings().value(QStringLiteral("token")).toString())
        .setSuccessHandler([self](const QString& body) {
            if (self)
                self->takeReply(body);
        })
        .setFailHandler([self](const QString& error, int) {
            if (self)
                Prompt::warning(self, tr("Warring"), error);
        });
    request.post();
}

void OpenMyshare::takeReply(const QString& body)
{
    const ApiReply reply = ApiReply::parse(body);
    if (reply.isEnvelope() && !reply.isSuccess()) {
        Prompt::about(this, tr("info"), tr("No record found~"));
        return;
    }
    const QJsonObject data = reply.data().toObject();
    const QString url = data.value(QStringLiteral("url")).toString();
    // An answer that cannot be read, or a success without a design, is not
    // passed off as a missing record.
    if (!reply.isEnvelope() || url.isEmpty()) {
        Prompt::warning(this, tr("Warring"), ApiReply::unreadableText());
        return;
    }
    closeShare();
    emit sendData(url, data.value(QStringLiteral("name")).toString());
}

void OpenMyshare::closeShare()
{
    m_ui->shareCode->clear();
    m_ui->password->clear();
    hide();
}
