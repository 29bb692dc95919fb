#pragma once

#include <QObject>
#include <QString>

// Tells a driven run of the program where a person would point: the screen
// rectangle of a toolbar button or of the canvas, as "x y width height"
// (empty when there is none on show). Only the page driver publishes it.
class WidgetLocator : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The shown tool button of the action with that text.
    Q_INVOKABLE QString buttonRect(const QString& actionText) const;
    // The drawing area of the canvas on show.
    Q_INVOKABLE QString canvasRect() const;
};
