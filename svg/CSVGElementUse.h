#pragma once

#include "CSVGElementShape.h"

// Shows the shape named by its link ("#id", getLink) in its own place: under
// the use's accumulated matrix, moved by (x, y), then the shape's own
// transform. The shown shape is not changed by that: it keeps its matrix and
// style, and may be shown by several uses and drawn itself as well.
class CSVGElementUse : public CSVGElementShape
{
    Q_OBJECT
public:
    explicit CSVGElementUse(CSVGDocument* document);

    // The shape named by the reference; null for none, for a non-shape and
    // for the use itself or one of its ancestors.
    CSVGElementShape* getReferencedElement() const;

    // Inside the box grown by the stroke width.
    bool hitTest(double x, double y, std::wstring& groupId, std::wstring& id) override;
    // Measured at every call: the shown shape may have changed meanwhile.
    void updateGeometry() override;
    // The shown shape's box where the use shows it; an empty box at (x, y)
    // when there is none, and when the shape contains the use itself, also
    // through other uses.
    void computeBounds() override;

protected:
    bool readAttributeField(const std::wstring& name, const std::wstring& value) override;
    CSVGElementShape* getShownElement(CSVGMatrix& relocation) override;

private:
    // translate(x, y), then the shown shape's own transform.
    CSVGMatrix placement(const CSVGElementShape* shown) const;

    double m_x = 0;
    double m_y = 0;
    std::wstring m_href;
};
