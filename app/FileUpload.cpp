#include "FileUpload.h"

#include "CGlobalConfig.h"
#include "Deployment.h"
#include "HttpRequest.h"
#include "PdbPackage.h"
#include "Prompt.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QTimer>

namespace {
const int kFieldCount = 8;
const char* const kKeys[kFieldCount]
    = { "number", "name", "category1", "category2", "category3", "category4", "category5", "category6" };
} // namespace

FileUpload::FileUpload(QObject* parent)
    : QObject(parent)
{
}

void FileUpload::setName(const QString& name)
{
    if (name == m_name)
        return;
    m_name = name;
    emit nameChanged(name);
}

int FileUpload::getYear() const
{
    qDebug() << "FileUpload::getYear";
    return m_year;
}

void FileUpload::setYear(int year)
{
    qDebug() << "FileUpload::setYear" << year;
    if (year == m_year)
        return;
    qDebug() << "emit yearChanged";
    m_year = year;
    emit yearChanged(year);
}

void FileUpload::sendSignal() { }

void FileUpload::cppSlotA()
{
    qDebug() << "FileUpload::cppSlotA";
}

void FileUpload::cppSlotB(QString text, int value)
{
    qDebug() << "FileUpload::cppSlotB" << text << value;
}

QStringList FileUpload::readLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qDebug() << "OPEN FILE FAILED";
        return {};
    }
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    // Lines may end in CR LF; the CR is no part of the last field.
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return lines;
}

QJsonObject FileUpload::rowObject(const QStringList& fields)
{
    QJsonObject row;
    for (int i = 0; i < kFieldCount; ++i)
        row.insert(QLatin1String(kKeys[i]), fields.at(i));
    return row;
}

// Writes the package of one row beside the CSV file; false when the row is
// unusable or its package cannot be written.
bool FileUpload::packRow(const QStringList& fields, const QString& folder, QString* packagePath) const
{
    const QString number = fields.at(0);
    // The number names files in the CSV folder; it must not lead elsewhere.
    if (number.isEmpty() || number.contains(QLatin1Char('/')) || number.contains(QLatin1Char('\\'))
        || number == QLatin1String(".") || number == QLatin1String(".."))
        return false;
    QFile drawing(folder + QLatin1Char('/') + number + QStringLiteral(".svg"));
    if (!QFileInfo(drawing).isFile() || !drawing.open(QIODevice::ReadOnly))
        return false;
    *packagePath = folder + QLatin1Char('/') + number + QStringLiteral(".pdb");
    return PdbPackage::write(*packagePath, QString::fromUtf8(drawing.readAll()), PdbPackage::LineBreak);
}

void FileUpload::openFile()
{
    const QString path = Prompt::getOpenFileName(nullptr, tr("Open File"), QString(), tr("csv(*.csv)"));
    if (path.isEmpty())
        return;
    const QString folder = QFileInfo(path).absolutePath();
    QStringList written;
    QJsonArray rows;
    const QStringList lines = readLines(path);
    for (int i = 1; i < lines.size(); ++i) {
        const QStringList fields = lines.at(i).split(QLatin1Char(','));
        QString packagePath;
        if (fields.size() != kFieldCount || !packRow(fields, folder, &packagePath))
            continue;
        written.append(packagePath);
        rows.append(rowObject(fields));
    }
    m_files = written;
    m_csvDir = folder;
    const QString json = QString::fromUtf8(QJsonDocument(rows).toJson(QJsonDocument::Compact));
    qDebug().noquote() << json;
    emit cppSignalB(json, m_csvDir);
}

void FileUpload::sureUpload()
{
    if (m_uploading)
        return;
    m_batch = m_files;
    m_next = 0;
    m_uploading = true;
    uploadNext();
}

void FileUpload::uploadNext()
{
    if (m_next >= m_batch.size()) {
        m_uploading = false;
        return;
    }
    const int index = m_next++;
    QPointer<FileUpload> self(this);
    HttpRequest request(Deployment::uploadEndpoint(1));
    request
        .setSuccessHandler([self, index](const QString& reply) {
            if (self)
                emit self->uploadFinished(index, true, reply);
        })
        .setFailHandler([self, index](const QString& error, int) {
            if (self)
                emit self->uploadFinished(index, false, error);
        });
    request.uploadFile(m_batch.at(index));
    emit fileChange(index);
    if (m_next < m_batch.size())
        QTimer::singleShot(kUploadIntervalMs, this, &FileUpload::uploadNext);
    else
        m_uploading = false;
}
