#include <windows.h>
#include <shellapi.h>

#include "platform/command_line.h"

namespace plat {

static_assert(sizeof(wide_char) == sizeof(WCHAR));

int multi_byte_to_wide_char(uint32_t code_page, uint32_t flags, const char* text, int length, wide_char* out,
                            int out_size) {
  return MultiByteToWideChar(code_page, flags, text, length, reinterpret_cast<WCHAR*>(out), out_size);
}

int wide_char_to_multi_byte(uint32_t code_page, uint32_t flags, const wide_char* text, int length, char* out,
                            int out_size) {
  return WideCharToMultiByte(code_page, flags, reinterpret_cast<const WCHAR*>(text), length, out, out_size,
                             nullptr, nullptr);
}

wide_char** command_line_to_argv(const wide_char* command_line, int* count) {
  return reinterpret_cast<wide_char**>(CommandLineToArgvW(reinterpret_cast<const WCHAR*>(command_line), count));
}

void* local_alloc(uint32_t flags, size_t size) { return LocalAlloc(flags, size); }

void* local_free(void* block) { return LocalFree(block); }

}  // namespace plat
