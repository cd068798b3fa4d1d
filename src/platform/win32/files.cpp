#include <windows.h>
#include <shlwapi.h>

#include "platform/files.h"

namespace plat {

uint32_t get_environment_variable(const char* name, char* buffer, uint32_t size) {
  // An empty value also returns 0 and leaves the last error as it was: start from 0 so that the caller can
  // tell "empty" from "absent".
  SetLastError(ERROR_SUCCESS);
  return GetEnvironmentVariableA(name, buffer, size);
}

bool create_directory(const char* path) { return CreateDirectoryA(path, nullptr) != 0; }

bool path_file_exists(const char* path) { return PathFileExistsA(path) != 0; }

}  // namespace plat
