#include "CActionUnGroup.h"

#include "CSVGDocument.h"

CActionUnGroup::CActionUnGroup(CSVGDocument* document, CSVGElement* group)
    : CActionBase(document, TypeUnGroup)
    , m_group(group)
    , m_parent(group ? group->getParent() : nullptr)
    , m_next(group ? group->getNextSibling() : nullptr)
    , m_hadNext(m_next != nullptr)
    , m_owned(group != nullptr)
{
    for (int i = 0; group && i < group->getChildCount(); ++i) {
        CSVGElement* child = group->getChild(i);
        m_children.push_back({ child, child->getAttribute(L"transform") });
    }
}

CActionUnGroup::~CActionUnGroup()
{
    if (m_owned)
        deleteOwned(m_group);
}

// The recorded text itself, not the group's inverse applied to the folded
// transform: a group scaled by 0 has no inverse.
std::wstring CActionUnGroup::undo()
{
    if (!m_group || !m_parent || m_group->getParent())
        return std::wstring();
    CSVGElement* next = isChildOf(m_parent, m_next) ? m_next.data() : nullptr;
    const bool placed = m_hadNext && next ? m_parent->insertChildBefore(m_group, next, true, true)
                                          : m_parent->appendChild(m_group, true, true);
    if (!placed)
        return std::wstring();
    m_owned = false;
    for (const Child& child : m_children) {
        if (!child.element)
            continue;
        m_group->adoptChild(child.element, false);
        child.element->setAttribute(L"transform", child.transform, true);
        child.element->updateMatrix(nullptr, true);
    }
    select(m_group);
    markContentChanged();
    return std::wstring();
}

// Every child leaves the group, as the ungroup command moves every child;
// only shapes take the group's transform.
std::wstring CActionUnGroup::redo()
{
    if (!m_group || !isChildOf(m_parent, m_group))
        return std::wstring();
    const CSVGMatrix groupMatrix = m_group->getTransformMatrix();
    CSVGElement* reference = m_group;
    for (auto child = m_children.rbegin(); child != m_children.rend(); ++child) {
        CSVGElement* element = child->element;
        if (!element || element->getParent() != m_group)
            continue;
        if (element->isShape()) {
            CSVGMatrix matrix = groupMatrix;
            matrix.multiply(element->getTransformMatrix());
            element->setTransform(matrix, true);
        }
        m_parent->insertChildBefore(element, reference, true, true);
        element->updateMatrix(nullptr, true);
        reference = element;
        if (element->isShape())
            select(element);
    }
    m_group->removeFromParent(true);
    m_owned = true;
    markContentChanged();
    return std::wstring();
}
