#include "CActionDel.h"

#include "CSVGDocument.h"

#include <algorithm>
#include <list>
#include <unordered_map>
#include <unordered_set>

namespace {
// Fewer removals than this go one by one: a pass over the parent's children
// costs more than they do.
const size_t kTogether = 8;
} // namespace

CActionDel::CActionDel(CSVGDocument* document, CSVGElement* element)
    : CActionBase(document, TypeDel)
    , m_element(element)
    , m_parent(element ? element->getParent() : nullptr)
    , m_previous(element ? element->getPreviousSibling() : nullptr)
    , m_hadPrevious(m_previous != nullptr)
    , m_owned(element != nullptr)
{
}

CActionDel::CActionDel(CSVGDocument* document, CSVGElement* element, CSVGElement* previous)
    : CActionBase(document, TypeDel)
    , m_element(element)
    , m_parent(element ? element->getParent() : nullptr)
    , m_previous(previous)
    , m_hadPrevious(previous != nullptr)
    , m_owned(element != nullptr)
{
}

CActionDel::~CActionDel()
{
    if (m_owned)
        deleteOwned(m_element);
}

std::wstring CActionDel::undo()
{
    if (!m_element || !m_parent || m_element->getParent())
        return std::wstring();
    bool placed = false;
    if (!m_hadPrevious)
        placed = m_parent->prependChild(m_element, true, true);
    else if (isChildOf(m_parent, m_previous))
        placed = m_parent->insertChildAfter(m_element, m_previous, true);
    else
        placed = m_parent->appendChild(m_element, true, true);
    if (placed)
        finishUndo();
    return std::wstring();
}

void CActionDel::finishUndo()
{
    m_owned = false;
    select(m_element);
    refreshAfterChange(true);
    markContentChanged();
}

std::wstring CActionDel::redo()
{
    if (!m_element || !m_element->getParent())
        return std::wstring();
    unselect(m_element);
    m_element->removeFromParent(true);
    finishRedo();
    return std::wstring();
}

void CActionDel::finishRedo()
{
    m_owned = true;
    markContentChanged();
    refreshAfterChange(false);
}

// The places are worked out on a list of the parent's children first, with
// the rules of undo(); then the elements go in and the order is set once.
void CActionDel::undoAll(const std::vector<CActionDel*>& run)
{
    CSVGElement* parent = run.size() < kTogether ? nullptr : run.front()->m_parent.data();
    std::unordered_set<const CSVGElement*> elements;
    const bool together = parent && std::all_of(run.begin(), run.end(), [parent, &elements](const CActionDel* action) {
        return action->m_element && action->m_parent == parent && !action->m_element->getParent()
            && elements.insert(action->m_element.data()).second;
    });
    if (!together) {
        for (auto action = run.rbegin(); action != run.rend(); ++action)
            (*action)->undo();
        return;
    }
    std::list<CSVGElement*> order;
    std::unordered_map<const CSVGElement*, std::list<CSVGElement*>::iterator> places;
    for (int i = 0; i < parent->getChildCount(); ++i)
        places[parent->getChild(i)] = order.insert(order.end(), parent->getChild(i));
    for (auto action = run.rbegin(); action != run.rend(); ++action) {
        const CActionDel* del = *action;
        auto place = order.end();
        if (!del->m_hadPrevious)
            place = order.begin();
        else if (const auto previous = places.find(del->m_previous.data()); del->m_previous && previous != places.end())
            place = std::next(previous->second);
        places[del->m_element.data()] = order.insert(place, del->m_element.data());
    }
    for (auto action = run.rbegin(); action != run.rend(); ++action)
        parent->appendChild((*action)->m_element, true, true);
    parent->setChildOrder(std::vector<CSVGElement*>(order.begin(), order.end()));
    for (auto action = run.rbegin(); action != run.rend(); ++action)
        (*action)->finishUndo();
}

void CActionDel::redoAll(const std::vector<CActionDel*>& run)
{
    CSVGElement* parent
        = run.size() < kTogether || !run.front()->m_element ? nullptr : run.front()->m_element->getParent();
    const bool together = parent && std::all_of(run.begin(), run.end(), [parent](const CActionDel* action) {
        return action->m_element && action->m_element->getParent() == parent;
    });
    if (!together) {
        for (CActionDel* action : run)
            action->redo();
        return;
    }
    std::vector<CSVGElement*> elements;
    for (CActionDel* action : run) {
        action->unselect(action->m_element);
        elements.push_back(action->m_element);
    }
    parent->removeChildren(elements, true);
    for (CActionDel* action : run)
        action->finishRedo();
}
