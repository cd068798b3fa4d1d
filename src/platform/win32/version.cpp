// version.dll is not one of the DLLs Windows always takes from its system folder, so the installer does not
// import it: a version.dll planted beside the exe would run as administrator before main. It is loaded
// here, on first use, from System32 only.
#include <windows.h>

#include "platform/win32/system_library.h"

#include "platform/version.h"

namespace plat {
namespace {

using size_fn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
using info_fn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
using query_fn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);

struct version_api {
  bool loaded;
  size_fn get_size;
  info_fn get_info;
  query_fn query;
};

version_api api;

// Resolved once; the module stays loaded for the life of the process.
const version_api& resolve() {
  if (api.loaded) return api;
  api.loaded = true;
  HMODULE module = win32::load_system_library(L"version.dll");
  if (!module) return api;
  api.get_size = reinterpret_cast<size_fn>(reinterpret_cast<void*>(GetProcAddress(module, "GetFileVersionInfoSizeA")));
  api.get_info = reinterpret_cast<info_fn>(reinterpret_cast<void*>(GetProcAddress(module, "GetFileVersionInfoA")));
  api.query = reinterpret_cast<query_fn>(reinterpret_cast<void*>(GetProcAddress(module, "VerQueryValueA")));
  return api;
}

}  // namespace

uint32_t get_file_version_info_size(const char* file, uint32_t* handle) {
  const version_api& v = resolve();
  if (!v.get_size) return 0;
  DWORD h = 0;
  DWORD size = v.get_size(file, &h);
  *handle = h;
  return size;
}

bool get_file_version_info(const char* file, uint32_t handle, uint32_t size, void* block) {
  const version_api& v = resolve();
  return v.get_info && v.get_info(file, handle, size, block);
}

bool ver_query_value(const void* block, const char* sub_block, const void** value, uint32_t* length) {
  static_assert(sizeof(VS_FIXEDFILEINFO) == sizeof(fixed_file_info));
  const version_api& v = resolve();
  LPVOID found = nullptr;
  UINT found_length = 0;
  if (!v.query || !v.query(block, sub_block, &found, &found_length)) return false;
  *value = found;
  *length = found_length;
  return true;
}

}  // namespace plat
