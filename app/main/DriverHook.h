#pragma once

class QQuickView;

// The two places in start-up where a test build of the program lets its
// driver in. The program built for users links hooks that do nothing: they
// read no setting and no environment, and change nothing.
namespace DriverHook {
// Before anything can ask the user a question.
void beforeFirstPrompt();
// Once the pages are loaded, before the window shows.
void pagesLoaded(QQuickView& view);
} // namespace DriverHook
