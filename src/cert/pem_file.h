// Both files of the default certificate are PEM text written through a text-mode stream: the library
// ends every line with "\n" and the Windows runtime stores it as "\r\n", which is what the server expects.
#pragma once

#include <cstddef>

// A buffer for one PEM text. Both texts of a 2048-bit key are well below this.
constexpr size_t pem_buffer_size = 4096;

// Writes the zero-terminated text to the file (created or truncated) and closes it: 0 when every byte was
// accepted and written out, -1 when the file could not be opened, took fewer bytes or could not be closed.
int write_pem_file(const char* path, const unsigned char* text);
