// Processes: listing, the path of their executable, termination. Their handles are closed with
// close_handle (files.h).
#pragma once

#include "platform/types.h"

namespace plat {

constexpr uint32_t process_terminate = 0x0001;
constexpr uint32_t process_query_information = 0x0400;
constexpr uint32_t process_vm_read = 0x0010;

// EnumProcesses: as many identifiers as fit into size bytes, and the number of bytes filled.
bool enum_processes(uint32_t* ids, uint32_t size, uint32_t* bytes_returned);

// OpenProcess: a handle, or null.
handle open_process(uint32_t access, bool inherit_handle, uint32_t process_id);

// GetModuleFileNameExA for the main executable (no module): the length of the path stored, 0 on failure.
uint32_t get_module_file_name_ex(handle process, char* buffer, uint32_t size);

// TerminateProcess: asks for the end and does not wait for it.
bool terminate_process(handle process, uint32_t exit_code);

}  // namespace plat
