#pragma once

#include "CSVGElementShape.h"

// The group, and the base of the other containers that behave like it (a,
// symbol, switch). It has no outline of its own; its box is the union of
// its children's.
class CSVGElementG : public CSVGElementShape
{
    Q_OBJECT
public:
    explicit CSVGElementG(CSVGDocument* document);

    bool isGroup() const override { return true; }
    // The first shape child, in order, that is hit: its id goes into id
    // (a leaf's, through nested groups), and the group's own id into groupId,
    // so that the outermost group's id stays there.
    bool hitTest(double x, double y, std::wstring& groupId, std::wstring& id) override;

protected:
    CSVGElementG(CSVGDocument* document, const std::wstring& tagName, std::uint16_t type);
};
