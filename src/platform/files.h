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

namespace plat {

// CreateFileA's arguments that the installer uses.
constexpr uint32_t generic_read = 0x80000000;
constexpr uint32_t generic_write = 0x40000000;
constexpr uint32_t file_share_read = 0x00000001;
constexpr uint32_t create_always = 2;
constexpr uint32_t open_existing = 3;
constexpr uint32_t file_attribute_normal = 0x00000080;

// INVALID_HANDLE_VALUE, what CreateFileA returns on failure.
inline handle const invalid_handle_value = reinterpret_cast<handle>(~uintptr_t{0});

// CreateFileA with no security attributes and no template.
handle create_file(const char* path, uint32_t access, uint32_t share_mode, uint32_t disposition,
                   uint32_t flags_and_attributes);

// WriteFile without an overlapped structure.
bool write_file(handle file, const void* data, uint32_t length, uint32_t* written);

// CloseHandle: files and processes.
bool close_handle(handle object);

// The fields of BY_HANDLE_FILE_INFORMATION that identify a file: its volume and its index on the volume.
struct file_identity {
  uint32_t volume_serial_number;
  uint32_t file_index_high;
  uint32_t file_index_low;
};

// GetFileInformationByHandle, reduced to the identity.
bool get_file_information_by_handle(handle file, file_identity* identity);

}  // namespace plat
