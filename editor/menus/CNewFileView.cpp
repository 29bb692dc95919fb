#include "CNewFileView.h"

CNewFileView::CNewFileView(QWidget* parent)
    : QWidget(parent)
{
}
