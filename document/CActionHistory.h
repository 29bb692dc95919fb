#pragma once

#include <functional>
#include <string>
#include <vector>

class CActionBase;

// The document's undo stack: the actions in the order they were done and a
// cursor. Actions before the cursor are done, those at and after it undone
// (the redo tail). Owns its actions; deleting one frees the elements it owns.
class CActionHistory
{
public:
    CActionHistory() = default;
    ~CActionHistory();
    CActionHistory(const CActionHistory&) = delete;
    CActionHistory& operator=(const CActionHistory&) = delete;

    // Drops the redo tail and appends the action as done; null is ignored.
    void push(CActionBase* action);
    // Deletes the actions from the cursor on.
    void truncate();
    // Undoes the action before the cursor; empty text when there is none.
    std::wstring undo();
    // Redoes the action at the cursor; empty text when there is none.
    std::wstring redo();
    // Forgets the last done action without undoing it, with the redo tail.
    void dropLast();
    // Deletes every action.
    void clear();
    void deleteAll() { clear(); }

    size_t size() const { return m_actions.size(); }
    size_t getCursor() const { return m_cursor; }
    bool canUndo() const { return m_cursor > 0; }
    bool canRedo() const { return m_cursor < m_actions.size(); }
    const std::vector<CActionBase*>& getActions() const { return m_actions; }
    // Told of every action just before it is deleted.
    void setDeleteHook(std::function<void(const CActionBase*)> hook) { m_deleteHook = std::move(hook); }

private:
    void deleteFrom(size_t first);

    std::vector<CActionBase*> m_actions;
    size_t m_cursor = 0;
    std::function<void(const CActionBase*)> m_deleteHook;
};
