#include <windows.h>

#include "platform/types.h"

namespace plat {

uint32_t get_last_error() { return GetLastError(); }

}  // namespace plat
