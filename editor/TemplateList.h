#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVector>

// The list of templates that the batch generators turn into design
// packages: comma-separated text without quoting, a header line first, one
// design per line with its code (the file stem of its drawing) and twelve
// names of the vehicle it fits.
class TemplateList
{
public:
    struct Line
    {
        // From 0 for the header line.
        int index = 0;
        QString code;
        // The twelve names, missing columns as empty text.
        QStringList values;
        QJsonObject toJson() const;
    };

    // False, with no lines, when the file cannot be read.
    bool read(const QString& path);
    // Every line of the file, the header and skipped ones included.
    int lineCount() const { return m_lineCount; }
    // The lines after the header that name a code.
    const QVector<Line>& lines() const { return m_lines; }

    // A code names a file beside the list: one that leaves the list's
    // folders is refused.
    static bool isSafeCode(const QString& code);

private:
    int m_lineCount = 0;
    QVector<Line> m_lines;
};
