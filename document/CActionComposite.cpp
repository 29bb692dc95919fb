#include "CActionComposite.h"

#include "CActionDel.h"
#include "CSVGDocument.h"

#include <algorithm>

CActionComposite::CActionComposite(CSVGDocument* document)
    : CActionBase(document, TypeComposite)
{
}

CActionComposite::~CActionComposite()
{
    for (CActionBase* action : m_actions)
        delete action;
}

void CActionComposite::addAction(CActionBase* action)
{
    if (action)
        m_actions.push_back(action);
}

// Removals that follow one another go together (their status is always
// empty): deleting every piece of a large drawing is one step of thousands.
std::wstring CActionComposite::undo()
{
    CSVGDocument::ActionBatch batch(getDocument());
    std::wstring status;
    for (size_t end = m_actions.size(); end > 0;) {
        const size_t begin = removalsBefore(end);
        if (begin < end) {
            CActionDel::undoAll(removals(begin, end));
            end = begin;
            continue;
        }
        const std::wstring text = m_actions[--end]->undo();
        if (status.empty())
            status = text;
    }
    return status;
}

std::wstring CActionComposite::redo()
{
    CSVGDocument::ActionBatch batch(getDocument());
    std::wstring status;
    for (size_t begin = 0; begin < m_actions.size();) {
        const size_t end = removalsFrom(begin);
        if (begin < end) {
            CActionDel::redoAll(removals(begin, end));
            begin = end;
            continue;
        }
        const std::wstring text = m_actions[begin++]->redo();
        if (status.empty())
            status = text;
    }
    return status;
}

bool CActionComposite::isRemoval(size_t index) const
{
    return dynamic_cast<const CActionDel*>(m_actions[index]) != nullptr;
}

size_t CActionComposite::removalsBefore(size_t end) const
{
    size_t begin = end;
    while (begin > 0 && isRemoval(begin - 1))
        --begin;
    return begin;
}

size_t CActionComposite::removalsFrom(size_t begin) const
{
    size_t end = begin;
    while (end < m_actions.size() && isRemoval(end))
        ++end;
    return end;
}

std::vector<CActionDel*> CActionComposite::removals(size_t begin, size_t end) const
{
    std::vector<CActionDel*> run;
    for (size_t i = begin; i < end; ++i)
        run.push_back(static_cast<CActionDel*>(m_actions[i]));
    return run;
}

bool CActionComposite::contains(const CActionBase* action) const
{
    return action == this || std::any_of(m_actions.begin(), m_actions.end(), [action](const CActionBase* child) {
        return child->contains(action);
    });
}
