#include "TemplateList.h"

#include <QFile>

namespace {
const char* const kNames[] = { "type1", "type2", "brand1", "brand2", "series1", "series2", "model1", "model2", "year1",
    "year2", "submodel1", "submodel2" };
const int kNameCount = int(sizeof kNames / sizeof kNames[0]);
} // namespace

QJsonObject TemplateList::Line::toJson() const
{
    QJsonObject object { { QStringLiteral("code"), code } };
    for (int i = 0; i < kNameCount; ++i)
        object.insert(QLatin1String(kNames[i]), values.value(i));
    return object;
}

// A carriage return would stay in the last column and, in a one-column
// line, in the code's file name: lists written on Windows end lines so.
bool TemplateList::read(const QString& path)
{
    m_lineCount = 0;
    m_lines.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QStringList texts = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    m_lineCount = texts.size();
    for (int i = 1; i < texts.size(); ++i) {
        QString text = texts.at(i);
        if (text.endsWith(QLatin1Char('\r')))
            text.chop(1);
        QStringList columns = text.split(QLatin1Char(','));
        Line line;
        line.index = i;
        line.code = columns.takeFirst();
        if (line.code.isEmpty())
            continue;
        line.values = columns.mid(0, kNameCount);
        m_lines.append(line);
    }
    return true;
}

bool TemplateList::isSafeCode(const QString& code)
{
    return !code.contains(QLatin1Char('/')) && !code.contains(QLatin1Char('\\')) && !code.contains(QLatin1String(".."));
}
