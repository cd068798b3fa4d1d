#include "platform/fake/machine.h"
#include "platform/types.h"

namespace plat {

uint32_t get_last_error() { return fake::machine().last_error; }

}  // namespace plat
