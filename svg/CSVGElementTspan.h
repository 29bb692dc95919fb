#pragma once

#include "CSVGElementShape.h"

// A run of a text with a position of its own: "x" and "y" place it, "dx"
// and "dy" move it; without them it follows where the text puts it. Its
// outline holds those of its characters.
class CSVGElementTspan : public CSVGElementShape
{
    Q_OBJECT
public:
    explicit CSVGElementTspan(CSVGDocument* document);

    // Every notified change moves or reshapes the outline: a font property
    // as much as a position.
    void setAttribute(const std::wstring& name, const std::wstring& value, bool notify) override;
    // All runs replaced by one holding the text.
    void setText(const std::wstring& text, bool notify) override;
    // Lays every character node out at (X + DX, Y + DY): X and Y are the
    // run's own "x" and "y" when it has them, else the given point; DX and
    // DY keep their last values while "dx" and "dy" are empty.
    void layoutAt(double x, double y);
    // Where layoutAt put the run, before its offsets.
    QPointF getPosition() const { return { m_x, m_y }; }
    QPointF getOffset() const { return { m_dx, m_dy }; }
    // The union of its character nodes' boxes.
    void computeBounds() override;

protected:
    bool readAttributeField(const std::wstring& name, const std::wstring& value) override;
    bool holdsChildOutlines() const override { return true; }

private:
    double m_x = 0;
    double m_y = 0;
    double m_dx = 0;
    double m_dy = 0;
    std::wstring m_xText;
    std::wstring m_yText;
    std::wstring m_dxText;
    std::wstring m_dyText;
};
