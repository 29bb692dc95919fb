#include "CActionComposite.h"

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

std::wstring CActionComposite::undo()
{
    CSVGDocument::ActionBatch batch(getDocument());
    std::wstring status;
    for (auto action = m_actions.rbegin(); action != m_actions.rend(); ++action) {
        const std::wstring text = (*action)->undo();
        if (status.empty())
            status = text;
    }
    return status;
}

std::wstring CActionComposite::redo()
{
    CSVGDocument::ActionBatch batch(getDocument());
    std::wstring status;
    for (CActionBase* action : m_actions) {
        const std::wstring text = action->redo();
        if (status.empty())
            status = text;
    }
    return status;
}

bool CActionComposite::contains(const CActionBase* action) const
{
    return action == this || std::any_of(m_actions.begin(), m_actions.end(), [action](const CActionBase* child) {
        return child->contains(action);
    });
}
