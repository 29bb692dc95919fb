#pragma once

#include "SvgPolylineReader.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// What the converter is told on its command line, one "--name=value" each.
// Lengths are millimetres, resolutions plotter units per inch, the rotation
// degrees.
struct HpglOptions
{
    double resolutionX = 1016;
    double resolutionY = 1016;
    double rotation = 0;
    bool mirrorX = false;
    bool mirrorY = false;
    double overcut = 0;
    double toolOffset = 0;
    bool precut = false;
    double flat = 1.2;
    bool autoAlign = false;
};

// The converter proper: the polylines of a section to HPGL pen moves, at the
// resolution given. Closed outlines are cut on past their start by the
// overcut. Rotation, mirroring and alignment are accepted but change nothing
// here: they belong to the whole job, and the program places the job before
// it cuts it into sections, so that each section stays in its place. The
// tool offset, the precut and the flatness change nothing either: the input
// is flattened already and the knife is not compensated.
class HpglConverter
{
public:
    // Reads the options and the one file name. False with the error set for
    // an unknown option, a value that is not a number or out of range, or a
    // missing file name.
    static bool parseArguments(const QStringList& arguments, HpglOptions* options, QString* file, QString* error);
    // "PU x,y;PD x,y,...;" per polyline. False when a coordinate does not
    // fit the plotter's range.
    static bool convert(
        const std::vector<SvgPolyline>& polylines, const HpglOptions& options, QByteArray* hpgl, QString* error);
    // The polyline cut on past its start for the length, along its own
    // course; at most once round.
    static QPolygonF withOvercut(const SvgPolyline& polyline, double length);

private:
    static bool setOption(const QString& name, const QString& value, HpglOptions* options);
};
