#include "CSVGElementUse.h"

#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "SvgCodes.h"

#include <algorithm>
#include <vector>

namespace {

// The uses being measured on this thread. A use met again while it is
// measured reaches itself through what it shows; so does a chain of uses
// longer than any real drawing has, which also must not decide the depth of
// the call stack.
thread_local std::vector<const CSVGElementUse*> t_usesMeasured;
constexpr size_t kMaxUseNesting = 64;

class Measuring
{
public:
    explicit Measuring(const CSVGElementUse* use)
        : m_entered(t_usesMeasured.size() < kMaxUseNesting
            && std::find(t_usesMeasured.begin(), t_usesMeasured.end(), use) == t_usesMeasured.end())
    {
        if (m_entered)
            t_usesMeasured.push_back(use);
    }
    ~Measuring()
    {
        if (m_entered)
            t_usesMeasured.pop_back();
    }
    Measuring(const Measuring&) = delete;
    Measuring& operator=(const Measuring&) = delete;
    bool entered() const { return m_entered; }

private:
    bool m_entered;
};

} // namespace

CSVGElementUse::CSVGElementUse(CSVGDocument* document)
    : CSVGElementShape(document, L"use", SvgType::Use)
{
}

bool CSVGElementUse::readAttributeField(const std::wstring& name, const std::wstring& value)
{
    if (isLinkAttribute(name)) {
        m_href = getLink();
        return true;
    }
    return readLengthField(name, value, { { L"x", &m_x }, { L"y", &m_y } });
}

CSVGElementShape* CSVGElementUse::getReferencedElement() const
{
    if (m_href.empty() || !getDocument())
        return nullptr;
    CSVGElementShape* shape = asShape(getDocument()->getElementById(CGlobalConfig::getUrlReferenceId(m_href)));
    // A use inside what it shows would show itself without end.
    for (const CSVGElement* element = this; element && shape; element = element->getParent()) {
        if (element == shape)
            return nullptr;
    }
    return shape;
}

CSVGMatrix CSVGElementUse::placement(const CSVGElementShape* shown) const
{
    CSVGMatrix matrix;
    matrix.translate(m_x, m_y);
    matrix.multiply(shown->getTransformMatrix());
    return matrix;
}

bool CSVGElementUse::hitTest(double x, double y, std::wstring&, std::wstring& id)
{
    return hitTestBox(x, y, id);
}

void CSVGElementUse::updateGeometry()
{
    computeBounds();
    clearGeometryDirty();
}

void CSVGElementUse::computeBounds()
{
    m_box = CSVGRect(m_x, m_y, 0, 0);
    const Measuring measuring(this);
    CSVGElementShape* shown = measuring.entered() ? getReferencedElement() : nullptr;
    if (shown)
        m_box = shown->getBoundingRect().transformed(placement(shown));
}

// The shown shape's accumulated matrix M is replaced by the use's U, the
// placement P and what lies between the shape and its descendants:
// U P M^-1 in front of M.
CSVGElementShape* CSVGElementUse::getShownElement(CSVGMatrix& relocation)
{
    CSVGElementShape* shown = getReferencedElement();
    if (!shown)
        return nullptr;
    CSVGMatrix toShown = shown->getMatrix();
    if (!toShown.invert())
        return nullptr;
    relocation = getMatrix();
    relocation.multiply(placement(shown));
    relocation.multiply(toShown);
    return shown;
}
