#pragma once

#include <QByteArray>
#include <QString>

// A design as text, the form in which designs travel to and from the online
// service: ten random letters that mean nothing, then the standard Base64 of
// the SVG text's UTF-8 bytes. This is the one writer and reader of it.
class PdbPackage
{
public:
    static const int kPrefixLength = 10;

    // The batch writers end their files with a line break; the store dialog
    // writes none. Readers skip it either way.
    enum Ending { NoLineBreak, LineBreak };

    static QByteArray pack(const QString& svgText, Ending ending = NoLineBreak);
    // Replaces the file at path with the package, cutting off whatever a
    // longer old file held; false when it cannot be written.
    static bool write(const QString& path, const QString& svgText, Ending ending = NoLineBreak);

    // Drops the ten letters; characters outside the Base64 alphabet (a
    // trailing line break) are skipped. Nothing is checked.
    static QString unpack(const QByteArray& package);
    // As unpack, but only an SVG drawing counts: otherwise the result is
    // empty and *error says why (an empty package, an error page, bytes that
    // are no SVG text).
    static QString read(const QByteArray& package, QString* error = nullptr);

private:
    static QByteArray randomPrefix();
};
