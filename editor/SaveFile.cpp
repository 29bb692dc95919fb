#include "SaveFile.h"

#include "DesignSaveRun.h"
#include "PdbPackage.h"
#include "Prompt.h"
#include "ui_SaveFile.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QSettings>
#include <QUuid>

SaveFile::SaveFile(QWidget* parent)
    : TranslatedDialog(parent)
    , m_ui(new Ui::SaveFileClass)
{
    m_ui->setupUi(this);
}

SaveFile::~SaveFile()
{
    delete m_ui;
}

void SaveFile::retranslateUi()
{
    m_ui->retranslateUi(this);
}

void SaveFile::setDesign(const QString& svgText, const QImage& preview)
{
    m_ui->save->setStyleSheet(QStringLiteral("background-color: #40a9ff;border:none;color:#FFF"));
    m_ui->cover->setStyleSheet(QStringLiteral("background-color: #52c41a;border:none;color:#FFF"));
    m_preview = preview;
    m_package = QString::fromLatin1(PdbPackage::pack(svgText));
    connect(m_ui->save, &QPushButton::clicked, this, &SaveFile::saveToApiFile, Qt::UniqueConnection);
    connect(m_ui->cover, &QPushButton::clicked, this, &SaveFile::coverToApiFile, Qt::UniqueConnection);
}

void SaveFile::setName(const QString& name)
{
    m_ui->fileName->setText(name);
}

void SaveFile::saveToApiFile()
{
    if (m_ui->fileName->text().isEmpty()) {
        Prompt::about(this, tr("info"), tr("文件名称不能为空~"));
        return;
    }
    store(QUuid::createUuid().toString(QUuid::WithoutBraces), false);
}

void SaveFile::coverToApiFile()
{
    if (m_ui->fileName->text().isEmpty()) {
        Prompt::about(nullptr, tr("info"), tr("文件名称不能为空~"));
        return;
    }
    store(overwriteKey(), true);
}

QString SaveFile::overwriteKey()
{
    QString key = QDateTime::currentDateTime().toString(QStringLiteral("yyMMddhhmmss"));
    for (int i = 0; i < 10; ++i)
        key += QLatin1Char(char('a' + QRandomGenerator::global()->bounded(26)));
    return key;
}

void SaveFile::store(const QString& key, bool overwrite)
{
    const DesignSaveRun::Order order { m_ui->fileName->text(), key, overwrite,
        QSettings().value(QStringLiteral("token")).toString(), m_stored };
    QString error;
    if (!DesignSaveRun::start(order, m_package.toLatin1(), m_preview, &error)) {
        Prompt::warning(this, tr("Failed"), error);
        return;
    }
    hide();
}
