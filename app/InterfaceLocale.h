#pragma once

#include <QLocale>
#include <QString>

// The locale that numbers follow in an interface language: its decimal
// separator and digits, without group separators, so that every field and
// label of a language writes numbers one way.
class InterfaceLocale
{
public:
    // code: as the pages and the settings name the language ("zh_cn",
    // "en", "ru", "ar", "ko", "ger") or a system locale's name.
    static QLocale forLanguage(const QString& code);
};
