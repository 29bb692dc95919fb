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

    // The saved point: the cursor at which the drawing was last saved. It is
    // lost with the steps that led there (undone, then replaced by a new
    // step) and after forgetSaved, for a drawing that no step gives back.
    void setSaved() { m_savedIndex = m_cursor; }
    void forgetSaved() { m_savedIndex = kNoSavedIndex; }
    bool isAtSaved() const { return m_savedIndex == m_cursor; }

    size_t size() const { return m_actions.size(); }
    size_t getCursor() const { return m_cursor; }
    bool canUndo() const { return m_cursor > 0; }
    bool canRedo() const { return m_cursor < m_actions.size(); }
    const std::vector<CActionBase*>& getActions() const { return m_actions; }
    // Told of every action just before it is deleted.
    void setDeleteHook(std::function<void(const CActionBase*)> hook) { m_deleteHook = std::move(hook); }

private:
    static constexpr size_t kNoSavedIndex = static_cast<size_t>(-1);

    void deleteFrom(size_t first);

    std::vector<CActionBase*> m_actions;
    size_t m_cursor = 0;
    // A fresh history stands at the state it was given.
    size_t m_savedIndex = 0;
    std::function<void(const CActionBase*)> m_deleteHook;
};
