#include <cstdio>

#include "platform/text_file.h"

namespace plat {

stream stream_open(const char* path, const char* mode) { return fopen(path, mode); }

size_t stream_write(const void* data, size_t size, size_t count, stream file) {
  return fwrite(data, size, count, static_cast<FILE*>(file));
}

int stream_flush(stream file) { return fflush(static_cast<FILE*>(file)); }

int stream_close(stream file) { return fclose(static_cast<FILE*>(file)); }

}  // namespace plat
