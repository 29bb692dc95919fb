#pragma once

#include "CSVGElement.h"

// The document type declaration of the file; its text holds it whole. Its
// entities are read into the drawing where the file uses them, so before
// the root it is written as the declaration of those entities alone (none
// at all without them): an external subset or entity is never named in a
// file of ours. Elsewhere, where XML allows none, it is written as a comment
// holding it.
class CSVGElementDoctype : public CSVGElement
{
    Q_OBJECT
public:
    explicit CSVGElementDoctype(CSVGDocument* document);
    bool writeContent(std::wstring& out) const override;
};
