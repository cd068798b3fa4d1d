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

namespace plat {

handle create_file(const char* path, uint32_t access, uint32_t share_mode, uint32_t disposition,
                   uint32_t flags_and_attributes) {
  return CreateFileA(path, access, share_mode, nullptr, disposition, flags_and_attributes, nullptr);
}

bool write_file(handle file, const void* data, uint32_t length, uint32_t* written) {
  DWORD count = 0;
  BOOL ok = WriteFile(file, data, length, &count, nullptr);
  *written = count;
  return ok != 0;
}

bool close_handle(handle object) { return CloseHandle(object) != 0; }

bool get_file_information_by_handle(handle file, file_identity* identity) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file, &info)) return false;
  *identity = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
  return true;
}

}  // namespace plat
