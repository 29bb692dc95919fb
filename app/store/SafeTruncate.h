#pragma once

#include <cmath>

// Truncates toward zero into [low, high]. Casting a double that does not fit
// the target type is undefined; numbers read from files can be anything, so
// every such cast goes through here. NaN gives 0.
template <typename T> T truncateClamped(double value, T low, T high)
{
    if (std::isnan(value))
        return T(0);
    if (value <= static_cast<double>(low))
        return low;
    if (value >= static_cast<double>(high))
        return high;
    return static_cast<T>(value);
}
