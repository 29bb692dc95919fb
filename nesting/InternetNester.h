#pragma once

#include "CommandParameter.h"
#include "PieceInfo.h"
#include "PlacementAutomatic.h"
#include "PlacementInfo.h"
#include "PlacementSettings.h"

#include <QVector>

// The nesting server's commands for jobs, and readers of their replies.
// Each reader returns false with the message for the user when the reply
// is a failure or lacks what it should hold.
class InternetNester
{
public:
    struct JobState
    {
        QString job;
        // "running", "finished" or "failed".
        QString state;
        int placed = 0;
        int pieces = 0;
        double length = 0;
        QString error;
        Vantor::Placement::PlacementRefusal refusal;
    };

    static CommandParameter submitCommand(const QString& name, const QVector<Vantor::Placement::PieceInfo>& pieces,
        const Vantor::Placement::PlacementSettings& settings);
    static CommandParameter jobCommand(const QString& command, const QString& job);
    static CommandParameter listCommand();

    static bool readJobId(const QString& reply, QString& job, QString& message);
    static bool readState(const QString& reply, JobState& state, QString& message);
    static bool readPlacements(
        const QString& reply, QVector<Vantor::Placement::PlacementInfo>& placements, double& length, QString& message);
    // The number of the account's jobs that are running.
    static bool readRunningCount(const QString& reply, int& count, QString& message);

private:
    static bool readObject(const QString& reply, QJsonObject& object, QString& message);
};
