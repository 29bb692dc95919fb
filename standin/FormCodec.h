#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace standin {

// Reads form and query text the way web servers do: items split at "&",
// name and value at the first "=", "+" read as a blank, then "%XX" decoded,
// and the bytes taken as UTF-8.
class FormCodec
{
public:
    static QList<QPair<QString, QString>> parse(const QByteArray& text);
    static QString decode(QByteArray text);
};

} // namespace standin
