#pragma once

#include <cstddef>

// The painting library gives up without a word when memory runs out inside
// it. Before outlines are asked of it, this makes sure that the memory is
// there, with room to spare for the library's own small needs, and throws
// std::bad_alloc where it is not, for the reader to catch and say.
class MemoryHeadroom
{
public:
    // A large request is checked at once; small ones add up, and are
    // checked each time they reach a megabyte.
    static void check(std::size_t bytes);
};
