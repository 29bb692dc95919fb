#include "NestingJobFormat.h"

#include <algorithm>
#include <cmath>

using namespace Vantor::Placement;

namespace {
bool finiteNumber(const QJsonValue& value)
{
    return value.isDouble() && std::isfinite(value.toDouble());
}
} // namespace

QJsonObject NestingJobFormat::settingsToJson(const PlacementSettings& settings)
{
    return { { QStringLiteral("width"), settings.rollWidth }, { QStringLiteral("spacing"), settings.spacing },
        { QStringLiteral("rotations"), settings.rotations } };
}

bool NestingJobFormat::settingsFromJson(const QJsonObject& json, PlacementSettings& out)
{
    const QJsonValue width = json.value(QStringLiteral("width"));
    const QJsonValue spacing = json.value(QStringLiteral("spacing"));
    const QJsonValue rotations = json.value(QStringLiteral("rotations"));
    if (!finiteNumber(width) || !finiteNumber(spacing) || !finiteNumber(rotations)
        || std::abs(rotations.toDouble()) > PlacementSettings::kMaximumRotations)
        return false;
    out.rollWidth = width.toDouble();
    out.spacing = spacing.toDouble();
    out.rotations = rotations.toInt();
    return true;
}

QJsonArray NestingJobFormat::piecesToJson(const QVector<PieceInfo>& pieces)
{
    QJsonArray result;
    for (const PieceInfo& piece : pieces) {
        QJsonArray parts;
        for (const PlacementPolygon& ring : piece.shape.parts) {
            QJsonArray numbers;
            for (const QPointF& p : ring) {
                numbers.append(p.x());
                numbers.append(p.y());
            }
            parts.append(numbers);
        }
        result.append(QJsonObject { { QStringLiteral("id"), piece.id }, { QStringLiteral("parts"), parts } });
    }
    return result;
}

bool NestingJobFormat::piecesFromJson(const QJsonArray& json, QVector<PieceInfo>& out)
{
    if (json.size() > kMaximumPieces)
        return false;
    int pointBudget = kMaximumPoints;
    QVector<PieceInfo> pieces;
    for (const QJsonValue& value : json) {
        const QJsonValue id = value.toObject().value(QStringLiteral("id"));
        const QJsonValue parts = value.toObject().value(QStringLiteral("parts"));
        if (!id.isString() || !parts.isArray())
            return false;
        PieceInfo piece { id.toString(), {} };
        for (const QJsonValue& part : parts.toArray()) {
            QPolygonF ring;
            if (!ringFromJson(part, pointBudget, ring))
                return false;
            piece.shape.parts.append(ring);
        }
        pieces.append(piece);
    }
    out = pieces;
    return true;
}

bool NestingJobFormat::ringFromJson(const QJsonValue& json, int& pointBudget, QPolygonF& out)
{
    const QJsonArray numbers = json.toArray();
    pointBudget -= numbers.size() / 2;
    if (!json.isArray() || numbers.size() % 2 != 0 || pointBudget < 0)
        return false;
    for (int i = 0; i < numbers.size(); i += 2) {
        if (!finiteNumber(numbers[i]) || !finiteNumber(numbers[i + 1]))
            return false;
        out.append(QPointF(numbers[i].toDouble(), numbers[i + 1].toDouble()));
    }
    return true;
}

QJsonArray NestingJobFormat::placementsToJson(const QVector<PlacementInfo>& placements)
{
    QJsonArray result;
    for (const PlacementInfo& placement : placements)
        result.append(
            QJsonObject { { QStringLiteral("id"), placement.id }, { QStringLiteral("angle"), placement.angle },
                { QStringLiteral("x"), placement.offset.x() }, { QStringLiteral("y"), placement.offset.y() } });
    return result;
}

bool NestingJobFormat::placementsFromJson(const QJsonArray& json, QVector<PlacementInfo>& out)
{
    if (json.size() > kMaximumPieces)
        return false;
    QVector<PlacementInfo> placements;
    for (const QJsonValue& value : json) {
        const QJsonObject object = value.toObject();
        const QJsonValue id = object.value(QStringLiteral("id"));
        const QJsonValue angle = object.value(QStringLiteral("angle"));
        const QJsonValue x = object.value(QStringLiteral("x"));
        const QJsonValue y = object.value(QStringLiteral("y"));
        if (!id.isString() || !finiteNumber(angle) || !finiteNumber(x) || !finiteNumber(y))
            return false;
        placements.append({ id.toString(), angle.toDouble(), QPointF(x.toDouble(), y.toDouble()) });
    }
    out = placements;
    return true;
}

namespace {
const char* const kWider = "wider";
const char* const kEmptyOutline = "outline";
} // namespace

QJsonObject NestingJobFormat::refusalToJson(const PlacementRefusal& refusal)
{
    const QRectF& box = refusal.piece;
    const bool wider = refusal.kind == PlacementRefusal::Kind::WiderThanRoll;
    return { { QStringLiteral("kind"), QLatin1String(wider ? kWider : kEmptyOutline) },
        { QStringLiteral("piece"), QJsonArray { box.left(), box.top(), box.width(), box.height() } } };
}

PlacementRefusal NestingJobFormat::refusalFromJson(const QJsonValue& json)
{
    const QString kind = json.toObject().value(QStringLiteral("kind")).toString();
    const QJsonArray box = json.toObject().value(QStringLiteral("piece")).toArray();
    PlacementRefusal refusal;
    if (box.size() != 4
        || !std::all_of(box.begin(), box.end(), [](const QJsonValue& value) { return value.isDouble(); }))
        return refusal;
    refusal.piece = QRectF(box[0].toDouble(), box[1].toDouble(), box[2].toDouble(), box[3].toDouble());
    if (kind == QLatin1String(kWider))
        refusal.kind = PlacementRefusal::Kind::WiderThanRoll;
    else if (kind == QLatin1String(kEmptyOutline))
        refusal.kind = PlacementRefusal::Kind::EmptyOutline;
    return refusal;
}
