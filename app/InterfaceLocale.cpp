#include "InterfaceLocale.h"

QLocale InterfaceLocale::forLanguage(const QString& code)
{
    // "ger" (German in the pages) and "Chinese" are no locale names of
    // their own: Qt would take them for the C locale.
    QLocale locale(code == QLatin1String("ger") ? QStringLiteral("de")
            : code == QLatin1String("Chinese")  ? QStringLiteral("zh_CN")
                                                : code);
    // Arabic is written with Latin digits and a decimal point, as in the
    // technical programs of the trade, and as the texts around the numbers
    // already are: the one Arabic locale that writes them so.
    if (locale.language() == QLocale::Arabic)
        locale = QLocale(QLocale::Arabic, QLocale::WesternSahara);
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}
