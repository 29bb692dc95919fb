#include "SvgPolylineReader.h"

#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>

#include <cmath>
#include <stack>

namespace {
// Content that is never drawn by itself.
const QSet<QString> kSkipped = { QStringLiteral("defs"), QStringLiteral("clipPath"), QStringLiteral("mask"),
    QStringLiteral("symbol"), QStringLiteral("pattern"), QStringLiteral("marker"), QStringLiteral("metadata"),
    QStringLiteral("title"), QStringLiteral("desc"), QStringLiteral("style"), QStringLiteral("script") };
const QSet<QString> kRefused = { QStringLiteral("path"), QStringLiteral("rect"), QStringLiteral("circle"),
    QStringLiteral("ellipse"), QStringLiteral("text"), QStringLiteral("image"), QStringLiteral("use") };

QTransform oneTransform(const QString& name, const std::vector<double>& v, bool* ok)
{
    const size_t n = v.size();
    *ok = true;
    if (name == QLatin1String("matrix") && n == 6)
        return QTransform(v[0], v[1], v[2], v[3], v[4], v[5]);
    if (name == QLatin1String("translate") && (n == 1 || n == 2))
        return QTransform::fromTranslate(v[0], n == 2 ? v[1] : 0.0);
    if (name == QLatin1String("scale") && (n == 1 || n == 2))
        return QTransform::fromScale(v[0], n == 2 ? v[1] : v[0]);
    if (name == QLatin1String("rotate") && (n == 1 || n == 3)) {
        const double cx = n == 3 ? v[1] : 0.0;
        const double cy = n == 3 ? v[2] : 0.0;
        return QTransform().translate(cx, cy).rotate(v[0]).translate(-cx, -cy);
    }
    *ok = false;
    return QTransform();
}
} // namespace

bool SvgPolylineReader::parseNumbers(const QString& text, std::vector<double>* numbers)
{
    static const QRegularExpression separators(QStringLiteral("[\\s,]+"));
    for (const QString& token : text.split(separators, Qt::SkipEmptyParts)) {
        bool ok = false;
        const double value = token.toDouble(&ok);
        if (!ok || !std::isfinite(value))
            return false;
        numbers->push_back(value);
    }
    return true;
}

bool SvgPolylineReader::parseTransform(const QString& text, QTransform* transform)
{
    static const QRegularExpression item(QStringLiteral("\\s*([a-zA-Z]+)\\s*\\(([^)]*)\\)\\s*,?"));
    QTransform result;
    int at = 0;
    while (at < text.size()) {
        const QRegularExpressionMatch match
            = item.match(text, at, QRegularExpression::NormalMatch, QRegularExpression::AnchoredMatchOption);
        if (!match.hasMatch()) {
            if (!text.mid(at).trimmed().isEmpty())
                return false;
            break;
        }
        std::vector<double> values;
        bool ok = parseNumbers(match.captured(2), &values);
        // Later items of the list apply first.
        const QTransform current = oneTransform(match.captured(1), values, &ok);
        if (!ok)
            return false;
        result = current * result;
        at = match.capturedEnd();
    }
    *transform = result;
    return true;
}

bool SvgPolylineReader::fail(const QString& error)
{
    m_error = error;
    return false;
}

bool SvgPolylineReader::startElement(const QXmlStreamReader& xml, const QTransform& transform)
{
    const QString name = xml.name().toString();
    if (kRefused.contains(name))
        return fail(QStringLiteral("element <%1> is not a polyline; sections hold polylines only").arg(name));
    std::vector<double> numbers;
    SvgPolyline line;
    if (name == QLatin1String("line")) {
        for (const char* attribute : { "x1", "y1", "x2", "y2" }) {
            const QStringRef value = xml.attributes().value(QLatin1String(attribute));
            if (!parseNumbers(value.isEmpty() ? QStringLiteral("0") : value.toString(), &numbers))
                return fail(QStringLiteral("bad coordinate in <line>"));
        }
    } else if (name == QLatin1String("polyline") || name == QLatin1String("polygon")) {
        if (!parseNumbers(xml.attributes().value(QLatin1String("points")).toString(), &numbers))
            return fail(QStringLiteral("bad number in the points of <%1>").arg(name));
        line.closed = name == QLatin1String("polygon");
    } else {
        return true;
    }
    // An odd number of coordinates leaves the last one out, as SVG does.
    for (size_t i = 0; i + 1 < numbers.size(); i += 2)
        line.points.append(transform.map(QPointF(numbers[i], numbers[i + 1])));
    if (line.points.size() > 1)
        m_polylines.push_back(line);
    return true;
}

bool SvgPolylineReader::read(const QByteArray& svg)
{
    m_polylines.clear();
    QXmlStreamReader xml(svg);
    std::stack<QTransform> transforms;
    transforms.push(QTransform());
    bool seenRoot = false;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            transforms.pop();
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (!seenRoot) {
            if (xml.name() != QLatin1String("svg"))
                return fail(QStringLiteral("not an SVG file"));
            seenRoot = true;
        }
        if (kSkipped.contains(xml.name().toString())) {
            xml.skipCurrentElement();
            continue;
        }
        QTransform own;
        if (!parseTransform(xml.attributes().value(QLatin1String("transform")).toString(), &own))
            return fail(QStringLiteral("bad transform in <%1>").arg(xml.name().toString()));
        transforms.push(own * transforms.top());
        if (!startElement(xml, transforms.top()))
            return false;
    }
    if (xml.hasError())
        return fail(QStringLiteral("not an SVG file: %1 at line %2").arg(xml.errorString()).arg(xml.lineNumber()));
    return seenRoot || fail(QStringLiteral("not an SVG file"));
}
