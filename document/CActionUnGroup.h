#pragma once

#include "CActionBase.h"

#include <string>
#include <vector>

// The dissolving of a group. Made before the ungroup command moves the
// children out; owns the group from then on while it is out of the tree.
// Undo puts the group back in its place with its children in their order and
// gives each child back the "transform" text it had; redo moves every child
// out again, folding the group's transform into the shapes.
class CActionUnGroup : public CActionBase
{
public:
    CActionUnGroup(CSVGDocument* document, CSVGElement* group);
    ~CActionUnGroup() override;

    std::wstring undo() override;
    std::wstring redo() override;

private:
    struct Child
    {
        ElementRef element;
        std::wstring transform;
    };

    ElementRef m_group;
    ElementRef m_parent;
    ElementRef m_next;
    bool m_hadNext;
    std::vector<Child> m_children;
    bool m_owned;
};
