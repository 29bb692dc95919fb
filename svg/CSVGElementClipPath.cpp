#include "CSVGElementClipPath.h"

#include "SvgCodes.h"

#include <QTransform>

CSVGElementClipPath::CSVGElementClipPath(CSVGDocument* document)
    : CSVGElementShape(document, L"clipPath", SvgType::ClipPath)
{
    setCheckFlag(false);
}

void CSVGElementClipPath::updateGeometry()
{
    if (!isGeometryDirty())
        return;
    m_path = QPainterPath();
    for (int i = 0; i < getChildCount(); ++i) {
        if (CSVGElementShape* child = asShape(getChild(i)))
            m_path.addPath(child->getTransformMatrix().toQTransform().map(child->getPainterPath()));
    }
    CSVGElementShape::updateGeometry();
}
