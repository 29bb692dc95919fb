#pragma once

#include "CActionBase.h"

// A move of an element among its siblings (bring to front). Made before the
// move; the command captures the new place afterwards.
class CActionLayer : public CActionBase
{
public:
    CActionLayer(CSVGDocument* document, CSVGElement* element);

    std::wstring undo() override;
    std::wstring redo() override;
    // Records the element's previous sibling after the move.
    void captureAfterState() override;

private:
    // The place after a sibling that may have gone since; first without one.
    struct Place
    {
        ElementRef previous;
        bool hadPrevious = false;
    };
    void moveTo(const Place& place);

    ElementRef m_element;
    ElementRef m_parent;
    Place m_before;
    Place m_after;
};
