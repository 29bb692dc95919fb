#pragma once

#include "CSVGElementStyleable.h"

// A pattern paint server: kept so that a drawing writes it out again, never
// painted itself.
class CSVGElementPattern : public CSVGElementStyleable
{
    Q_OBJECT
public:
    explicit CSVGElementPattern(CSVGDocument* document);

    // Writes the element only when the document's last count of references
    // names its id; false when nothing was written. writeSvg does the same.
    virtual bool writeIfReferenced(std::wstring& out, int depth);
    bool isWrittenOut() const override;

    double getX() const { return m_x; }
    double getY() const { return m_y; }
    double getWidth() const { return m_width; }
    double getHeight() const { return m_height; }
    std::wstring getPatternContentUnits() const { return m_patternContentUnits; }

protected:
    bool readAttributeField(const std::wstring& name, const std::wstring& value) override;

private:
    double m_x = 0.0;
    double m_y = 0.0;
    double m_width = 0.0;
    double m_height = 0.0;
    std::wstring m_patternContentUnits;
};
