// The simulated Windows loads no DLLs: there is no search order to restrict.
#include "platform/startup.h"

namespace plat {

void restrict_dll_search() {}

}  // namespace plat
