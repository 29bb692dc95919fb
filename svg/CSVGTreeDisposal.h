#pragma once

#include <functional>

// Frees the element trees of documents that are gone on a thread of its
// own: closing a large drawing does not wait while a hundred thousand
// elements are deleted one by one. A tree handed over no longer knows its
// document and reaches nothing that another thread uses; its elements are
// not QObjects that receive events, so deleting them elsewhere is safe.
//
// Everything handed over is deleted before the application object goes,
// and before the program ends without one.
class CSVGTreeDisposal
{
public:
    // Runs the deletion on the disposal thread, after those handed over
    // before it.
    static void dispose(std::function<void()> deletion);
    // Returns once every deletion handed over so far has run.
    static void waitUntilIdle();
};
