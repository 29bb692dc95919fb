#pragma once

#include "CActionBase.h"

// The addition of an element under a parent, recorded after the element was
// added. It owns the element only while an undo keeps it out of the tree.
class CActionAdd : public CActionBase
{
public:
    CActionAdd(CSVGDocument* document, CSVGElement* parent, CSVGElement* element);
    ~CActionAdd() override;

    // Takes the element out.
    std::wstring undo() override;
    // Appends it to the parent again and selects it.
    std::wstring redo() override;

    CSVGElement* getElement() const { return m_element; }

private:
    ElementRef m_element;
    ElementRef m_parent;
    bool m_owned = false;
};
