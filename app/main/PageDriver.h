#pragma once

#include <QString>

class QQuickView;

// Lets an automated run of the whole program drive it as a person would.
// Only when the environment variable ZOCUT_PAGE_DRIVER names a QML file:
// that file is created beside the pages (it sees what they see), and every
// modal question is written to the log and answered as closed instead of
// waiting for a person; the file also sees "widgets", which tells where the
// editor's buttons and canvas are on the screen. Without the variable
// nothing here does anything.
class PageDriver
{
public:
    static bool isEnabled();
    static void answerPromptsInLog();
    static void start(QQuickView& view);

private:
    static QString path();
};
