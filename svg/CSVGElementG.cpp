#include "CSVGElementG.h"

#include "SvgCodes.h"

CSVGElementG::CSVGElementG(CSVGDocument* document)
    : CSVGElementG(document, L"g", SvgType::G)
{
}

CSVGElementG::CSVGElementG(CSVGDocument* document, const std::wstring& tagName, std::uint16_t type)
    : CSVGElementShape(document, tagName, type)
{
}

bool CSVGElementG::hitTest(double x, double y, std::wstring& groupId, std::wstring& id)
{
    for (int i = 0; i < getChildCount(); ++i) {
        CSVGElementShape* child = asShape(getChild(i));
        if (child && child->hitTest(x, y, groupId, id)) {
            groupId = getId();
            return true;
        }
    }
    return false;
}
