// The batch generators: design packages and their pictures made from a
// template list and its folder of drawings, and their upload to the store.
// Only administrator pages call them.

#include "CMainFrame.h"

#include "CSVGView.h"
#include "Deployment.h"
#include "HttpRequest.h"
#include "PdbPackage.h"
#include "Prompt.h"
#include "TemplateList.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProgressDialog>
#include <QTimer>

namespace {
// Between two uploads, so that the store is not flooded.
const int kUploadPauseMs = 200;

QString askTemplateList(QWidget* parent)
{
    return Prompt::getOpenFileName(parent, CMainFrame::tr("Open File"), QString(), QStringLiteral("csv(*.csv)"));
}

void readTemplateList(TemplateList& list, const QString& path)
{
    if (!list.read(path))
        qDebug() << "OPEN FILE FAILED";
}

// Closed when the run ends, even when the last lines are skipped and the
// bar never reaches its end.
void setUpProgress(QProgressDialog& progress, const QString& label, int maximum)
{
    progress.setWindowTitle(QStringLiteral("请等待"));
    progress.setLabelText(label);
    progress.setCancelButton(nullptr);
    progress.setRange(0, maximum);
    progress.setWindowModality(Qt::WindowModal);
}
} // namespace

void CMainFrame::genetePdbPng(const QString& svgPath, const QString& pngPath)
{
    exportPicture(svgPath, pngPath);
}

// The window's current view stays as it was: the drawing's view is never
// current, so no later command edits a document that nobody sees.
bool CMainFrame::exportPicture(const QString& svgPath, const QString& pngPath)
{
    CSVGView view(this);
    if (view.openFile(svgPath.toStdWString()) && view.writePng(pngPath))
        return true;
    qDebug().noquote() << "No picture made of" << svgPath;
    return false;
}

void CMainFrame::fileSaveQita(const QString& paths)
{
    for (const QString& path : paths.split(QLatin1Char(','), Qt::SkipEmptyParts))
        genetePdbPng(path, path.left(path.lastIndexOf(QLatin1Char('.'))) + QStringLiteral(".png"));
}

// The package holds the UTF-8 text, as every reader expects, and replaces
// an older file whole.
bool CMainFrame::generatePackage(const QString& svgPath, const QString& pdbPath, const QString& pngPath)
{
    const bool pictured = exportPicture(svgPath, pngPath);
    QFile svg(svgPath);
    if (!svg.open(QIODevice::ReadOnly))
        return false;
    return PdbPackage::write(pdbPath, QString::fromUtf8(svg.readAll()), PdbPackage::LineBreak) && pictured;
}

void CMainFrame::newuploadFiles()
{
    const QString listPath = askTemplateList(this);
    if (listPath.isEmpty())
        return;
    const QDir base = QFileInfo(listPath).absoluteDir();
    base.mkpath(QStringLiteral("pdbpng"));
    base.mkpath(QStringLiteral("svg"));
    TemplateList list;
    readTemplateList(list, listPath);
    QProgressDialog progress(this);
    setUpProgress(progress, QStringLiteral("文件生成并入库..."), 2 * list.lineCount() - 2);
    QJsonArray rows;
    for (const TemplateList::Line& line : list.lines()) {
        QCoreApplication::processEvents();
        if (!TemplateList::isSafeCode(line.code)) {
            qDebug().noquote() << "Code refused:" << line.code;
            continue;
        }
        rows.append(line.toJson());
        const QString svgPath = base.filePath(QStringLiteral("svg/") + line.code + QStringLiteral(".svg"));
        if (QFileInfo::exists(svgPath)) {
            const QString stem = base.filePath(QStringLiteral("pdbpng/") + line.code);
            generatePackage(svgPath, stem + QStringLiteral(".pdb"), stem + QStringLiteral(".png"));
        }
        progress.setValue(2 * line.index);
    }
    emit newsendtoupload(QString::fromUtf8(QJsonDocument(rows).toJson(QJsonDocument::Compact)));
}

// Each line is told as made or not; a package or picture that could not be
// written counts as not made.
void CMainFrame::uploadFiles()
{
    const QString listPath = askTemplateList(this);
    if (listPath.isEmpty())
        return;
    const QDir base = QFileInfo(listPath).absoluteDir();
    TemplateList list;
    readTemplateList(list, listPath);
    for (const TemplateList::Line& line : list.lines()) {
        const QString item = line.code + QStringLiteral(".svg");
        const QString svgPath = base.filePath(QStringLiteral("svg/") + item);
        if (TemplateList::isSafeCode(line.code) && QFileInfo::exists(svgPath)
            && generatePackage(svgPath, base.filePath(QStringLiteral("pdb/") + line.code + QStringLiteral(".pdb")),
                base.filePath(QStringLiteral("png/") + line.code + QStringLiteral(".png"))))
            emit sendtoupload(item, QStringLiteral("success"));
        else
            emit sendtoupload(item + QStringLiteral(",无法生成！"), QStringLiteral("error"));
    }
}

void CMainFrame::uploadFilesQiniu()
{
    const QStringList files
        = Prompt::getOpenFileNames(this, QStringLiteral("多选文件"), QString(), QStringLiteral("(file(*.png *.pdb))"));
    if (files.isEmpty())
        return;
    QProgressDialog progress(this);
    setUpProgress(progress, QStringLiteral("文件上传中..."), files.size());
    for (int i = 0; i < files.size(); ++i) {
        HttpRequest(Deployment::uploadEndpoint(3)).uploadFile(files.at(i));
        progress.setValue(i);
        QEventLoop pause;
        QTimer::singleShot(kUploadPauseMs, &pause, &QEventLoop::quit);
        pause.exec();
    }
}
