#pragma once

#include <QByteArray>
#include <QImage>

#include <string>

// Turns the bytes of a picture into pixels, for image elements and for the
// pictures a user inserts, replaces or drops. Any thread may call it.
//
// Qt's SVG picture reader loads every picture an SVG picture links to,
// files included, and follows such links without end when they lead back
// (a.svg showing b.svg showing a.svg), until the stack runs out. An SVG
// picture is therefore given to it only when each picture it shows is
// carried inside it (a Base64 data URL), looked at the same way down to
// kMaxNesting levels, and all of them together stay within kMaxPixels; any
// other SVG picture, and a compressed one that
// cannot be looked into, decodes to no picture, and its element shows its
// frame alone.
//
// Decoding a large picture takes long: the pictures of data URLs are kept,
// up to kCacheBytes of pixels, so that a picture is decoded once however
// often its text is read again (a save, a copy, an undo, a preview).
class PictureDecoder
{
public:
    // Pictures are decoded whole into memory: a size read from a file must
    // not decide how much is taken.
    static constexpr qint64 kMaxPixels = 100'000'000;
    static constexpr qint64 kMaxFileBytes = 200LL * 1024 * 1024;
    static constexpr int kMaxNesting = 8;
    static constexpr qint64 kCacheBytes = 256LL * 1024 * 1024;

    // Null for bytes that are no picture, a picture larger than kMaxPixels
    // and an SVG picture that links to pictures outside itself.
    static QImage decode(const QByteArray& bytes);
    // The picture of Base64 text, from the kept ones when it was decoded
    // before.
    static QImage fromBase64(const std::wstring& text);
    static QImage fromBase64(const QByteArray& base64);
    // The bytes of a regular file of at most kMaxFileBytes; none for any
    // other file (a pipe or a device would block the reading, or never end).
    static QByteArray readFile(const QString& path);
    static QImage fromFile(const QString& path) { return decode(readFile(path)); }

private:
    // Whether the bytes are an SVG picture whose pictures all lie inside it,
    // with their pixels, added to pixels, within kMaxPixels: its reader
    // decodes every one of them at its own size.
    static bool isSelfContainedSvg(const QByteArray& bytes, qint64& pixels, int level = 0);
    // The pixels of the picture the bytes hold, from its header; 0 when
    // unknown.
    static qint64 pixelsOf(const QByteArray& bytes);
    static bool isSvg(const QByteArray& bytes);
};
