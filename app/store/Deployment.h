#pragma once

#include <QString>

// Where the online services live. Each value has a build-time default (CMake
// cache variables, pointing at the local stand-in server) and can be
// overridden at run time through an environment variable, which is how tests
// point the program at a stand-in listening on an ephemeral port. Nothing
// else in the program spells an address.
class Deployment
{
public:
    // Web API base address, ending in "/"; ZOCUT_API_BASE.
    static QString apiBase();
    // Host that serves design packages and previews; ZOCUT_DESIGN_HOST.
    static QString designHost();
    // Nesting server host name (port 9099 is part of the settings); ZOCUT_NESTING_HOST.
    static QString nestingHost();
    // Account name of the nesting server; ZOCUT_NESTING_USER.
    static QString nestingAccountName();
    // Background-removal server address (port 9101 is part of the settings);
    // ZOCUT_IMAGE_SERVER_HOST.
    static QString imageServerHost();

private:
    static QString value(const char* environmentName, const char* builtIn);
};
