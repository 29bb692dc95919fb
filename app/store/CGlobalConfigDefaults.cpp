// The built-in default settings and car-part position colours of the store.

#include "CGlobalConfig.h"
#include "Deployment.h"

#include <QCoreApplication>
#include <QJsonArray>

namespace {

struct PositionEntry
{
    const char* name;
    const char* color;
};

const char* const kFront = "rgb(253, 174, 172)";
const char* const kLeft = "rgb(128, 204, 221)";
const char* const kRight = "rgb(218, 200, 235)";
const char* const kRoof = "rgb(255, 212, 188)";
const char* const kRear = "rgb(164,207,249)";

// Ids 1000 upwards, in this order.
const PositionEntry kBodyParts[] = {
    { QT_TRANSLATE_NOOP("QObject", "Front lip"), kFront },
    { QT_TRANSLATE_NOOP("QObject", "Front bumper"), kFront },
    { QT_TRANSLATE_NOOP("QObject", "Front center net"), kFront },
    { QT_TRANSLATE_NOOP("QObject", "Font Hood"), kFront },
    { QT_TRANSLATE_NOOP("QObject", "Reverse mirror"), kFront },
    { QT_TRANSLATE_NOOP("QObject", "Lights"), kFront },
    { QT_TRANSLATE_NOOP("QObject", "Left door handle"), kLeft },
    { QT_TRANSLATE_NOOP("QObject", "Left Front Fender"), kLeft },
    { QT_TRANSLATE_NOOP("QObject", "Left front eyebrow"), kLeft },
    { QT_TRANSLATE_NOOP("QObject", "Left Front Door"), kLeft },
    { QT_TRANSLATE_NOOP("QObject", "Left rear eyebrow"), kLeft },
    { QT_TRANSLATE_NOOP("QObject", "Left Rear Door"), kLeft },
    { QT_TRANSLATE_NOOP("QObject", "Left ABC column"), kLeft },
    { QT_TRANSLATE_NOOP("QObject", "Left fuel tank cap"), kLeft },
    { QT_TRANSLATE_NOOP("QObject", "Left Rear Fender"), kLeft },
    { QT_TRANSLATE_NOOP("QObject", "Left upper beam"), kLeft },
    { QT_TRANSLATE_NOOP("QObject", "Left Skirt"), kLeft },
    { QT_TRANSLATE_NOOP("QObject", "Left Bright Strips"), kLeft },
    { QT_TRANSLATE_NOOP("QObject", "Right door handle"), kRight },
    { QT_TRANSLATE_NOOP("QObject", "Right Front Fender"), kRight },
    { QT_TRANSLATE_NOOP("QObject", "Right front eyebrow"), kRight },
    { QT_TRANSLATE_NOOP("QObject", "Right Front Door"), kRight },
    { QT_TRANSLATE_NOOP("QObject", "Right rear eyebrow"), kRight },
    { QT_TRANSLATE_NOOP("QObject", "Right Rear Door"), kRight },
    { QT_TRANSLATE_NOOP("QObject", "Right ABC column"), kRight },
    { QT_TRANSLATE_NOOP("QObject", "Right fuel tank cap"), kRight },
    { QT_TRANSLATE_NOOP("QObject", "Right Rear Fender"), kRight },
    { QT_TRANSLATE_NOOP("QObject", "Right upper beam"), kRight },
    { QT_TRANSLATE_NOOP("QObject", "Right Skirt"), kRight },
    { QT_TRANSLATE_NOOP("QObject", "Right Bright Strips"), kRight },
    { QT_TRANSLATE_NOOP("QObject", "Roof"), kRoof },
    { QT_TRANSLATE_NOOP("QObject", "Roof Kit"), kRoof },
    { QT_TRANSLATE_NOOP("QObject", "Rear Wing"), kRoof },
    { QT_TRANSLATE_NOOP("QObject", "Above Rear Hood"), kRear },
    { QT_TRANSLATE_NOOP("QObject", "Under Rear Hood"), kRear },
    { QT_TRANSLATE_NOOP("QObject", "Tail lamp"), kRear },
    { QT_TRANSLATE_NOOP("QObject", "Rear Bumper"), kRear },
    { QT_TRANSLATE_NOOP("QObject", "Rear Lip"), kRear },
    { "", "rgb(128,128,128)" },
};

// Ids 2000 upwards, in this order.
const PositionEntry kWindows[] = {
    { QT_TRANSLATE_NOOP("QObject", "Front window"), kFront },
    { QT_TRANSLATE_NOOP("QObject", "L-front window"), kLeft },
    { QT_TRANSLATE_NOOP("QObject", "L-rear window"), kLeft },
    { QT_TRANSLATE_NOOP("QObject", "L-front triangular window"), kLeft },
    { QT_TRANSLATE_NOOP("QObject", "L-rear triangular window"), kLeft },
    { QT_TRANSLATE_NOOP("QObject", "R-front window"), kRight },
    { QT_TRANSLATE_NOOP("QObject", "R-rear window"), kRight },
    { QT_TRANSLATE_NOOP("QObject", "R-front triangular window"), kRight },
    { QT_TRANSLATE_NOOP("QObject", "R-rear triangular window"), kRight },
    { QT_TRANSLATE_NOOP("QObject", "Roof window"), kRoof },
    { QT_TRANSLATE_NOOP("QObject", "Rear window"), kRear },
};

template <size_t N> void insertPositions(QJsonObject& target, const PositionEntry (&entries)[N], int firstId)
{
    for (size_t i = 0; i < N; ++i) {
        const PositionEntry& entry = entries[i];
        // The empty name stays empty: translating "" would return the
        // translation file's header.
        const QString name = *entry.name ? QCoreApplication::translate("QObject", entry.name) : QString();
        QJsonObject position;
        position.insert(QStringLiteral("name"), name);
        position.insert(QStringLiteral("color"), QString::fromLatin1(entry.color));
        target.insert(QString::number(firstId + static_cast<int>(i)), position);
    }
}

} // namespace

void CGlobalConfig::initDefaultSettings()
{
    QJsonObject& d = m_defaultSettings;
    d["PlotResolutionX"] = 1016;
    d["PlotResolutionY"] = 1016;
    d["PlotPenNum"] = 1;
    d["PlotForce"] = 0;
    d["PlotSpeed"] = 0;
    d["toolOffset"] = 0;
    d["PlotRotation"] = 0;
    d["PlotMirrorX"] = false;
    d["PlotMirrorY"] = false;
    d["PlotOvercut"] = 2.5;
    d["PlotCorrection"] = -1.2;
    d["PlotPrecut"] = false;
    d["PlotFlat"] = 1.2;
    d["PlotAutoAlign"] = false;
    d["BezierFlatteningThreshold"] = 0.05;
    d["ZoomLimit"] = 5;
    d["PlotEnd"] = 1;
    d["PlotOverlap"] = 0;
    d["NestingMaxJob"] = 1;
    d["NestingServer"] = Deployment::nestingHost() + QStringLiteral(":9099");
    d["NestingAccount"] = Deployment::nestingAccountName() + QStringLiteral(":482915");
    d["NestingMinArea"] = 0.01;
    d["NestingInterval"] = 1;
    d["AutoSaveInterval"] = 60;
    d["LineWidth"] = 2;
    d["TextWidth"] = 8;
    d["LeftToolBarWidth"] = 125;
    d["ImageServer"] = Deployment::imageServerHost() + QStringLiteral(":9101");
    d["Cutoff"] = 1520;
    d["CutInterval"] = 20;
    d["Separation"] = 5;
    d["ExtraPlotter"] = QString();
    d["AntialiasingThreshold"] = 0.03;
    d["CanvasWidth"] = 15000;
    d["CanvasHeight"] = 2000;
    d["SavePlt"] = false;
    d["RedBackground"] = QJsonArray { 80 };
    d["FillColor"] = QJsonArray { 80, 4, 119, 117, 156 };
    d["ImportEnableUser"] = QJsonArray { 3, 4 };
}

QJsonObject CGlobalConfig::buildPositionColors() const
{
    QJsonObject colors;
    insertPositions(colors, kBodyParts, 1000);
    insertPositions(colors, kWindows, 2000);
    return colors;
}
