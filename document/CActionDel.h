#pragma once

#include "CActionBase.h"

#include <vector>

// The removal of an element from its parent. Made before the element is
// taken out: it records the parent and the previous sibling of that moment.
// From then on it owns the element while the element stays out of the tree.
class CActionDel : public CActionBase
{
public:
    CActionDel(CSVGDocument* document, CSVGElement* element);
    // For siblings taken out together: the previous sibling that stays (null
    // when none before it does), which is what it would be had they been
    // taken out one after the other, first to last.
    CActionDel(CSVGDocument* document, CSVGElement* element, CSVGElement* previous);
    ~CActionDel() override;

    // Puts the element back after its previous sibling (first when it had
    // none; last when that sibling is no longer there) and selects it.
    std::wstring undo() override;
    // Takes it out again.
    std::wstring redo() override;

    CSVGElement* getElement() const { return m_element; }

    // undo of every removal of the run, last first, or redo of each, first
    // first, with one pass over their parent's children instead of one per
    // element; each element ends where undo() or redo() one by one would
    // have put it.
    static void undoAll(const std::vector<CActionDel*>& run);
    static void redoAll(const std::vector<CActionDel*>& run);

private:
    // The element is back: selected, the document refreshed.
    void finishUndo();
    void finishRedo();

    ElementRef m_element;
    ElementRef m_parent;
    ElementRef m_previous;
    bool m_hadPrevious;
    bool m_owned;
};
