#pragma once

#include "CSVGElement.h"

// A CDATA section of the file; its text holds it whole.
class CSVGElementDataSection : public CSVGElement
{
    Q_OBJECT
public:
    explicit CSVGElementDataSection(CSVGDocument* document);
    bool writeContent(std::wstring& out) const override;
};
