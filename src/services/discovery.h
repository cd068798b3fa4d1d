// Finding the services whose executable is a payload file, by file identity rather than by name.
#pragma once

#include <cstdint>

#include "core/context.h"

// Records in ctx->services every service bound to the payload file and prints them with their states. False
// only when the payload path does not fit; a service manager that fails is a warning.
bool discover_services(install_context* ctx, const char* file_name);

// Appends every service whose command line's first word opens the same file as payload_path. 0, or the
// Windows error code that ended the enumeration.
uint32_t enumerate_bound_services(const char* payload_path, const char* file_name, service_list* list);

// The word for a service state on the console.
const char* service_state_text(uint32_t state);
