#include "cert/pem_file.h"

#include <cstring>

#include "platform/text_file.h"

int write_pem_file(const char* path, const unsigned char* text) {
  size_t length = strlen(reinterpret_cast<const char*>(text));
  plat::stream file = plat::stream_open(path, "w");
  if (!file) return -1;
  size_t accepted = plat::stream_write(text, 1, length, file);
  // The runtime buffers what fwrite accepts: a disk that is full shows only when fclose writes it out.
  int closed = plat::stream_close(file);
  return accepted == length && closed == 0 ? 0 : -1;
}
