#pragma once

// What differs between the systems the program runs on.
class Platform
{
public:
    // The program needs Windows 10 or later; every other system it is built
    // for is supported as it is.
    static bool isSupportedSystem();
};
