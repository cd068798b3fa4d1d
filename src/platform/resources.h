// Resources of the program's own module: the payload streams are stored there.
#pragma once

#include "platform/types.h"

namespace plat {

// Codes FindResourceW leaves when the module holds no resource of that type, or none of that name.
constexpr uint32_t error_resource_type_not_found = 1813;
constexpr uint32_t error_resource_name_not_found = 1814;
// ERROR_FILE_CORRUPT.
constexpr uint32_t error_file_corrupt = 1392;
// ERROR_NOT_ENOUGH_MEMORY.
constexpr uint32_t error_not_enough_memory = 8;

// GetModuleHandleW(NULL): the module of the running program.
handle get_module_handle();

// FindResourceW with MAKEINTRESOURCEW(id) as the name and MAKEINTRESOURCEW(type) as the type. Null when
// there is none, with the reason in the last error. Resource handles need no closing.
handle find_resource(handle module, uint16_t id, uint16_t type);

// LoadResource: the resource's data handle, or null with the reason in the last error.
handle load_resource(handle module, handle resource);

// SizeofResource: the resource's length in bytes.
uint32_t sizeof_resource(handle module, handle resource);

// LockResource: a read-only pointer to the resource's bytes, valid while the program runs.
const void* lock_resource(handle data);

}  // namespace plat
