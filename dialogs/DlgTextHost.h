#pragma once

#include <QPointF>
#include <QString>

class QTextCharFormat;

// What the text dialog needs of the canvas that opened it. The canvas lives
// above the dialogs, so it implements this rather than the dialog knowing it.
class DlgTextHost
{
public:
    virtual ~DlgTextHost() = default;

    // While set, the next press on the canvas picks the text's position and
    // hands it to the dialog.
    virtual void setPickPosition(bool pick) = 0;
    // Adds the text at the document point.
    virtual void insertTextElement(const QString& text, const QTextCharFormat& format, const QPointF& point) = 0;
};
