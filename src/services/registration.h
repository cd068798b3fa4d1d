// Registering the server as an automatically starting service of the local system account.
#pragma once

#include "core/context.h"

// Creates the service for the payload file unless discovery recorded any service bound to it (then only a
// warning: an existing registration is never replaced). The new service is recorded as running so that the
// last stage starts it. arguments may be null. False when the service cannot be created.
bool register_service(install_context* ctx, const char* file_name, const char* service_name,
                      const char* display_name, const char* description, const char* arguments);
