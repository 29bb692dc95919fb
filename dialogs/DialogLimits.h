#pragma once

#include <QLocale>
#include <QString>

#include <cmath>

// Bounds of the sizes the editing dialogs hand out, in millimetres: a size
// from a file or a setting never reaches the document unbounded.
namespace DialogLimits {
// 100 m: longer than any roll of film.
constexpr double kMaxLength = 100000.0;
constexpr double kMinExpand = 0.01;
constexpr double kMaxExpand = 1000.0;

// A number typed into a field: written locale-free, or as the user's locale
// writes it; false for anything else, infinities included.
inline bool readNumber(const QString& field, double* value)
{
    const QString text = field.trimmed();
    bool ok = false;
    *value = QLocale::c().toDouble(text, &ok);
    if (!ok)
        *value = QLocale().toDouble(text, &ok);
    return ok && std::isfinite(*value);
}
} // namespace DialogLimits
