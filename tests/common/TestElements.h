#pragma once

// Stand-ins and helpers for the tests of the element tree; for test programs
// that link the svg library.

#include "CSVGDocument.h"
#include "CSVGElementShape.h"
#include "CSVGElementStyleable.h"

#include <QStringList>

#include <string>

// A drawable element that lies in a region when told to, or one kept out of
// the intersection check.
class TestShape : public CSVGElement
{
public:
    TestShape(CSVGDocument* document, const std::wstring& tag, std::uint16_t type, bool inRegion = true)
        : CSVGElement(document, tag, type)
        , m_inRegion(inRegion)
    {
    }
    bool isShape() const override { return true; }
    using CSVGElement::clearGeometryDirty;
    using CSVGElement::setCheckFlag;

protected:
    bool isWithinRegion(const CSVGRect&) override { return m_inRegion; }

private:
    bool m_inRegion;
};

// Appends the element to the parent with its id registered and returns it.
template <typename Element> Element* appendElement(CSVGElement* parent, Element* element)
{
    parent->appendChild(element, true, false);
    return element;
}

// A new element of the parent's document, appended with its id registered.
// A root svg appended to a document takes the place of the empty root that
// the document was built with.
inline CSVGElement* appendNew(CSVGElement* parent, const wchar_t* tag)
{
    CSVGDocument* document = parent->getDocument();
    CSVGElement* builtRoot = document->getOwnerSvg();
    if (parent == document && std::wstring(tag) == L"svg" && builtRoot && builtRoot->getChildCount() == 0)
        document->deleteChild(builtRoot);
    CSVGElement* child = document->createElement(tag);
    parent->appendChild(child, true, false);
    return child;
}

// "name=value" entries separated by "|", set as a file reader sets them
// (without notify).
inline void setAttributes(CSVGElement* element, const QString& attributes)
{
    for (const QString& attribute : attributes.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        const int equals = attribute.indexOf(QLatin1Char('='));
        element->setAttribute(attribute.left(equals).toStdWString(), attribute.mid(equals + 1).toStdWString(), false);
    }
}

// A new element of the factory's class for the tag, appended to the parent,
// with the attributes set as by setAttributes.
template <typename Element = CSVGElementShape>
Element* appendShape(CSVGElement* parent, const QString& tag, const QString& attributes)
{
    auto* element = dynamic_cast<Element*>(appendNew(parent, tag.toStdWString().c_str()));
    setAttributes(element, attributes);
    return element;
}

// The tags of the children in order, separated by blanks.
inline QString childTags(const CSVGElement* parent)
{
    QStringList tags;
    for (int i = 0; i < parent->getChildCount(); ++i)
        tags << QString::fromStdWString(parent->getChild(i)->getTagName());
    return tags.join(QLatin1Char(' '));
}

inline std::wstring idOf(const std::wstring& tag, long long number)
{
    return tag + L'_' + std::to_wstring(number);
}

// The number after the "_" of an element's id.
inline long long idNumber(const CSVGElement* element)
{
    const std::wstring id = element->getId();
    return std::stoll(id.substr(id.find(L'_') + 1));
}

// "d=" and the path data of an axis-parallel square.
inline QString squareData(double x, double y, double size)
{
    return QStringLiteral("d=M%1 %2 L%3 %2 L%3 %4 L%1 %4 Z").arg(x).arg(y).arg(x + size).arg(y + size);
}

// A document with a root svg element; addPath appends a path element with
// the attributes (to the root by default) and updates the matrices.
struct TestDrawing
{
    CSVGDocument document;
    CSVGElement* root = appendNew(&document, L"svg");
    CSVGElementShape* addPath(const QString& attributes, CSVGElement* parent = nullptr)
    {
        CSVGElementShape* path = appendShape(parent ? parent : root, "path", attributes);
        root->updateMatrix(nullptr, false);
        return path;
    }
};
