#pragma once

#include <cstdint>

// Splits an 8-bit command line (ANSI code page) by the system's own rules into one local heap block: the
// word pointers first, then the words packed one after the other. Null when any step fails. The caller
// frees the block with one plat::local_free.
char** split_command_line(const char* command_line, uint32_t* word_count);
