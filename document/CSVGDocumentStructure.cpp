// Structure commands: grouping the selection.

#include "CActionGroup.h"
#include "CSVGDocument.h"
#include "CSVGElementShape.h"

#include <algorithm>

// The group goes last, so it is drawn above every other piece; its children
// keep their drawing order. Their ids stay registered while they move.
void CSVGDocument::groupSelection()
{
    CSVGElement* root = getOwnerSvg();
    if (!root || m_selection.size() < 2)
        return;
    QVector<CSVGElement*> selected = m_selection;
    std::stable_sort(selected.begin(), selected.end(), lessByDrawingOrder);
    CSVGElement* group = createElement(L"g");
    root->appendChild(group, false, true);
    for (CSVGElement* element : qAsConst(selected)) {
        if (!element || element == group)
            continue;
        if (CSVGElement* parent = element->getParent())
            parent->detachChild(element);
        group->appendChild(element, false, false);
    }
    group->updateMatrix(nullptr, true);
    if (CSVGElementShape* shape = CSVGElementShape::asShape(group))
        shape->updateGeometry();
    clearSelection();
    selectElement(group, Qt::green);
    m_history.push(new CActionGroup(this, group));
    m_overlayChanged = true;
    m_contentChanged = true;
}
