// The mirror tool: copies of the selected pieces reflected across a line.

#include "CActionAdd.h"
#include "CActionComposite.h"
#include "CSVGDataRepair.h"
#include "CSVGDocument.h"
#include "CSVGElementPath.h"
#include "SvgCodes.h"

#include <cmath>
#include <memory>

namespace {
// The reflection across the line through the two points, in SVG order.
CSVGMatrix reflection(double x1, double y1, double x2, double y2)
{
    const double length = std::hypot(x2 - x1, y2 - y1);
    const double ux = (x2 - x1) / length;
    const double uy = (y2 - y1) / length;
    const double cos2 = ux * ux - uy * uy;
    const double sin2 = 2 * ux * uy;
    return CSVGMatrix(cos2, sin2, sin2, -cos2, x1 - cos2 * x1 - sin2 * y1, y1 - sin2 * x1 + cos2 * y1);
}

int shapeChildCount(const CSVGElement* element)
{
    int count = 0;
    for (int i = 0; i < element->getChildCount(); ++i)
        count += element->getChild(i)->isShape() ? 1 : 0;
    return count;
}
} // namespace

// The pieces pass through a working document, where their path data is
// repaired; the copies are new elements of this document, painted like
// their pieces. The working copies keep their ids: none of them reaches
// this document, and the paint servers they name are this document's. The
// reflection maps the working copies' outlines directly, so no matrix text
// rounds it.
void CSVGDocument::mirrorAlongLine(double x1, double y1, double x2, double y2)
{
    const double length = std::hypot(x2 - x1, y2 - y1);
    CSVGElement* root = getOwnerSvg();
    if (!std::isfinite(length) || length <= 0 || !root)
        return;
    setEditMode(EditMode::Select);
    if (m_selection.isEmpty())
        return;
    CSVGDocument work;
    work.parseSvgText(selectionToSvgText(), false, false);
    {
        CSVGDataRepair repair(&work, {});
        // Its undo record holds elements of the working document.
        std::unique_ptr<CActionComposite> record(repair.repair());
    }
    CSVGElement* pieces = work.getOwnerSvg();
    CSVGMatrix mirror = reflection(x1, y1, x2, y2);
    mirror.multiply(root->getMatrix());
    const QTransform toCanvas = mirror.toQTransform();
    const std::wstring identity = CSVGMatrix().toString();
    auto step = std::make_unique<CActionComposite>(this);
    const auto addCopy = [&](CSVGElement* parent, CSVGElementShape* source) {
        CSVGElementPath* path = addOutlinePath(toCanvas.map(source->getTransformedPath()), parent, source);
        for (const auto& [name, value] : CSVGElementStyleable::inheritedPaint(source))
            path->setAttribute(name, value, true);
        path->setAttribute(L"transform", identity, true);
        path->updateMatrix(nullptr, true);
        step->addAction(new CActionAdd(this, parent, path));
    };
    for (int i = 0; pieces && i < pieces->getChildCount(); ++i) {
        CSVGElementShape* piece = CSVGElementShape::asShape(pieces->getChild(i));
        if (!piece)
            continue;
        if (shapeChildCount(piece) < 2) {
            addCopy(root, piece);
            continue;
        }
        CSVGElement* group = createElement(L"g");
        root->adoptChild(group, true);
        group->setCanvasMatrix(CSVGMatrix());
        for (int k = 0; k < piece->getChildCount(); ++k) {
            if (CSVGElementShape* part = CSVGElementShape::asShape(piece->getChild(k)))
                addCopy(group, part);
        }
        step->addAction(new CActionAdd(this, root, group));
    }
    if (!step->getActions().empty()) {
        m_history.push(step.release());
        setContentChanged(true);
    }
}
