// The guard that discovery and process termination share before they look for anything bound to a payload.
#pragma once

#include "core/context.h"

enum class payload_file_check {
  skip,           // not an executable, or not installed yet: nothing can run it
  present,        // the path is built and something exists there
  path_too_long,  // "internal error" has been printed; the stage fails
};

// Builds the payload's path (max_path bytes) below the destination and tells whether to look further.
payload_file_check check_payload_file(const install_context* ctx, const char* file_name, char* path);
