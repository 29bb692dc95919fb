#include "MemoryHeadroom.h"

#include <atomic>
#include <memory>

namespace {

constexpr std::size_t kMargin = std::size_t(16) << 20;
constexpr std::size_t kStep = std::size_t(1) << 20;

std::atomic<std::size_t> g_unchecked { 0 };

} // namespace

void MemoryHeadroom::check(std::size_t bytes)
{
    if (bytes < kStep && g_unchecked.fetch_add(bytes) + bytes < kStep)
        return;
    g_unchecked = 0;
    std::unique_ptr<char[]> block(new char[bytes + kMargin]);
    // Written, so that the allocation is not left out.
    static_cast<volatile char*>(block.get())[0] = 0;
}
