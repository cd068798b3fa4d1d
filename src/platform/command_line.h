// Code-page conversion, command-line splitting and the local heap their results live in.
#pragma once

#include "platform/types.h"

namespace plat {

// A UTF-16 code unit: WCHAR.
using wide_char = char16_t;

constexpr uint32_t cp_acp = 0;
constexpr uint32_t mb_err_invalid_chars = 0x00000008;
constexpr uint32_t lmem_fixed = 0x0000;
constexpr uint32_t error_no_unicode_translation = 1113;

// MultiByteToWideChar: with out_size 0 the number of UTF-16 units needed, else the number stored; 0 on
// failure. A length of -1 takes the terminator along.
int multi_byte_to_wide_char(uint32_t code_page, uint32_t flags, const char* text, int length, wide_char* out,
                            int out_size);

// WideCharToMultiByte without a default character: the same counting rules.
int wide_char_to_multi_byte(uint32_t code_page, uint32_t flags, const wide_char* text, int length, char* out,
                            int out_size);

// CommandLineToArgvW: one local heap block that holds the word pointers and the words, or null.
wide_char** command_line_to_argv(const wide_char* command_line, int* count);

// LocalAlloc and LocalFree (which gives null on success).
void* local_alloc(uint32_t flags, size_t size);
void* local_free(void* block);

}  // namespace plat
