#pragma once

#include <QByteArray>
#include <QString>

// A design as text, the form in which designs travel to and from the online
// service: ten random letters that mean nothing, then the standard Base64 of
// the SVG text's UTF-8 bytes.
class PdbPackage
{
public:
    static const int kPrefixLength = 10;

    static QByteArray pack(const QString& svgText);
    // Drops the ten letters; characters outside the Base64 alphabet (a
    // trailing line break) are skipped.
    static QString unpack(const QByteArray& package);

private:
    static QByteArray randomPrefix();
};
