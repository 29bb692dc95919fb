#pragma once

#include <QLocale>
#include <QString>

// The locale that numbers follow in an interface language: its decimal
// separator and digits, without group separators, so that every field and
// label of a language writes numbers one way. Every number the program
// shows goes through here; what it writes into files, settings and
// requests never does.
class InterfaceLocale
{
public:
    // code: as the pages and the settings name the language ("zh_cn",
    // "en", "ru", "ar", "ko", "ger") or a system locale's name.
    static QLocale forLanguage(const QString& code);
    // The interface language's locale (the default one, set with the
    // language), without group separators.
    static QLocale shown();

    // The number as the interface language writes it: to at most that many
    // decimals, or, with -1, with all the digits that give it back exactly.
    static QString number(double value, int decimals = -1);
    // To exactly that many decimals, as sizes are listed ("50.0").
    static QString fixed(double value, int decimals);
    // The number and "mm", or its translation.
    static QString millimetres(double value, int decimals = -1);
    // "mm", or its translation.
    static QString millimetreUnit();
    // "(x,y)" to six significant digits; "(x;y)" where the comma is the
    // decimal separator.
    static QString point(double x, double y);
};
