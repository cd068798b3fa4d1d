// The path rule: every path is an 8-bit string in a buffer of max_path (260) bytes, terminator included. A
// copy or append that would not fit writes nothing and fails; the stage then prints "internal error\n".
#pragma once

#include <cstddef>

#include "core/context.h"

bool path_copy(char* buffer, const char* text, size_t capacity = plat::max_path);
bool path_append(char* buffer, const char* text, size_t capacity = plat::max_path);
bool path_append_n(char* buffer, const char* text, size_t length, size_t capacity = plat::max_path);

// out (max_path bytes) = the destination followed by a relative name. On overflow prints "internal
// error\n" and returns false.
bool path_below_destination(const install_context* ctx, const char* relative, char* out);

// Prints "internal error\n" at error level and returns false, for the stages' overflow paths.
bool report_internal_error();
