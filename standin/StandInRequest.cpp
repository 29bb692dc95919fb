#include "StandInRequest.h"

#include "FormCodec.h"

#include <QJsonDocument>
#include <QVariant>

namespace standin {

void StandInRequest::decode()
{
    const int question = target.indexOf('?');
    path = QString::fromUtf8(QByteArray::fromPercentEncoding(question < 0 ? target : target.left(question)));
    if (question >= 0)
        form = FormCodec::parse(target.mid(question + 1));
    // Only the media type decides: the parameters after it may spell
    // anything, and a multipart boundary is drawn at random.
    const QByteArray mediaType = header("Content-Type").split(';').first().trimmed().toLower();
    if (mediaType == "application/x-www-form-urlencoded")
        form += FormCodec::parse(body);
    else if (mediaType.endsWith("json"))
        json = QJsonDocument::fromJson(body).object();
    else if (mediaType == "multipart/form-data")
        MultipartForm::parse(body, MultipartForm::boundary(header("Content-Type")), &parts);
}

QByteArray StandInRequest::header(const QByteArray& name) const
{
    for (const auto& entry : headers) {
        if (entry.first.compare(name, Qt::CaseInsensitive) == 0)
            return entry.second;
    }
    return QByteArray();
}

bool StandInRequest::hasHeader(const QByteArray& name) const
{
    for (const auto& entry : headers) {
        if (entry.first.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool StandInRequest::hasField(const QString& name) const
{
    if (json.contains(name))
        return true;
    for (const auto& item : form) {
        if (item.first == name)
            return true;
    }
    return false;
}

QString StandInRequest::field(const QString& name) const
{
    if (json.contains(name))
        return json.value(name).toVariant().toString();
    for (const auto& item : form) {
        if (item.first == name)
            return item.second;
    }
    return QString();
}

const MultipartForm::Part* StandInRequest::part(const QByteArray& name) const
{
    for (const auto& candidate : parts) {
        if (candidate.name == name)
            return &candidate;
    }
    return nullptr;
}

QString StandInRequest::origin() const
{
    return QStringLiteral("http://") + QString::fromLatin1(header("Host")) + QLatin1Char('/');
}

} // namespace standin
