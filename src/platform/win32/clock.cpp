#include <windows.h>

#include "platform/clock.h"

namespace plat {

uint32_t get_tick_count() { return GetTickCount(); }

void sleep(uint32_t milliseconds) { Sleep(milliseconds); }

void get_system_time(system_time* now) {
  static_assert(sizeof(SYSTEMTIME) == sizeof(system_time));
  SYSTEMTIME st;
  GetSystemTime(&st);
  *now = {st.wYear, st.wMonth, st.wDayOfWeek, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

}  // namespace plat
