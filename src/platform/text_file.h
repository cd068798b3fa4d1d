// The C runtime's file streams (fopen, fwrite, fclose). In text mode ("w") the Windows runtime writes every
// "\n" as "\r\n", which is how the certificate stage gets CR LF line ends without spelling them.
#pragma once

#include "platform/types.h"

namespace plat {

// A FILE*.
using stream = void*;

// fopen: null when the file cannot be opened.
stream stream_open(const char* path, const char* mode);

// fwrite: the number of whole elements accepted.
size_t stream_write(const void* data, size_t size, size_t count, stream file);

// fflush: 0 when everything fwrite accepted has reached the file; EOF when it could not be written out.
int stream_flush(stream file);

// fclose: 0 when the stream was flushed and closed.
int stream_close(stream file);

}  // namespace plat
