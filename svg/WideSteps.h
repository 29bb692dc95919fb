#pragma once

#include <cstddef>
#include <cstring>
#include <iterator>
#include <numeric>

// Passes over long text that the compiler makes into wide steps: eight
// characters a step with a count or a flag for each of the eight, and no
// branch a character. A large file's text goes through them once or twice.
namespace WideSteps {

// How many characters from begin to end pass test, which gives 0 or 1.
template <typename Char, typename Test> std::size_t count(const Char* begin, const Char* end, Test test)
{
    std::size_t counts[8] = {};
    for (; end - begin >= 8; begin += 8) {
        for (int k = 0; k < 8; ++k)
            counts[k] += test(begin[k]);
    }
    for (; begin < end; ++begin)
        counts[0] += test(*begin);
    return std::accumulate(std::begin(counts), std::end(counts), std::size_t(0));
}

// Copies the characters from begin to end to out, each cast to To; true
// when test, which gives 0 or 1, flagged any of them.
template <typename To, typename Char, typename Test>
bool copyFlagging(const Char* begin, const Char* end, To* out, Test test)
{
    unsigned int flags[8] = {};
    for (; end - begin >= 8; begin += 8, out += 8) {
        // Copied through a block of its own: a store to text of bytes could
        // change the text read, as far as the compiler knows.
        To block[8];
        for (int k = 0; k < 8; ++k) {
            flags[k] |= test(begin[k]);
            block[k] = static_cast<To>(begin[k]);
        }
        std::memcpy(out, block, sizeof(block));
    }
    for (; begin < end; ++begin, ++out) {
        flags[0] |= test(*begin);
        *out = static_cast<To>(*begin);
    }
    return std::accumulate(std::begin(flags), std::end(flags), 0u, [](unsigned int a, unsigned int b) { return a | b; })
        != 0;
}

} // namespace WideSteps
