#pragma once

#include <stdexcept>
#include <string>

namespace HelmSystem {

// Thrown for a call that the service layer cannot make at all, such as a
// request on a service that is not connected; failures of the network or
// the server come back in band instead.
class AssertionError : public std::logic_error
{
public:
    explicit AssertionError(const std::string& what)
        : std::logic_error(what)
    {
    }
};

} // namespace HelmSystem
