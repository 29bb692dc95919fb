#pragma once

#include "CSVGElementStyleable.h"

#include <cstdint>

// A gradient stop. Its "stop-color" and "stop-opacity", given as attributes
// or in "style", are read from its effective style.
class CSVGElementStop : public CSVGElementStyleable
{
    Q_OBJECT
public:
    explicit CSVGElementStop(CSVGDocument* document);

    std::wstring getOffset() const { return m_offset; }
    // "50%" and "0.5" both give 0.5.
    double getOffsetNumber() const;
    std::wstring getStopColor();
    std::wstring getStopOpacity();
    // The stop colour with the stop opacity (1 when none is given) in the
    // alpha byte, held to 0 ... 255.
    std::uint32_t getPackedColor();

protected:
    bool readAttributeField(const std::wstring& name, const std::wstring& value) override;

private:
    std::wstring m_offset;
};
