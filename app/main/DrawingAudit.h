#pragma once

#include <QObject>
#include <QString>

// Checks that a driven run makes of every open drawing once its input has
// stopped: what its canvas shows against what its document holds, and its
// undo history undone and redone in full. Each returns an empty text when all
// is well and otherwise says what is wrong, tab by tab.
class DrawingAudit : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Every item of every canvas shows an element that is in that canvas's
    // document tree.
    Q_INVOKABLE QString strayItems() const;
    // Every step of every document undone, then every one redone, ends with
    // the SVG text that it started from (at the top of its history: steps
    // that were undone are redone first).
    Q_INVOKABLE QString undoRedoRoundTrip() const;
};
