#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

// Tells a driven run of the program where a person would point: the screen
// rectangle of a toolbar button or of the canvas, as "x y width height"
// (empty when there is none on show), and what the open drawing holds now.
// Only the page driver publishes it.
class WidgetLocator : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The shown tool button of the action with that text, as shown or as
    // the English text that the interface language translates.
    Q_INVOKABLE QString buttonRect(const QString& actionText) const;
    // The drawing area of the canvas on show.
    Q_INVOKABLE QString canvasRect() const;
    // Every shown tool button of an action: its action's name (the text it
    // was made with, whatever the language), text, rectangle and whether it
    // is enabled; for one that a narrow toolbar hides, no rectangle but that
    // of the button that unfolds the toolbar ("via"), and once unfolded, its
    // entry in the menu that shows what the toolbar hid.
    Q_INVOKABLE QVariantList toolButtons() const;
    // The main window's tabs in order: text, rectangle and the rectangle of
    // the close button (empty for none); both empty for a tab scrolled out of
    // sight.
    Q_INVOKABLE QVariantList tabs() const;
    // The arrows that scroll the tabs, left and right (empty when there is
    // no such arrow to press).
    Q_INVOKABLE QVariantList tabScrollButtons() const;
    // The first shown widget with this object name, or else the first shown
    // button with this text: its rectangle and whether it is enabled; an
    // empty map for none.
    Q_INVOKABLE QVariantMap widget(const QString& name) const;
    // The current tab's drawing as "pieces P selected S first F scale Z text
    // H idle I": its top-level pieces, the selected ones, the place of the
    // first of them (-1 for none), the canvas scale, a checksum of its SVG
    // text and 1 while no mouse button is held; empty without a tab.
    Q_INVOKABLE QString documentState() const;
};
