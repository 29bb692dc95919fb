#pragma once

#include "CSVGMatrix.h"

#include <QList>
#include <QObject>
#include <QPointF>
#include <QPointer>

#include <map>
#include <utility>

class CSVGDocument;
class CSVGElement;

// Turns a set of elements together about one centre while the user drags.
// Every step rewrites each element's "transform" from its state at the start
// of the gesture, so steps do not pile up rounding. Lives for one gesture.
class CSVGRotation : public QObject
{
    Q_OBJECT
public:
    explicit CSVGRotation(CSVGDocument* document);

    // Records the accumulated matrices of the drawable elements of the list
    // and the centre, in canvas coordinates.
    void begin(const QList<CSVGElement*>& elements, const QPointF& centre);
    // Turns by angle degrees more; the total since begin counts.
    void rotate(double angle);
    // Makes the view refresh.
    void refreshDocument();

private:
    CSVGDocument* m_document;
    QPointF m_centre;
    double m_angle = 0;
    // An element deleted during the gesture is passed over.
    std::map<CSVGElement*, std::pair<QPointer<CSVGElement>, CSVGMatrix>> m_startMatrices;
};
