// SetDefaultDllDirectories exists from Windows 8 on (and on 7 and Vista with KB2533623), so it is looked up
// in kernel32 rather than imported: an import would keep the exe from starting where it is missing.
#include <windows.h>

#include "platform/startup.h"

namespace plat {

void restrict_dll_search() {
  using set_directories_fn = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (!kernel) return;
  auto set_directories = reinterpret_cast<set_directories_fn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (set_directories) set_directories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace plat
