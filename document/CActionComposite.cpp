#include "CActionComposite.h"

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
    std::wstring status;
    for (CActionBase* action : m_actions) {
        const std::wstring text = action->redo();
        if (status.empty())
            status = text;
    }
    return status;
}
