#pragma once

#include "CSVGElementShape.h"

#include <QFont>

// The characters of a text: one line of them, turned into an outline with a
// font made from the effective style. Text and tspan elements hold their
// characters only in nodes of this kind ("textcontent").
class CSVGElementTextContent : public CSVGElementShape
{
    Q_OBJECT
public:
    explicit CSVGElementTextContent(CSVGDocument* document);

    // Tabs and line feeds become blanks, carriage returns go.
    void setText(const std::wstring& text, bool notify) override;
    bool intersectsRect(const CSVGRect&) override { return false; }

    // Reads family, pixel size, bold, italic, underline and the writing mode
    // from the effective style. An empty family falls back to the
    // document's default; a family the system lacks to the system's own
    // substitute.
    void readFontStyle();
    // The bounds of the characters with their baseline starting at (x, y),
    // moved by the anchor of the whole run ("middle", "end").
    CSVGRect measureText(const std::wstring& text, double x, double y);
    // Builds the outline and the box of the whole run at (x, y).
    void layoutAt(double x, double y);
    QFont getFont() const;
    bool isVertical() const { return m_vertical; }

    // Replaces the element's children by one new node holding the text, the
    // old ones removed from the document as the tree removes children.
    static CSVGElementTextContent* replaceRuns(CSVGElement* element, const std::wstring& text, bool notify);
    // The pixel size of a "font-size" value: points (any "pt" after the
    // first character) are truncated, then scaled by the store's point
    // factor; anything else counts pixels. Kept within what a font can be.
    static int pixelSizeOf(const std::wstring& fontSize);
    static QFont makeFont(const std::wstring& family, int pixelSize);

private:
    // The box of the text's outline, moved by the anchor of the whole run.
    CSVGRect anchored(const std::wstring& text, const QPainterPath& outline, double x, double y);

    std::wstring m_family = L"SimSun";
    bool m_underline = false;
    bool m_bold = false;
    bool m_italic = false;
    int m_pixelSize;
    bool m_vertical = false;
};
