#pragma once

#include <QFont>
#include <QPainterPath>
#include <QString>

// The outline of a run of characters, the same to the last bit as
// QPainterPath::addText gives it, from a store of outlines built once per
// font and run: building one asks the font library for every glyph, hinted
// at the size of the font's design grid, which costs a hundred times as much
// as moving a built one. Lettering repeats its runs (the same word, the same
// letter in many tspans), so a drawing pays for each of them once.
class CSVGTextOutlines
{
public:
    static QPainterPath outline(const QFont& font, const QString& text, const QPointF& baseline);
    // Forgets every stored outline; for tests that measure the cost of
    // building them.
    static void clear();
};
