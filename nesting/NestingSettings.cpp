#include "NestingSettings.h"

#include "CGlobalConfig.h"

#include <QSettings>

using Vantor::Placement::PlacementSettings;

PlacementSettings NestingSettings::load()
{
    QSettings settings;
    PlacementSettings result;
    result.rollWidth
        = settings.value(QStringLiteral("autoplace/width"), g_config.getSetting(QStringLiteral("Cutoff")).toDouble())
              .toDouble();
    result.spacing = settings.value(QStringLiteral("autoplace/spacing"), result.spacing).toDouble();
    result.rotations = settings.value(QStringLiteral("autoplace/rotations"), result.rotations).toInt();
    return result;
}

void NestingSettings::save(const PlacementSettings& placement)
{
    QSettings settings;
    settings.setValue(QStringLiteral("autoplace/width"), placement.rollWidth);
    settings.setValue(QStringLiteral("autoplace/spacing"), placement.spacing);
    settings.setValue(QStringLiteral("autoplace/rotations"), placement.rotations);
}
