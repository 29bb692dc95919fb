#include "HpglConverter.h"

#include <QLineF>

#include <cmath>
#include <limits>

namespace {
const double kMillimetresPerInch = 25.4;
const double kLargestResolution = 100000;
const double kLargestOvercut = 1000;
// HPGL coordinates are signed 32-bit integers on every plotter we know.
const double kLargestCoordinate = 1073741823;

bool readNumber(const QString& text, double low, double high, double* value)
{
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (!ok || !std::isfinite(number) || number < low || number > high)
        return false;
    *value = number;
    return true;
}

bool readBool(const QString& text, bool* value)
{
    if (text == QLatin1String("true") || text == QLatin1String("1"))
        *value = true;
    else if (text == QLatin1String("false") || text == QLatin1String("0"))
        *value = false;
    else
        return false;
    return true;
}

} // namespace

bool HpglConverter::setOption(const QString& name, const QString& value, HpglOptions* o)
{
    const double huge = std::numeric_limits<double>::max();
    if (name == QLatin1String("resolutionX"))
        return readNumber(value, 1, kLargestResolution, &o->resolutionX);
    if (name == QLatin1String("resolutionY"))
        return readNumber(value, 1, kLargestResolution, &o->resolutionY);
    if (name == QLatin1String("rotation"))
        return readNumber(value, -huge, huge, &o->rotation);
    if (name == QLatin1String("overcut"))
        return readNumber(value, 0, kLargestOvercut, &o->overcut);
    if (name == QLatin1String("toolOffset"))
        return readNumber(value, 0, kLargestOvercut, &o->toolOffset);
    if (name == QLatin1String("flat"))
        return readNumber(value, 0, huge, &o->flat);
    if (name == QLatin1String("mirrorX"))
        return readBool(value, &o->mirrorX);
    if (name == QLatin1String("mirrorY"))
        return readBool(value, &o->mirrorY);
    if (name == QLatin1String("precut"))
        return readBool(value, &o->precut);
    if (name == QLatin1String("autoAlign"))
        return readBool(value, &o->autoAlign);
    return false;
}

bool HpglConverter::parseArguments(const QStringList& arguments, HpglOptions* options, QString* file, QString* error)
{
    file->clear();
    for (const QString& argument : arguments) {
        if (!argument.startsWith(QLatin1String("--"))) {
            *file = argument;
            continue;
        }
        const int equals = argument.indexOf(QLatin1Char('='));
        const QString name = argument.mid(2, equals < 0 ? -1 : equals - 2);
        if (equals < 0 || !setOption(name, argument.mid(equals + 1), options)) {
            *error = QStringLiteral("unknown option or value out of range: %1").arg(argument);
            return false;
        }
    }
    if (file->isEmpty()) {
        *error = QStringLiteral("no input file");
        return false;
    }
    return true;
}

QPolygonF HpglConverter::withOvercut(const SvgPolyline& polyline, double length)
{
    QPolygonF points = polyline.points;
    const bool closed = polyline.closed || points.first() == points.last();
    if (!closed || length <= 0)
        return points;
    if (points.first() != points.last())
        points.append(points.first());
    double left = length;
    const int round = points.size();
    for (int i = 1; i < round && left > 0; ++i) {
        const QLineF segment(points.at(i - 1), points.at(i));
        const double step = segment.length();
        points.append(step > left ? segment.pointAt(left / step) : segment.p2());
        left -= step;
    }
    return points;
}

bool HpglConverter::convert(
    const std::vector<SvgPolyline>& polylines, const HpglOptions& options, QByteArray* hpgl, QString* error)
{
    std::vector<QPolygonF> lines;
    lines.reserve(polylines.size());
    for (const SvgPolyline& polyline : polylines)
        lines.push_back(withOvercut(polyline, options.overcut));
    const QTransform toPlotter
        = QTransform::fromScale(options.resolutionX / kMillimetresPerInch, options.resolutionY / kMillimetresPerInch);
    hpgl->clear();
    for (const QPolygonF& line : lines) {
        QByteArray moves;
        qint64 lastX = 0;
        qint64 lastY = 0;
        for (int i = 0; i < line.size(); ++i) {
            const QPointF p = toPlotter.map(line.at(i));
            if (!(std::abs(p.x()) <= kLargestCoordinate && std::abs(p.y()) <= kLargestCoordinate)) {
                *error = QStringLiteral("coordinate out of the plotter's range");
                return false;
            }
            const qint64 x = std::llround(p.x());
            const qint64 y = std::llround(p.y());
            if (i > 0 && x == lastX && y == lastY)
                continue;
            moves += (i == 0                       ? "PU"
                             : moves.endsWith(';') ? "PD"
                                                   : ",")
                + QByteArray::number(x) + ',' + QByteArray::number(y) + (i == 0 ? ";" : "");
            lastX = x;
            lastY = y;
        }
        // A line that collapses to one plotter step still gets its cut.
        if (moves.endsWith(';'))
            moves += "PD" + QByteArray::number(lastX) + ',' + QByteArray::number(lastY);
        *hpgl += moves + ';';
    }
    return true;
}
