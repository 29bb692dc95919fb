#include "SelectRubberBand.h"

SelectRubberBand::SelectRubberBand(QWidget* parent)
    : QRubberBand(QRubberBand::Rectangle, parent)
{
}
