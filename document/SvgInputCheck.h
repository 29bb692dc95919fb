#pragma once

#include <QByteArray>
#include <QString>

class CSVGElement;

// Whether a file's bytes hold an SVG drawing, and if not, why. The scanner
// takes any text and keeps what it can, so the ways a file comes in (open,
// import, drop, recovery) ask here: an empty file, a picture, a compressed
// or binary file, text without markup, a root other than svg, elements
// nested deeper than the reader goes and entities that expand too far or
// make too many elements are refused; text that ends inside the drawing is
// opened as far as it goes and reported as damaged, and a drawing with more
// elements than the reader takes is opened up to that limit and reported as
// cut short; so is one with more new attribute names than the reader takes,
// or with content after its root element. A drawing the memory left cannot
// hold is refused, not left half read.
class SvgInputCheck
{
public:
    enum class Verdict {
        Drawing,
        Empty,
        Picture,
        Compressed,
        Binary,
        NoMarkup,
        OtherRoot,
        TooDeep,
        EntityLimit,
        Damaged,
        ElementLimit,
        EntityElements,
        NamesLeftOut,
        AfterRoot,
        OutOfMemory
    };

    struct Result
    {
        Verdict verdict = Verdict::Drawing;
        // The tag of the root element that is not svg.
        QString rootTag;
        // The attribute names left out, listed.
        QString leftOutNames;
    };

    // What the bytes tell before they are read: Drawing when they may be
    // SVG text.
    static Result checkBytes(const QByteArray& bytes);
    // What the read tree under the document node tells; complete is false
    // when the text ended inside an element or a piece of markup.
    static Result checkTree(CSVGElement* document, bool complete);
    // Nothing of a refused file is opened.
    static bool refuses(const Result& result) { return result.verdict != Verdict::Drawing && !opensInPart(result); }
    // A damaged file, or one of which the reader left out elements,
    // attribute names or what follows the root: what was read is opened, and
    // the user is told what is missing.
    static bool opensInPart(const Result& result)
    {
        return result.verdict == Verdict::Damaged || result.verdict == Verdict::ElementLimit
            || result.verdict == Verdict::NamesLeftOut || result.verdict == Verdict::AfterRoot;
    }
    // One sentence saying what is wrong, in the user's language.
    static QString reason(const Result& result);
    // What the user is told of a file of that name: that it cannot be
    // opened, or that it opened only in part, and why; empty for a sound
    // drawing.
    static QString message(const QString& name, const Result& result);
};
