#pragma once

#include "CSVGElement.h"

// The document type declaration of the file; its text holds it whole.
class CSVGElementDoctype : public CSVGElement
{
    Q_OBJECT
public:
    explicit CSVGElementDoctype(CSVGDocument* document);
    bool writeContent(std::wstring& out) const override;
};
