#pragma once

#include <QRubberBand>

// The rectangle that a selecting drag spans on the canvas.
class SelectRubberBand : public QRubberBand
{
    Q_OBJECT
public:
    explicit SelectRubberBand(QWidget* parent);
};
