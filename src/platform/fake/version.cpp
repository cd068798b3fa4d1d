// Version information of the simulated files: a block that holds a marker and the fixed file information.
#include <cstring>

#include "platform/fake/machine.h"
#include "platform/version.h"

namespace plat {
namespace {

constexpr uint32_t block_marker = 0x56455253;  // "VERS"
constexpr uint32_t block_size = 4 + sizeof(fixed_file_info);

}  // namespace

uint32_t get_file_version_info_size(const char* file, uint32_t* handle) {
  *handle = 0;
  if (!fake::machine().versions.count(fake::lower(file))) return fake::fail(0u, 1813);  // ERROR_RESOURCE_TYPE_NOT_FOUND
  return block_size;
}

bool get_file_version_info(const char* file, uint32_t, uint32_t size, void* block) {
  fake::machine_state& m = fake::machine();
  auto it = m.versions.find(fake::lower(file));
  if (it == m.versions.end() || m.version_failure == fake::version_fault::info) return fake::fail(false, 1813);
  if (size < block_size) return fake::fail(false, error_insufficient_buffer);
  memcpy(block, &block_marker, 4);
  memcpy(static_cast<char*>(block) + 4, &it->second, sizeof(fixed_file_info));
  return true;
}

bool ver_query_value(const void* block, const char* sub_block, const void** value, uint32_t* length) {
  uint32_t marker;
  memcpy(&marker, block, 4);
  if (fake::machine().version_failure == fake::version_fault::query || marker != block_marker ||
      strcmp(sub_block, "\\") != 0)
    return false;
  *value = static_cast<const char*>(block) + 4;
  *length = sizeof(fixed_file_info);
  return true;
}

}  // namespace plat
