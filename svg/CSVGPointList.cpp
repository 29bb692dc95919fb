#include "CSVGPointList.h"

#include "CGlobalConfig.h"
#include "CSVGNumberScanner.h"

QPolygonF CSVGPointList::parsePoints(const std::wstring& text)
{
    QPolygonF points;
    CSVGNumberScanner scanner(text);
    double x = 0.0;
    bool haveX = false;
    for (scanner.skipToNumber(false); !scanner.atEnd(); scanner.skipToNumber(false)) {
        const double number = scanner.readNumber();
        if (haveX)
            points.append(QPointF(x, number));
        x = number;
        haveX = !haveX;
    }
    return points;
}

std::wstring CSVGPointList::pointsToText(const QPolygonF& points)
{
    std::wstring text;
    for (const QPointF& p : points) {
        if (!text.empty())
            text += L' ';
        text += CGlobalConfig::numberToText(p.x());
        text += L' ';
        text += CGlobalConfig::numberToText(p.y());
    }
    return text;
}
