#include "CActionGroup.h"

#include "CSVGDocument.h"

CActionGroup::CActionGroup(CSVGDocument* document, CSVGElement* group)
    : CActionBase(document, TypeGroup)
    , m_group(group)
    , m_parent(group ? group->getParent() : nullptr)
{
}

CActionGroup::~CActionGroup()
{
    if (m_owned)
        deleteOwned(m_group);
}

std::wstring CActionGroup::undo()
{
    if (!m_group || !m_parent || !isChildOf(m_parent, m_group))
        return std::wstring();
    unselect(m_group);
    if (CSVGDocument* document = getDocument())
        document->clearCurrentElement();
    m_children.clear();
    while (m_group->getChildCount() > 0) {
        CSVGElement* child = m_group->getChild(0);
        m_group->detachChild(child);
        m_parent->adoptChild(child, false);
        m_children.emplace_back(child);
        select(child);
        refreshAfterChange(false);
    }
    m_owned = true;
    m_group->removeFromParent(true);
    markContentChanged();
    return std::wstring();
}

std::wstring CActionGroup::redo()
{
    if (!m_group || !m_parent || m_group->getParent())
        return std::wstring();
    for (const ElementRef& child : m_children) {
        if (!child)
            continue;
        unselect(child);
        child->removeFromParent(true);
        m_group->appendChild(child, false, false);
    }
    if (!m_parent->appendChild(m_group, true, true))
        return std::wstring();
    m_children.clear();
    m_owned = false;
    select(m_group);
    markContentChanged();
    return std::wstring();
}
