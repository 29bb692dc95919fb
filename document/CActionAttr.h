#pragma once

#include "CActionStateChange.h"

// The change of one attribute. Made before the change, with the value of that
// moment as both values; the command captures the new value afterwards.
class CActionAttr : public CActionStateChange
{
public:
    CActionAttr(CSVGDocument* document, CSVGElement* element, const std::wstring& name);

protected:
    std::wstring read(const CSVGElement* element) const override;
    void write(CSVGElement* element, const std::wstring& value) override;

private:
    std::wstring m_name;
};
