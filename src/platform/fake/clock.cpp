// The virtual clock: Sleep advances the tick counter at once, so a test of a 30-second wait takes no time.
#include "platform/clock.h"
#include "platform/fake/machine.h"

namespace plat {

uint32_t get_tick_count() { return fake::machine().tick; }

void sleep(uint32_t milliseconds) {
  fake::machine_state& m = fake::machine();
  m.sleeps.push_back(milliseconds);
  m.tick += milliseconds;  // wraps at 2^32 as the real counter does
}

void get_system_time(system_time* now) { *now = fake::machine().time; }

}  // namespace plat
