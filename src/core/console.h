// Everything the installer says goes to standard output through these three, which differ only in colour.
// Messages carry their own blanks and line breaks; nothing is added.
#pragma once

#include <cstdint>

#if defined(__GNUC__)
#define QOR_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define QOR_PRINTF(fmt, args)
#endif

// The console attribute words of the two coloured levels; they replace the background too.
constexpr uint16_t console_warning_attributes = 0x0E;  // bright yellow on black
constexpr uint16_t console_error_attributes = 0x0C;    // bright red on black

void print_info(const char* format, ...) QOR_PRINTF(1, 2);
void print_warning(const char* format, ...) QOR_PRINTF(1, 2);
void print_error(const char* format, ...) QOR_PRINTF(1, 2);

// Windows error codes and HRESULTs are printed with "0x%08lx"; long is 64 bits on the host.
inline unsigned long code_arg(uint32_t code) { return code; }
