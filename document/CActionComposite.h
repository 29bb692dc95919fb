#pragma once

#include "CActionBase.h"

#include <vector>

class CActionDel;

// Several actions undone and redone as one step: undo runs from the last to
// the first, redo from the first to the last. Owns its actions.
class CActionComposite : public CActionBase
{
public:
    explicit CActionComposite(CSVGDocument* document);
    ~CActionComposite() override;

    // Takes ownership; null is ignored.
    void addAction(CActionBase* action);
    const std::vector<CActionBase*>& getActions() const { return m_actions; }

    // The first status that is not empty. The document refreshes its
    // drawing order and highlights once, after the last child action.
    std::wstring undo() override;
    std::wstring redo() override;
    bool contains(const CActionBase* action) const override;

private:
    bool isRemoval(size_t index) const;
    // The run of removals that ends at end, or starts at begin.
    size_t removalsBefore(size_t end) const;
    size_t removalsFrom(size_t begin) const;
    std::vector<CActionDel*> removals(size_t begin, size_t end) const;

    std::vector<CActionBase*> m_actions;
};
