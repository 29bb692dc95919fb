#pragma once

#include "CActionBase.h"

// The common form of the actions that change one text of an element (an
// attribute value, the element's own text): made before the change with the
// text of that moment as both states, the after-state captured by the
// command. Undo and redo write a state back, refresh the element's matrix
// and select it.
class CActionStateChange : public CActionBase
{
public:
    std::wstring undo() override;
    std::wstring redo() override;
    void captureAfterState() override;

    std::wstring getBefore() const { return m_before; }
    std::wstring getAfter() const { return m_after; }

protected:
    CActionStateChange(CSVGDocument* document, int type, CSVGElement* element);
    // Records the before-state; the subclass constructors call it once their
    // own fields are set.
    void captureBeforeState();
    virtual std::wstring read(const CSVGElement* element) const = 0;
    virtual void write(CSVGElement* element, const std::wstring& state) = 0;

private:
    void apply(const std::wstring& state);

    ElementRef m_element;
    std::wstring m_before;
    std::wstring m_after;
};
