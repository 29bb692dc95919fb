#pragma once

#include <QByteArray>
#include <QPolygonF>
#include <QString>
#include <QTransform>

#include <vector>

class QXmlStreamReader;

struct SvgPolyline
{
    QPolygonF points;
    bool closed = false;
};

// Reads the cut lines of a section file: polyline, polygon and line
// elements, each mapped through the transforms of its element and its
// ancestors, in document order. Other drawable elements are refused, since
// a section file holds flattened polylines only.
class SvgPolylineReader
{
public:
    bool read(const QByteArray& svg);
    QString errorString() const { return m_error; }
    const std::vector<SvgPolyline>& polylines() const { return m_polylines; }

    static bool parseTransform(const QString& text, QTransform* transform);
    static bool parseNumbers(const QString& text, std::vector<double>* numbers);

private:
    bool startElement(const QXmlStreamReader& xml, const QTransform& transform);
    bool fail(const QString& error);

    std::vector<SvgPolyline> m_polylines;
    QString m_error;
};
