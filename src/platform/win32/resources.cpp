#include <windows.h>

#include "platform/resources.h"

namespace plat {

handle get_module_handle() { return GetModuleHandleW(nullptr); }

handle find_resource(handle module, uint16_t id, uint16_t type) {
  return FindResourceW(static_cast<HMODULE>(module), MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(type));
}

handle load_resource(handle module, handle resource) {
  return LoadResource(static_cast<HMODULE>(module), static_cast<HRSRC>(resource));
}

uint32_t sizeof_resource(handle module, handle resource) {
  return SizeofResource(static_cast<HMODULE>(module), static_cast<HRSRC>(resource));
}

const void* lock_resource(handle data) { return LockResource(data); }

}  // namespace plat
