// Loading DLLs that Windows does not always take from its own folder (psapi.dll, version.dll): only from
// System32, so that a DLL of the same name planted beside the installer never runs as administrator.
#pragma once

#include <windows.h>

namespace plat::win32 {

HMODULE load_system_library(const wchar_t* name);

}  // namespace plat::win32
