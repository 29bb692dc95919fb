#pragma once

#include <QByteArray>
#include <QString>

class QTextCodec;

// How the bytes of an SVG file become text, every byte as written: the
// byte-order mark (UTF-8, UTF-16, UTF-32) decides, else a UTF-16 file known
// by its first character "<" without a mark, else the encoding that the XML
// declaration names (when the declaration itself is written in it), else
// UTF-8. Line ends are then read as XML reads them.
class SvgTextCodec
{
public:
    // The codec of text in UTF-16 or UTF-32: by its byte-order mark, or
    // UTF-16 by a first character "<". Null for any other bytes.
    static QTextCodec* wideCodec(const QByteArray& bytes);
    // The text up to its first NUL character, line ends as LF.
    static QString decode(const QByteArray& bytes);
    // Every CR LF pair and every CR alone becomes one LF, in place: a file
    // whose lines end in CR alone separates its numbers as any other does.
    static void normalizeLineEnds(QString& text);
};
