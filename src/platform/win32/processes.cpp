// EnumProcesses and GetModuleFileNameExA live in kernel32 as K32* from Windows 7 on; older systems have them
// only in psapi.dll. psapi.dll is not one of the DLLs Windows always takes from its system folder, so the
// installer does not import it (a psapi.dll planted beside the exe would run as administrator): the calls
// are resolved on first use, from kernel32 where it has them, else from System32's psapi.dll.
#include <windows.h>

#include "platform/win32/system_library.h"

#include "platform/processes.h"

namespace plat {
namespace {

using enum_fn = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
using module_name_fn = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);

struct process_api {
  bool loaded;
  enum_fn enum_processes;
  module_name_fn module_file_name;
};

process_api api;

FARPROC find(HMODULE module, const char* name) { return module ? GetProcAddress(module, name) : nullptr; }

// Resolved once; a loaded psapi.dll stays loaded for the life of the process.
const process_api& resolve() {
  if (api.loaded) return api;
  api.loaded = true;
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  FARPROC enum_proc = find(kernel, "K32EnumProcesses");
  FARPROC name_proc = find(kernel, "K32GetModuleFileNameExA");
  if (!enum_proc || !name_proc) {
    HMODULE psapi = win32::load_system_library(L"psapi.dll");
    enum_proc = find(psapi, "EnumProcesses");
    name_proc = find(psapi, "GetModuleFileNameExA");
  }
  api.enum_processes = reinterpret_cast<enum_fn>(reinterpret_cast<void*>(enum_proc));
  api.module_file_name = reinterpret_cast<module_name_fn>(reinterpret_cast<void*>(name_proc));
  return api;
}

}  // namespace

bool enum_processes(uint32_t* ids, uint32_t size, uint32_t* bytes_returned) {
  const process_api& p = resolve();
  if (!p.enum_processes) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return false;
  }
  static_assert(sizeof(DWORD) == sizeof(uint32_t));
  DWORD returned = 0;
  BOOL ok = p.enum_processes(reinterpret_cast<DWORD*>(ids), size, &returned);
  *bytes_returned = returned;
  return ok != 0;
}

handle open_process(uint32_t access, bool inherit_handle, uint32_t process_id) {
  return OpenProcess(access, inherit_handle, process_id);
}

uint32_t get_module_file_name_ex(handle process, char* buffer, uint32_t size) {
  const process_api& p = resolve();
  if (!p.module_file_name) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return 0;
  }
  return p.module_file_name(process, nullptr, buffer, size);
}

bool terminate_process(handle process, uint32_t exit_code) { return TerminateProcess(process, exit_code) != 0; }

}  // namespace plat
