#pragma once

#include "CSVGNumberScanner.h"
#include "CSVGPathSeg.h"

#include <QPointF>

#include <string>
#include <vector>

// Turns "d" text into absolute segments; see CSVGPathData::parsePathData.
// One parser reads one text.
class CSVGPathDataParser
{
public:
    explicit CSVGPathDataParser(const std::wstring& text);
    CSVGPathSegList parse();

private:
    void readNumbers(bool arc);
    void runCommand(wchar_t command);
    void moveTo(bool relative);
    void lineTo(wchar_t command, bool relative);
    void curveTo(wchar_t command, bool relative);
    void arcTo(bool relative);
    void closePath();
    // Pads the numbers with zeros to whole groups; the count of groups.
    std::size_t groups(std::size_t size);
    QPointF point(std::size_t index, const QPointF& origin) const;

    CSVGNumberScanner m_scanner;
    std::vector<double> m_numbers;
    QPointF m_current;
    QPointF m_subpathStart;
    CSVGPathSegList m_segments;
};
