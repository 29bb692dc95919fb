#pragma once

#include <QString>
#include <QtGlobal>

// The program's Qt message handler: every message of the process becomes one
// line appended to a log file named after the current date, in the
// per-user application data folder. Installed by the application object.
void logMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message);

// The file that a message raised now would go to.
QString currentLogFilePath();

// The line that the handler writes for a message, without its line end.
QString formatLogLine(QtMsgType type, const QMessageLogContext& context, const QString& message);
