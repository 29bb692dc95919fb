#pragma once

#include <functional>

namespace Vantor {
namespace Placement {

// Runs body(i) for every i below count on the global thread pool, the
// calling thread taking part, and returns once all calls are done; the
// first exception a call throws is thrown again here, and the calls not yet
// begun are then skipped.
//
// Every hand-over between the caller and the pool's threads also passes
// through a lock of our own. Qt is not built with ThreadSanitizer, so it
// sees none of the pool's or QtConcurrent's locks and would take each
// hand-over for a race; with ours in sight it checks the calls themselves.
class PlacementParallel
{
public:
    static void forEach(int count, const std::function<void(int)>& body);
};

} // namespace Placement
} // namespace Vantor
