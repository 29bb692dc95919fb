#include "CActionHistory.h"

#include "CActionBase.h"

CActionHistory::~CActionHistory()
{
    clear();
}

void CActionHistory::push(CActionBase* action)
{
    if (!action)
        return;
    truncate();
    m_actions.push_back(action);
    m_cursor = m_actions.size();
}

void CActionHistory::truncate()
{
    if (m_cursor > m_actions.size())
        m_cursor = m_actions.size();
    deleteFrom(m_cursor);
}

std::wstring CActionHistory::undo()
{
    if (m_cursor == 0)
        return std::wstring();
    if (m_cursor > m_actions.size())
        m_cursor = m_actions.size();
    return m_actions[--m_cursor]->undo();
}

std::wstring CActionHistory::redo()
{
    if (m_cursor >= m_actions.size())
        return std::wstring();
    return m_actions[m_cursor++]->redo();
}

void CActionHistory::dropLast()
{
    if (m_cursor == 0)
        return;
    deleteFrom(--m_cursor);
}

// Its one state is the saved one as far as the history knows: the drawing
// that is left may be another, which only its text tells.
void CActionHistory::clear()
{
    m_cursor = 0;
    deleteFrom(0);
    m_savedIndex = 0;
}

// The newest first, each announced before it goes. A saved point among
// them can no longer be reached.
void CActionHistory::deleteFrom(size_t first)
{
    if (m_savedIndex > first)
        m_savedIndex = kNoSavedIndex;
    while (m_actions.size() > first) {
        CActionBase* action = m_actions.back();
        m_actions.pop_back();
        if (m_deleteHook)
            m_deleteHook(action);
        delete action;
    }
}
