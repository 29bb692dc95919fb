#pragma once

#include "CSVGElement.h"

// A comment or declaration of the file; its text holds it whole. It is
// written so that the file stays XML: a comment with "--" inside it broken up;
// a processing instruction as it stands; the XML declaration before the
// root not at all (the writer writes its own); and markup that XML does not
// allow where it stands (a declaration inside the drawing, "<!ELEMENT ...>")
// as a comment holding it.
class CSVGElementComment : public CSVGElement
{
    Q_OBJECT
public:
    explicit CSVGElementComment(CSVGDocument* document);
    bool writeContent(std::wstring& out) const override;
};
