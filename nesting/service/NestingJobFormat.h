#pragma once

#include "PieceInfo.h"
#include "PlacementAutomatic.h"
#include "PlacementInfo.h"
#include "PlacementSettings.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QVector>

// How a nesting job and its placements travel as JSON: pieces as their
// outer rings (flat lists x, y, x, y, ...), settings as "width", "spacing"
// and "rotations", placements as "id", "angle", "x" and "y", a piece that
// stops the job as "kind" and "piece" (left, top, width, height). The readers
// check every field and the sizes, since the other side may be anything.
class NestingJobFormat
{
public:
    static constexpr int kMaximumPieces = 5000;
    static constexpr int kMaximumPoints = 500000;

    static QJsonObject settingsToJson(const Vantor::Placement::PlacementSettings& settings);
    static bool settingsFromJson(const QJsonObject& json, Vantor::Placement::PlacementSettings& out);
    static QJsonArray piecesToJson(const QVector<Vantor::Placement::PieceInfo>& pieces);
    static bool piecesFromJson(const QJsonArray& json, QVector<Vantor::Placement::PieceInfo>& out);
    static QJsonArray placementsToJson(const QVector<Vantor::Placement::PlacementInfo>& placements);
    static bool placementsFromJson(const QJsonArray& json, QVector<Vantor::Placement::PlacementInfo>& out);
    static QJsonObject refusalToJson(const Vantor::Placement::PlacementRefusal& refusal);
    // A refusal of no known kind, or with a box that is no box, reads as
    // none: the server's own text is shown then.
    static Vantor::Placement::PlacementRefusal refusalFromJson(const QJsonValue& json);

private:
    static bool ringFromJson(const QJsonValue& json, int& pointBudget, QPolygonF& out);
};
