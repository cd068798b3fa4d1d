// Time: the millisecond tick counter, sleeping, and the calendar time in UTC.
#pragma once

#include "platform/types.h"

namespace plat {

// SYSTEMTIME, field for field.
struct system_time {
  uint16_t year;
  uint16_t month;
  uint16_t day_of_week;
  uint16_t day;
  uint16_t hour;
  uint16_t minute;
  uint16_t second;
  uint16_t milliseconds;
};

// GetTickCount: milliseconds since start-up, wrapping at 2^32.
uint32_t get_tick_count();

// Sleep.
void sleep(uint32_t milliseconds);

// GetSystemTime: the current time in UTC.
void get_system_time(system_time* now);

}  // namespace plat
