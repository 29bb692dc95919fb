#pragma once

#include <QString>

// What differs between the systems the program runs on.
class Platform
{
public:
    // The program needs Windows 10 or later; every other system it is built
    // for is supported as it is.
    static bool isSupportedSystem();
    // Shows the file's folder: Explorer with the file selected on Windows,
    // the desktop's file manager elsewhere. A failed start is not reported.
    static void showInFolder(const QString& path);
    // The Explorer command line for the file, its separators backslashes.
    static QString explorerCommand(QString path);
};
