#pragma once

#include "CSVGElement.h"

// A comment or declaration of the file; its text holds it whole.
class CSVGElementComment : public CSVGElement
{
    Q_OBJECT
public:
    explicit CSVGElementComment(CSVGDocument* document);
    bool writeContent(std::wstring& out) const override;
};
