// Types shared by every platform area. The platform layer is Windows-shaped: each operation stands for one
// Windows call, takes what that call takes and answers as it answers (a result, with the reason of a failure
// in the calling thread's last error). Stages call nothing of the operating system but these operations.
#pragma once

#include <cstddef>
#include <cstdint>

namespace plat {

// A HANDLE, SC_HANDLE or module handle on Windows; a numbered object of the simulated Windows on the host.
using handle = void*;

// MAX_PATH: every 8-bit path buffer of the installer has this many bytes, terminator included.
constexpr size_t max_path = 260;

// Windows error codes the stages tell apart.
constexpr uint32_t error_success = 0;
constexpr uint32_t error_file_not_found = 2;
constexpr uint32_t error_path_not_found = 3;
constexpr uint32_t error_access_denied = 5;
constexpr uint32_t error_invalid_handle = 6;
constexpr uint32_t error_write_fault = 29;
constexpr uint32_t error_sharing_violation = 32;
constexpr uint32_t error_disk_full = 112;
constexpr uint32_t error_insufficient_buffer = 122;
constexpr uint32_t error_already_exists = 183;
constexpr uint32_t error_envvar_not_found = 203;

// GetLastError: the calling thread's last error code.
uint32_t get_last_error();

}  // namespace plat
