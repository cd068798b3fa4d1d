// Environment, folders and files.
#pragma once

#include "platform/types.h"

namespace plat {

// GetEnvironmentVariableA: the number of characters stored without the terminator; the size needed,
// terminator included, when the buffer is too small; 0 on failure (or for an empty value), with the
// reason in the last error.
uint32_t get_environment_variable(const char* name, char* buffer, uint32_t size);

// CreateDirectoryA with no security attributes: creates the last component of the path only.
bool create_directory(const char* path);

// PathFileExistsA: whether a file or a folder of that name exists.
bool path_file_exists(const char* path);

}  // namespace plat
