#include "CSVGElementDoctype.h"

#include "CSVGEntityTable.h"
#include "CSVGXmlNode.h"
#include "SvgCodes.h"

#include <QString>

CSVGElementDoctype::CSVGElementDoctype(CSVGDocument* document)
    : CSVGElement(document, L"DOCTYPE", SvgType::Doctype)
{
}

bool CSVGElementDoctype::writeContent(std::wstring& out) const
{
    const std::wstring text = getText();
    if (text.rfind(L"<!", 0) != 0 || text.size() < 3 || text.back() != L'>')
        return true;
    if (!getParent() || getParent()->getType() != SvgType::Document) {
        CSVGXmlNode::appendComment(out, text.substr(1, text.size() - 2));
        return true;
    }
    const QString read = QString::fromStdWString(text);
    const auto* begin = reinterpret_cast<const char16_t*>(read.utf16());
    CSVGEntityTable entities;
    if (read.startsWith(QLatin1String("<!DOCTYPE")) && entities.readDoctype(begin, begin + read.size()))
        out += entities.toDoctype();
    return true;
}
