#include "core/path.h"

#include <cstring>

#include "core/console.h"

bool path_append_n(char* buffer, const char* text, size_t length, size_t capacity) {
  size_t used = strlen(buffer);
  if (used + length + 1 > capacity) return false;
  memcpy(buffer + used, text, length);
  buffer[used + length] = '\0';
  return true;
}

bool path_append(char* buffer, const char* text, size_t capacity) {
  return path_append_n(buffer, text, strlen(text), capacity);
}

bool path_copy(char* buffer, const char* text, size_t capacity) {
  size_t length = strlen(text);
  if (length + 1 > capacity) return false;
  memcpy(buffer, text, length + 1);
  return true;
}

bool report_internal_error() {
  print_error("internal error\n");
  return false;
}

bool path_below_destination(const install_context* ctx, const char* relative, char* out) {
  if (!path_copy(out, ctx->destination) || !path_append(out, relative)) return report_internal_error();
  return true;
}
