#pragma once

#include "CActionBase.h"

// The removal of an element from its parent. Made before the element is
// taken out: it records the parent and the previous sibling of that moment.
// From then on it owns the element while the element stays out of the tree.
class CActionDel : public CActionBase
{
public:
    CActionDel(CSVGDocument* document, CSVGElement* element);
    ~CActionDel() override;

    // Puts the element back after its previous sibling (first when it had
    // none; last when that sibling is no longer there) and selects it.
    std::wstring undo() override;
    // Takes it out again.
    std::wstring redo() override;

    CSVGElement* getElement() const { return m_element; }

private:
    ElementRef m_element;
    ElementRef m_parent;
    ElementRef m_previous;
    bool m_hadPrevious;
    bool m_owned;
};
