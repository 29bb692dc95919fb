#pragma once

// Mouse and key gestures on the canvas kept as data, with what they leave
// behind: the document tests replay them through the document's own
// operations, the canvas tests through QTest events on a shown view, and
// both expect the same drawing.
//
// Points are document (scene) coordinates. Modifiers are the keys held, as
// the canvas reads them; the canvas decides what the document is told (Shift
// extends in modes 0 and 28, Ctrl in the others). In mode 9 the canvas makes
// the path on the first press and finishes it when it closes or on Escape.
// The pick tolerance is the canvas's at a display scale of 1: 1 unit. Each
// script starts on a new document; the setup is read as a file the main
// window opens would be.

#include "CSVGDocument.h"
#include "SvgCodes.h"

#include <QPointF>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QVector>

struct GestureStep
{
    enum Kind {
        Mode, // value: the interaction mode chosen
        Press, // left button
        Move, // value 1: with the left button held
        Release, // left button
        Key, // value: the Qt::Key, with the modifiers
        Undo,
        Redo,
        Delete
    };
    Kind kind;
    QPointF point;
    int value = 0;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    // The cursor code the document returns for a press, move or release;
    // -1 when not checked.
    int cursor = -1;
};

struct GestureScript
{
    const char* name;
    // SVG text loaded first; empty for a new drawing.
    QString setup;
    QVector<GestureStep> steps;
    // The drawing afterwards: the root's children as written.
    QString drawing;
    // Undo steps the gestures added; undoing them all gives the setup's
    // drawing back, redoing them this one.
    int undoSteps;
    // Ids of the selection afterwards, in order.
    QString selection;
};

namespace gesture {

inline GestureStep mode(int value)
{
    return { GestureStep::Mode, {}, value };
}
inline GestureStep press(double x, double y, int cursor = -1, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    return { GestureStep::Press, { x, y }, 0, modifiers, cursor };
}
inline GestureStep drag(double x, double y, int cursor = -1, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    return { GestureStep::Move, { x, y }, 1, modifiers, cursor };
}
inline GestureStep hover(double x, double y, int cursor = -1, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    return { GestureStep::Move, { x, y }, 0, modifiers, cursor };
}
inline GestureStep release(double x, double y, int cursor = -1, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    return { GestureStep::Release, { x, y }, 0, modifiers, cursor };
}
inline GestureStep key(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    return { GestureStep::Key, {}, qtKey, modifiers };
}
inline GestureStep command(GestureStep::Kind kind)
{
    return { kind, {} };
}

// Made ids ("line_*") count on over the whole process: their number is
// left out.
inline QString withoutIdNumbers(QString text)
{
    return text.replace(QRegularExpression(QStringLiteral("\\b([A-Za-z]+)_[0-9]+\\b")), QStringLiteral("\\1_*"));
}

// The root's children as the writer gives them, one after the other.
inline QString drawingText(CSVGDocument& document)
{
    std::wstring out;
    CSVGElement* root = document.getOwnerSvg();
    for (int i = 0; root && i < root->getChildCount(); ++i)
        root->getChild(i)->writeSvg(out, 0, CSVGRect());
    return withoutIdNumbers(QString::fromStdWString(out).trimmed());
}

inline QString selectionIds(const CSVGDocument& document)
{
    QStringList ids;
    for (const CSVGElement* element : document.getSelection())
        ids << QString::fromStdWString(element->getId());
    return withoutIdNumbers(ids.join(QLatin1Char(' ')));
}

inline QString svg(const QString& content)
{
    return R"(<svg xmlns="http://www.w3.org/2000/svg" width="300mm" height="300mm" viewBox="0 0 300 300">)" + content
        + "</svg>";
}

} // namespace gesture

inline QVector<GestureScript> gestureScripts()
{
    using namespace gesture;
    const auto shift = Qt::ShiftModifier;
    const auto ctrl = Qt::ControlModifier;
    const auto alt = Qt::AltModifier;
    const QString square = svg(R"(<rect id="a" x="10" y="10" width="20" height="20"/>)");
    const GestureStep selectSquare[] = { press(15, 15), release(15, 15) };
    return {
        { "line", "",
            { mode(EditMode::Line), press(10, 10, CursorCode::Drawing), drag(40, 10), drag(40, 30),
                release(40, 30, CursorCode::Drawing), mode(EditMode::Select) },
            R"svg(<line stroke="#000000" stroke-opacity="1" stroke-width="1" x1="10" x2="40" y1="10" y2="30" id="line_*"/>)svg",
            1, "line_*" },
        { "line with Ctrl keeps to the horizontal", "",
            { mode(EditMode::Line), press(0, 0), drag(30, 5, -1, ctrl), release(30, 5), mode(EditMode::Select) },
            R"svg(<line stroke="#000000" stroke-opacity="1" stroke-width="1" x1="0" x2="30" y1="0" y2="0" id="line_*"/>)svg",
            1, "line_*" },
        { "rect with Ctrl dragged left is a square stored with positive sizes", "",
            { mode(EditMode::Rect), press(0, 0), drag(-30, 10, -1, ctrl), release(-30, 10), mode(EditMode::Select) },
            R"svg(<rect fill="#FFFFFF" fill-opacity="1.0" stroke="#000000" stroke-opacity="1" stroke-width="1" x="-30" y="-30" width="30" height="30" id="rect_*"/>)svg",
            1, "rect_*" },
        { "rect dragged left and up", "",
            { mode(EditMode::Rect), press(50, 40), drag(20, 10), release(20, 10), mode(EditMode::Rect),
                mode(EditMode::Select) },
            R"svg(<rect fill="#FFFFFF" fill-opacity="1.0" stroke="#000000" stroke-opacity="1" stroke-width="1" x="20" y="10" width="30" height="30" id="rect_*"/>)svg",
            1, "rect_*" },
        { "a click in rect mode leaves nothing", "",
            { mode(EditMode::Rect), press(5, 5), release(5, 5), press(50, 50), drag(51.5, 50.5), release(51.5, 50.5),
                mode(EditMode::Select) },
            R"svg(<rect fill="#FFFFFF" fill-opacity="1.0" stroke="#000000" stroke-opacity="1" stroke-width="1" x="50" y="50" width="1.500000" height="0.500000" id="rect_*"/>)svg",
            1, "rect_*" },
        { "circle", "",
            { mode(EditMode::Circle), press(20, 20), drag(23, 24), release(23, 24), mode(EditMode::Select) },
            R"svg(<circle fill="#FFFFFF" fill-opacity="1.0" stroke="#000000" stroke-opacity="1" stroke-width="1" cx="20" cy="20" r="5" id="circle_*"/>)svg",
            1, "circle_*" },
        { "ellipse", "",
            { mode(EditMode::Ellipse), press(0, 0), drag(20, 10), release(20, 10), mode(EditMode::Select) },
            R"svg(<ellipse fill="#FFFFFF" fill-opacity="1.0" stroke="#000000" stroke-opacity="1" stroke-width="1" rx="10" ry="5" cx="10" cy="5" id="ellipse_*"/>)svg",
            1, "ellipse_*" },
        { "polyline finished on its last click drops the trailing point", "",
            { mode(EditMode::Polyline), press(0, 0, CursorCode::Drawing), release(0, 0), hover(10, 0), press(10, 0),
                release(10, 0), hover(10, 10), press(10, 10), release(10, 10), mode(EditMode::Select) },
            R"svg(<polyline fill="#FFFFFF" fill-opacity="1.0" stroke="#000000" stroke-opacity="1" stroke-width="1" points="0 0 10 0 10 10" id="polyline_*"/>)svg",
            1, "polyline_*" },
        { "polyline keeps a trailing point 3 away", "",
            { mode(EditMode::Polyline), press(0, 0), release(0, 0), hover(10, 0), press(10, 0), release(10, 0),
                hover(13, 0), mode(EditMode::Select) },
            R"svg(<polyline fill="#FFFFFF" fill-opacity="1.0" stroke="#000000" stroke-opacity="1" stroke-width="1" points="0 0 10 0 13 0" id="polyline_*"/>)svg",
            1, "polyline_*" },
        { "polygon of two points is discarded", "",
            { mode(EditMode::Polygon), press(0, 0), release(0, 0), hover(10, 0), press(10, 0), release(10, 0),
                mode(EditMode::Select) },
            "", 0, "" },
        { "Alt makes the polygon regular", "",
            { mode(EditMode::Polygon), press(0, 0), release(0, 0), hover(10, 0), press(10, 0), release(10, 0),
                hover(5, 5, -1, alt), mode(EditMode::Select) },
            R"svg(<polygon fill="#FFFFFF" fill-opacity="1.0" stroke="#000000" stroke-opacity="1" stroke-width="1" points="0 0 10 0 5 8.660254" id="polygon_*"/>)svg",
            1, "polygon_*" },
        { "Alt on a repeated first point", "",
            { mode(EditMode::Polygon), press(0, 0), release(0, 0), press(0, 0, -1, alt), release(0, 0),
                mode(EditMode::Select) },
            "", 0, "" },
        { "path closed on its start", "",
            { mode(EditMode::Path), press(0, 0), release(0, 0), hover(20, 0), press(20, 0), release(20, 0),
                hover(20, 20), press(20, 20), release(20, 20), hover(1, 1, CursorCode::Drawing), press(0.6, 0.4),
                release(0.6, 0.4) },
            R"svg(<path fill="#FFFFFF" fill-opacity="1.0" stroke="#000000" stroke-opacity="1" stroke-width="1" d="M0.00 0.00 L20.00 0.00 L20.00 20.00 L0.00 0.00 Z" id="path_*"/>)svg",
            1, "path_*" },
        { "a smooth path keeps its last curve", "",
            { mode(EditMode::Path), press(0, 0), release(0, 0), hover(20, 0), press(20, 0), drag(30, 10),
                release(30, 10), hover(40, 20), press(40, 20), release(40, 20), key(Qt::Key_Escape) },
            R"svg(<path fill="#FFFFFF" fill-opacity="1.0" stroke="#000000" stroke-opacity="1" stroke-width="1" d="M0.00 0.00 C0.00 0.00 10.00 -10.00 20.00 0.00 C30.00 10.00 40.00 20.00 40.00 20.00" id="path_*"/>)svg",
            1, "" },
        { "a path ending on the open ends of two lines is joined with them",
            svg(R"(<line id="a" x1="0" y1="0" x2="0" y2="20" stroke="black"/>)"
                R"(<line id="b" x1="40" y1="0" x2="40" y2="20" stroke="black"/>)"),
            { mode(EditMode::Path), press(0, 20.5), release(0, 20.5), hover(20, 40), press(20, 40), release(20, 40),
                hover(40, 20.5, CursorCode::OverNode), press(40, 20.5), release(40, 20.5) },
            R"svg(<path fill="#FFFFFF" fill-opacity="1.0" stroke="black" stroke-opacity="1" stroke-width="1" d="M40.00 0.00 L40.00 20.00 L20.00 40.00 L0.00 20.00 L0.00 0.00 L40.00 0.00 Z" id="path_*"/>)svg",
            2, "" },
        { "a click picks the smaller of two overlapping pieces",
            svg(R"(<rect id="big" x="0" y="0" width="100" height="100"/>)"
                R"(<rect id="small" x="10" y="10" width="20" height="20"/>)"),
            { press(15, 15, CursorCode::Default), release(15, 15) },
            R"svg(<rect x="0" y="0" width="100" height="100" id="big"/>)svg"
            "\n"
            R"svg(<rect x="10" y="10" width="20" height="20" id="small"/>)svg",
            0, "small" },
        { "a 0.5 piece at negative fractional coordinates",
            svg(R"(<path id="a" d="M-3.3 -2.2 L-2.8 -2.2 L-2.8 -1.7 L-3.3 -1.7 Z"/>)"),
            { hover(-3.1, -1.9, CursorCode::OverSelection), press(-3.1, -1.9), release(-3.1, -1.9) },
            R"svg(<path d="M-3.3 -2.2 L-2.8 -2.2 L-2.8 -1.7 L-3.3 -1.7 Z" id="a"/>)svg", 0, "a" },
        { "a drag past the dead zone is one step", square,
            { press(15, 15), drag(18, 18, CursorCode::OverSelection), drag(25, 15, CursorCode::OverSelection),
                drag(35, 15), release(35, 15) },
            R"svg(<rect x="10" y="10" width="20" height="20" id="a" transform="matrix(1,0,0,1,20,0)"/>)svg", 1, "a" },
        { "Delete takes the clicked piece out of its group",
            svg(R"(<g id="g"><rect id="a" x="0" y="0" width="10" height="10"/>)"
                R"(<rect id="b" x="20" y="0" width="10" height="10"/></g>)"),
            { press(5, 5), release(5, 5), command(GestureStep::Delete) },
            R"svg(<g id="g"> <rect x="20" y="0" width="10" height="10" id="b"/>)svg"
            "\n"
            R"svg(</g>)svg",
            1, "g" },
        { "an extend click on a selected piece deselects it", square,
            { selectSquare[0], selectSquare[1], press(15, 15, CursorCode::OverSelection, shift),
                release(15, 15, -1, ctrl) },
            R"svg(<rect x="10" y="10" width="20" height="20" id="a"/>)svg", 0, "" },
        { "the band takes what it crosses, not what surrounds it",
            svg(R"(<polyline id="frame" points="0 0 200 0 200 200 0 200 0 0" fill-opacity="0"/>)"
                R"(<rect id="a" x="50" y="50" width="10" height="10"/>)"),
            { press(40, 40), drag(55, 55), release(55, 55) },
            R"svg(<polyline fill-opacity="0" points="0 0 200 0 200 200 0 200 0 0" id="frame"/>)svg"
            "\n"
            R"svg(<rect x="50" y="50" width="10" height="10" id="a"/>)svg",
            0, "a" },
        { "arrow keys nudge the selection, a step each", square,
            { selectSquare[0], selectSquare[1], key(Qt::Key_Right), key(Qt::Key_Down) },
            R"svg(<rect x="10" y="10" width="20" height="20" id="a" transform="matrix(1,0,0,1,1,1)"/>)svg", 2, "a" },
        { "a mode change over an existing short line",
            svg(R"(<line id="a" x1="0" y1="0" x2="1" y2="1" stroke="black"/>)"),
            { press(0.5, 0.5), drag(10.5, 0.5), release(10.5, 0.5), mode(EditMode::Line), mode(EditMode::Select) },
            R"svg(<line stroke="black" x1="0" x2="1" y1="0" y2="1" id="a" transform="matrix(1,0,0,1,10,0)"/>)svg", 1,
            "a" },
        { "a handle dragged in mode 27", square,
            { selectSquare[0], selectSquare[1], mode(EditMode::MovePoint), press(30, 30, CursorCode::OverNode),
                drag(50, 40, CursorCode::SizeFDiagonal), release(50, 40) },
            R"svg(<rect x="10" y="10" width="40" height="30" id="a"/>)svg", 1, "a" },
        { "a node drag on a scale(0) piece",
            svg(R"svg(<rect id="a" x="10" y="10" width="20" height="20" transform="scale(0)"/>)svg"),
            { key(Qt::Key_A, ctrl), mode(EditMode::MovePoint), press(0, 0, CursorCode::OverNode), drag(10, 10),
                release(10, 10) },
            R"svg(<rect x="10" y="10" width="20" height="20" id="a" transform="scale(0)"/>)svg", 0, "a" },
        { "nothing moves while a tear line exists",
            svg(R"(<rect id="a" x="10" y="10" width="20" height="20"/>)"
                R"(<path id="t" d="M0 100 L100 100" tear_line="true"/>)"),
            { selectSquare[0], selectSquare[1], press(15, 15), drag(40, 15, CursorCode::OverSelection), release(40, 15),
                key(Qt::Key_Right) },
            R"svg(<rect x="10" y="10" width="20" height="20" id="a"/>)svg"
            "\n"
            R"svg(<path d="M0 100 L100 100" id="t" tear_line="true"/>)svg",
            0, "a" },
        { "a band in mode 28 selects the pieces with nodes in it",
            svg(R"(<polyline id="a" points="0 0 10 0 10 10"/><polyline id="b" points="50 0 60 0"/>)"),
            { mode(EditMode::DeleteFeature), press(8, -2), drag(12, 2), release(12, 2) },
            R"svg(<polyline points="0 0 10 0 10 10" id="a"/>)svg"
            "\n"
            R"svg(<polyline points="50 0 60 0" id="b"/>)svg",
            0, "a" },
        { "zoom in by a click", square,
            { mode(EditMode::ZoomIn), press(10, 20, CursorCode::ZoomIn), release(10, 20, CursorCode::ZoomIn) },
            R"svg(<rect x="10" y="10" width="20" height="20" id="a"/>)svg", 0, "" },
        { "a selection survives a mode change", square,
            { selectSquare[0], selectSquare[1], mode(EditMode::Rect), mode(EditMode::Select) },
            R"svg(<rect x="10" y="10" width="20" height="20" id="a"/>)svg", 0, "a" },
    };
}
