#include "CActionStateChange.h"

#include "CSVGDocument.h"

CActionStateChange::CActionStateChange(CSVGDocument* document, int type, CSVGElement* element)
    : CActionBase(document, type)
    , m_element(element)
{
}

void CActionStateChange::captureBeforeState()
{
    if (m_element)
        m_before = m_after = read(m_element);
}

std::wstring CActionStateChange::undo()
{
    apply(m_before);
    return std::wstring();
}

std::wstring CActionStateChange::redo()
{
    apply(m_after);
    return std::wstring();
}

void CActionStateChange::captureAfterState()
{
    if (m_element)
        m_after = read(m_element);
}

void CActionStateChange::apply(const std::wstring& state)
{
    if (!m_element)
        return;
    write(m_element, state);
    m_element->updateMatrix(nullptr, true);
    select(m_element);
    refreshAfterChange(false);
    markContentChanged();
}
