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
    // Whether the web API runs on this machine (localhost, 127.x.x.x, ::1),
    // as the stand-in does: it is reachable without a network.
    static bool isApiOnLoopback();
    // Host that serves design packages and previews, ending in "/". The web
    // API chooses one of three regions (0, 1, 2); ZOCUT_DESIGN_HOST,
    // ZOCUT_DESIGN_HOST_2, ZOCUT_DESIGN_HOST_3. Empty for any other region.
    static QString designHost(int region = 0);
    // Host of the images that the web API names by a relative path, ending
    // in "/"; ZOCUT_IMAGE_HOST.
    static QString imageHost();
    // Upload endpoints 1 to 3 of the cloud object store;
    // ZOCUT_UPLOAD_ENDPOINT_1 to ZOCUT_UPLOAD_ENDPOINT_3. Empty for any other number.
    static QString uploadEndpoint(int number);
    // Public download address of the object store, ending in "/"; an object
    // is fetched at this address followed by its key; ZOCUT_STORE_DOWNLOAD.
    static QString storeDownloadBase();
    // Nesting server host name (port 9099 is part of the settings); ZOCUT_NESTING_HOST.
    static QString nestingHost();
    // Account name of the nesting server; ZOCUT_NESTING_USER.
    static QString nestingAccountName();
    // Background-removal server address (port 9101 is part of the settings);
    // ZOCUT_IMAGE_SERVER_HOST.
    static QString imageServerHost();

private:
    static QString value(const char* environmentName, const char* builtIn);
    static QString folder(const char* environmentName, const char* builtIn);
};
