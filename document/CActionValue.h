#pragma once

#include "CActionStateChange.h"

// The change of an element's text. Made before the change, with the text of
// that moment as both texts; the command captures the new text afterwards.
class CActionValue : public CActionStateChange
{
public:
    CActionValue(CSVGDocument* document, CSVGElement* element);

protected:
    std::wstring read(const CSVGElement* element) const override;
    void write(CSVGElement* element, const std::wstring& text) override;
};
