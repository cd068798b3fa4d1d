// The console and the process's standard output stream.
#pragma once

#include "platform/types.h"

namespace plat {

// GetStdHandle(STD_OUTPUT_HANDLE).
handle get_std_output_handle();

// GetConsoleScreenBufferInfo, of which only wAttributes is kept. False when the handle is no console
// (standard output redirected to a file or a pipe).
bool get_console_text_attribute(handle console, uint16_t* attributes);

// SetConsoleTextAttribute.
bool set_console_text_attribute(handle console, uint16_t attributes);

// fwrite to the C runtime's stdout stream, and fflush of that stream.
void stdout_write(const char* text, size_t length);
void stdout_flush();

}  // namespace plat
