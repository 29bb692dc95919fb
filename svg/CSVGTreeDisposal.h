#pragma once

#include <functional>
#include <vector>

class CSVGElement;

// Frees the element trees of documents that are gone. Elements are QObjects
// with connections and guarded pointers, so they die on their own thread,
// never on another one while that thread may still reach them. On the
// application's thread a tree goes in short slices between events, so that
// closing a drawing of a hundred thousand elements keeps the window
// answering; on any other thread, and without an application, at once.
//
// Whatever is pending is deleted before the application object goes.
class CSVGTreeDisposal
{
public:
    // Takes the elements with their subtrees. None has a parent, and none
    // knows a document any more: nothing they meet as they die is gone.
    static void dispose(std::vector<CSVGElement*> elements);
    // Data that goes with such a tree and holds no QObject, freed after it.
    static void dispose(std::function<void()> deletion);
    // Deletes at once whatever this thread still has pending.
    static void flush();
    // Nothing is waiting on this thread.
    static bool isIdle();
};
