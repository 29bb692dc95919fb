#include "InterfaceLocale.h"

#include <QCoreApplication>

#include <cmath>

namespace {
// A value that rounds to nothing is no "-0".
double unsigned0(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) == 0.0 ? 0.0 : value;
}
} // namespace

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

// The default locale is the interface language's (set with it at start and
// at every change of language).
QLocale InterfaceLocale::shown()
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale;
}

QString InterfaceLocale::number(double value, int decimals)
{
    const QLocale locale = shown();
    if (decimals < 0)
        return locale.toString(value, 'f', QLocale::FloatingPointShortest);
    QString text = locale.toString(unsigned0(value, decimals), 'f', decimals);
    const QChar point = locale.decimalPoint();
    if (text.contains(point)) {
        while (text.endsWith(locale.zeroDigit()))
            text.chop(1);
        if (text.endsWith(point))
            text.chop(1);
    }
    return text;
}

// Rounded half away from zero before it is written, as sizes always were.
QString InterfaceLocale::fixed(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return shown().toString(unsigned0(std::round(value * scale) / scale, decimals), 'f', decimals);
}

QString InterfaceLocale::millimetres(double value, int decimals)
{
    return number(value, decimals) + QLatin1Char(' ') + millimetreUnit();
}

QString InterfaceLocale::millimetreUnit()
{
    return QCoreApplication::translate("NumberField", "mm");
}

QString InterfaceLocale::point(double x, double y)
{
    const QLocale locale = shown();
    const QChar separator = locale.decimalPoint() == QLatin1Char(',') ? QLatin1Char(';') : QLatin1Char(',');
    return QStringLiteral("(%1%2%3)").arg(locale.toString(x, 'g', 6), separator, locale.toString(y, 'g', 6));
}
