#pragma once

#include "PieceInfo.h"
#include "PlacementInfo.h"
#include "PlacementSettings.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QVector>

// How a nesting job and its placements travel as JSON: pieces as their
// outer rings (flat lists x, y, x, y, ...), settings as "width", "spacing"
// and "rotations", placements as "id", "angle", "x" and "y". The readers
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

private:
    static bool ringFromJson(const QJsonValue& json, int& pointBudget, QPolygonF& out);
};
