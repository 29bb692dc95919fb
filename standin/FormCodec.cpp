#include "FormCodec.h"

namespace standin {

QString FormCodec::decode(QByteArray text)
{
    text.replace('+', ' ');
    return QString::fromUtf8(QByteArray::fromPercentEncoding(text));
}

QList<QPair<QString, QString>> FormCodec::parse(const QByteArray& text)
{
    QList<QPair<QString, QString>> items;
    for (const QByteArray& item : text.split('&')) {
        if (item.isEmpty())
            continue;
        const int equals = item.indexOf('=');
        if (equals < 0)
            items.append(qMakePair(decode(item), QString()));
        else
            items.append(qMakePair(decode(item.left(equals)), decode(item.mid(equals + 1))));
    }
    return items;
}

} // namespace standin
