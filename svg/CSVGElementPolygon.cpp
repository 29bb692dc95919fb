#include "CSVGElementPolygon.h"

CSVGElementPolygon::CSVGElementPolygon(CSVGDocument* document)
    : CSVGElementPolyline(document, L"polygon", 74)
{
}

bool CSVGElementPolygon::hitTest(double x, int y, std::wstring&, std::wstring& id)
{
    QPointF p;
    if (!toLocal(x, y, p) || !containsPoint(p))
        return false;
    id = getId();
    return true;
}
