#pragma once

#include "CActionBase.h"

#include <vector>

// The grouping of pieces into a new group, recorded after the command filled
// the group and put it into the tree. Undo puts the children at the end of
// the group's parent (their earlier places are not recorded) and keeps the
// group; redo gathers them into it again.
class CActionGroup : public CActionBase
{
public:
    CActionGroup(CSVGDocument* document, CSVGElement* group);
    ~CActionGroup() override;

    std::wstring undo() override;
    std::wstring redo() override;

private:
    ElementRef m_group;
    ElementRef m_parent;
    // The children taken out by the last undo, in their order in the group.
    std::vector<ElementRef> m_children;
    bool m_owned = false;
};
