#include "MultipartForm.h"

#include <QRegularExpression>

namespace standin {

QByteArray MultipartForm::boundary(const QByteArray& contentType)
{
    static const QRegularExpression pattern(QStringLiteral("boundary=(?:\"([^\"]+)\"|([^;\\s]+))"));
    const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(contentType));
    if (!match.hasMatch())
        return QByteArray();
    const QString quoted = match.captured(1);
    return (quoted.isEmpty() ? match.captured(2) : quoted).toLatin1();
}

MultipartForm::Part MultipartForm::readHeaders(const QByteArray& headers)
{
    static const QRegularExpression name(QStringLiteral("(?:^|;)\\s*name=\"([^\"]*)\""));
    Part part;
    for (const QByteArray& line : headers.split('\n')) {
        const int colon = line.indexOf(':');
        if (colon < 0)
            continue;
        const QByteArray field = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (field == "content-type")
            part.contentType = value;
        else if (field == "content-disposition")
            part.name = name.match(QString::fromUtf8(value)).captured(1).toUtf8();
    }
    return part;
}

bool MultipartForm::parse(const QByteArray& body, const QByteArray& boundary, QList<Part>* parts)
{
    if (boundary.isEmpty())
        return false;
    const QByteArray delimiter = "--" + boundary;
    int position = body.indexOf(delimiter);
    if (position < 0)
        return false;
    for (;;) {
        position += delimiter.size();
        if (body.mid(position, 2) == "--")
            return true;
        if (body.mid(position, 2) != "\r\n")
            return false;
        position += 2;
        const int headersEnd = body.indexOf("\r\n\r\n", position);
        if (headersEnd < 0)
            return false;
        const int contentStart = headersEnd + 4;
        const int next = body.indexOf("\r\n" + delimiter, contentStart);
        if (next < 0)
            return false;
        Part part = readHeaders(body.mid(position, headersEnd - position));
        part.body = body.mid(contentStart, next - contentStart);
        parts->append(part);
        position = next + 2;
    }
}

} // namespace standin
