// File version information (the version resource stored in an executable or a DLL).
#pragma once

#include "platform/types.h"

namespace plat {

// VS_FIXEDFILEINFO, field for field.
struct fixed_file_info {
  uint32_t signature;
  uint32_t struc_version;
  uint32_t file_version_ms;
  uint32_t file_version_ls;
  uint32_t product_version_ms;
  uint32_t product_version_ls;
  uint32_t file_flags_mask;
  uint32_t file_flags;
  uint32_t file_os;
  uint32_t file_type;
  uint32_t file_subtype;
  uint32_t file_date_ms;
  uint32_t file_date_ls;
};

// GetFileVersionInfoSizeA: the size of the file's version information in bytes, 0 when it has none or on
// failure.
uint32_t get_file_version_info_size(const char* file, uint32_t* handle);

// GetFileVersionInfoA: fills the block of the size the size query gave.
bool get_file_version_info(const char* file, uint32_t handle, uint32_t size, void* block);

// VerQueryValueA: a pointer into the block for the sub-block named, and its length.
bool ver_query_value(const void* block, const char* sub_block, const void** value, uint32_t* length);

}  // namespace plat
