#pragma once

#include "CActionBase.h"

// The addition of an element under a parent, recorded after the element was
// added. It owns the element only while an undo keeps it out of the tree.
class CActionAdd : public CActionBase
{
public:
    CActionAdd(CSVGDocument* document, CSVGElement* parent, CSVGElement* element);
    ~CActionAdd() override;

    // Takes the element out, noting its place.
    std::wstring undo() override;
    // Puts it back in its place under the parent (last when the sibling it
    // followed has gone since) and selects it.
    std::wstring redo() override;

    CSVGElement* getElement() const { return m_element; }

private:
    ElementRef m_element;
    ElementRef m_parent;
    // The sibling the element followed when it was taken out.
    ElementRef m_previous;
    bool m_hadPrevious = false;
    bool m_placeKnown = false;
    bool m_owned = false;
};
