#include "cert/pem_file.h"

#include <cstring>

#include "platform/text_file.h"

int write_pem_file(const char* path, const unsigned char* text) {
  size_t length = strlen(reinterpret_cast<const char*>(text));
  plat::stream file = plat::stream_open(path, "w");
  if (!file) return -1;
  size_t accepted = plat::stream_write(text, 1, length, file);
  // The runtime buffers what fwrite accepts, so a full disk shows only when the buffer is written out. That
  // is flushed on its own first: Wine's fclose reports success even when its own flush failed.
  int flushed = plat::stream_flush(file);
  int closed = plat::stream_close(file);
  return accepted == length && flushed == 0 && closed == 0 ? 0 : -1;
}
