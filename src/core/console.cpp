#include "core/console.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "platform/console.h"

namespace {

// Formats into a stack buffer when the text fits (every message but a few with long paths), else into a
// heap block, and writes it through the stdout stream, flushed so it is on screen before the caller goes on.
void write_formatted(const char* format, va_list args) {
  char small[512];
  va_list copy;
  va_copy(copy, args);
  int length = vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (length < 0) return;
  if (static_cast<size_t>(length) < sizeof small) {
    plat::stdout_write(small, static_cast<size_t>(length));
  } else {
    char* large = static_cast<char*>(malloc(static_cast<size_t>(length) + 1));
    if (!large) return;
    vsnprintf(large, static_cast<size_t>(length) + 1, format, args);
    plat::stdout_write(large, static_cast<size_t>(length));
    free(large);
  }
  plat::stdout_flush();
}

// The colour is set for the one call and the console's own attributes put back afterwards. When they
// cannot be read (no console: output redirected), the text goes out uncoloured and nothing is changed, so
// the console is never left in a colour the user did not have.
void write_coloured(uint16_t attributes, const char* format, va_list args) {
  plat::handle out = plat::get_std_output_handle();
  uint16_t saved = 0;
  bool have_console = plat::get_console_text_attribute(out, &saved);
  if (have_console) plat::set_console_text_attribute(out, attributes);
  write_formatted(format, args);
  if (have_console) plat::set_console_text_attribute(out, saved);
}

}  // namespace

void print_info(const char* format, ...) {
  va_list args;
  va_start(args, format);
  write_formatted(format, args);
  va_end(args);
}

void print_warning(const char* format, ...) {
  va_list args;
  va_start(args, format);
  write_coloured(console_warning_attributes, format, args);
  va_end(args);
}

void print_error(const char* format, ...) {
  va_list args;
  va_start(args, format);
  write_coloured(console_error_attributes, format, args);
  va_end(args);
}
