#pragma once

#include "CSVGElementShape.h"

// A text: runs of characters (character nodes and tspans) laid out one after
// the other from (x, y), each following the box of the run before it (below
// it with the writing mode "tb"). Its outline holds those of its runs.
class CSVGElementText : public CSVGElementShape
{
    Q_OBJECT
public:
    // Without a size of its own: a text read from a file takes the size
    // its file gives it, inherited or not (the editor gives its new texts
    // theirs).
    explicit CSVGElementText(CSVGDocument* document);

    // Every notified change marks the outline for a new layout: a font
    // property changes it as much as a position.
    void setAttribute(const std::wstring& name, const std::wstring& value, bool notify) override;
    // The characters of every run, in order.
    std::wstring getText() const override;
    // All runs replaced by one character node holding the text.
    void setText(const std::wstring& text, bool notify) override;
    // Inside the box grown by the stroke width.
    bool hitTest(double x, double y, std::wstring& groupId, std::wstring& id) override;
    void updateGeometry() override;
    // The union of the runs' boxes; without any, the box of an "I" in the
    // text's font at (x, y), so that an empty text can still be found.
    void computeBounds() override;

    // The box of the first n characters (all for n < 0), for the caret of
    // the text editor; a one unit wide caret at x where that box is empty.
    // Zero unless the text is one character node.
    CSVGRect getTextRect(int n);

protected:
    bool readAttributeField(const std::wstring& name, const std::wstring& value) override;
    bool holdsChildOutlines() const override { return true; }

private:
    bool isVertical();

    double m_x = 0;
    double m_y = 0;
};
