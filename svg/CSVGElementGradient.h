#pragma once

#include "CSVGElement.h"

#include <cstdint>
#include <string>
#include <vector>

// Base of the linear and radial gradients: paint servers that a drawing keeps
// so that it writes them out again. Not drawable and not styleable: its
// presentation attributes, "style" included, are plain attributes.
class CSVGElementGradient : public CSVGElement
{
    Q_OBJECT
public:
    // One entry of the stop table: a packed colour (red in the low byte,
    // alpha in the high one) and its offset.
    struct Stop
    {
        std::uint32_t color;
        double offset;
    };

    CSVGElementGradient(CSVGDocument* document, const std::wstring& tagName, std::uint16_t type);

    // Writes the element only when the document's last count of references
    // names its id; false when nothing was written. writeSvg does the same.
    virtual bool writeIfReferenced(std::wstring& out, int depth);
    bool isWrittenOut() const override;
    // Builds the stop table from the stop children, or from those of the
    // gradient that the link names when there are none, which also lends
    // its "gradientUnits" and "gradientTransform" where this one has none.
    // The table has an opaque white entry at offset 0 on either side of the
    // stops and is sorted by offset.
    virtual void buildGradient();

    const std::vector<Stop>& getStopTable() const { return m_stops; }
    // As in force after buildGradient: own or lent.
    std::wstring getTableUnits() const { return m_tableUnits; }
    std::wstring getTableTransform() const { return m_tableTransform; }

    std::wstring getGradientUnits() const { return m_gradientUnits; }
    std::wstring getHref() const { return m_href; }
    std::wstring getGradientTransform() const { return m_gradientTransform; }

protected:
    bool readAttributeField(const std::wstring& name, const std::wstring& value) override;

private:
    std::vector<Stop> m_stops;
    std::wstring m_tableUnits;
    std::wstring m_tableTransform;
    std::wstring m_gradientUnits;
    std::wstring m_href;
    std::wstring m_gradientTransform;
};
