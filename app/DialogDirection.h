#pragma once

#include <QObject>

// Lays every dialog out in the writing direction of the interface language
// (right to left for Arabic), as the pages show their texts, while the main
// window keeps its toolbars and canvas as they are. Installed on the
// application, it sets the direction when a dialog is shown and again when
// the language changes under an open one.
class DialogDirection : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The direction of the interface language, which the application object
    // makes the default locale.
    static Qt::LayoutDirection current();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
