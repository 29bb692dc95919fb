#include "DriverHook.h"

void DriverHook::beforeFirstPrompt() { }

void DriverHook::pagesLoaded(QQuickView&) { }
