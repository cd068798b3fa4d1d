#include <windows.h>

#include <cstdio>

#include "platform/console.h"

namespace plat {

handle get_std_output_handle() { return GetStdHandle(STD_OUTPUT_HANDLE); }

bool get_console_text_attribute(handle console, uint16_t* attributes) {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(console, &info)) return false;
  *attributes = info.wAttributes;
  return true;
}

bool set_console_text_attribute(handle console, uint16_t attributes) {
  return SetConsoleTextAttribute(console, attributes) != 0;
}

void stdout_write(const char* text, size_t length) { fwrite(text, 1, length, stdout); }

void stdout_flush() { fflush(stdout); }

}  // namespace plat
