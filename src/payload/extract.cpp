#include "payload/extract.h"

#include <cstdlib>

#define ZLIB_CONST  // the stream is read in place from the module's read-only resource
#include <zlib.h>

#include "payload/payload_table.h"
#include "platform/files.h"
#include "platform/resources.h"

namespace {

// A payload's zlib stream where it lies in the module: never copied.
struct payload_stream {
  const unsigned char* bytes;
  uint32_t length;
};

uint32_t find_stream(uint16_t resource_id, payload_stream* stream) {
  plat::handle module = plat::get_module_handle();
  plat::handle resource = plat::find_resource(module, resource_id, payload_resource_type);
  if (!resource) return plat::get_last_error();
  plat::handle data = plat::load_resource(module, resource);
  if (!data) return plat::get_last_error();
  stream->length = plat::sizeof_resource(module, resource);
  stream->bytes = static_cast<const unsigned char*>(plat::lock_resource(data));
  return plat::error_success;
}

// One write per chunk. A disk that fills up in the middle of a write may take part of it and still report
// success (Wine passes a short write() on as success); the rest is then written again, so that the failure
// of that next write names the reason instead of a cut-off file counting as complete. A write that takes
// nothing at all without failing is given up as a write fault. The one write of an empty payload's zero
// bytes is still made.
uint32_t write_chunk(plat::handle file, const unsigned char* chunk, uint32_t length) {
  for (;;) {
    uint32_t written = 0;
    if (!plat::write_file(file, chunk, length, &written)) return plat::get_last_error();
    if (written >= length) return plat::error_success;
    if (written == 0) return plat::error_write_fault;
    chunk += written;
    length -= written;
  }
}

// The chunk goes to the file only when it is full or the stream has ended, so data inflated before an
// error in a partly filled chunk never reaches the file. The finish flush is never used: it would turn a
// full chunk into an error instead of a request for more room.
uint32_t inflate_into_file(z_stream* inflater, plat::handle file, unsigned char* chunk) {
  for (;;) {
    int status = inflate(inflater, Z_NO_FLUSH);
    if (status == Z_STREAM_END || inflater->avail_out == 0) {
      if (uint32_t error = write_chunk(file, chunk, payload_chunk_size - inflater->avail_out)) return error;
      inflater->next_out = chunk;
      inflater->avail_out = payload_chunk_size;
      if (status == Z_STREAM_END) return plat::error_success;
    }
    if (status != Z_OK) return plat::error_file_corrupt;  // a corrupt stream or a wrong Adler-32
    if (inflater->avail_in == 0) return plat::error_file_corrupt;  // the input ended inside the stream
  }
}

uint32_t inflate_stream(const payload_stream& stream, plat::handle file, unsigned char* chunk) {
  z_stream inflater{};  // cleared: null zalloc/zfree pick zlib's default allocator
  inflater.next_in = stream.bytes;
  inflater.avail_in = stream.length;
  inflater.next_out = chunk;
  inflater.avail_out = payload_chunk_size;
  if (inflateInit(&inflater) != Z_OK) return plat::error_file_corrupt;
  uint32_t result = stream.length == 0 ? plat::error_file_corrupt : inflate_into_file(&inflater, file, chunk);
  inflateEnd(&inflater);
  return result;
}

}  // namespace

// The file is created (or truncated) before anything is inflated, so every attempt starts from an empty
// file, and a failure leaves on disk only what was written in full chunks (and, on a disk that filled up
// during a write, the part of the chunk it took).
uint32_t extract_payload(uint16_t resource_id, const char* target_path) {
  payload_stream stream{};
  if (uint32_t error = find_stream(resource_id, &stream)) return error;
  plat::handle file = plat::create_file(target_path, plat::generic_write, 0, plat::create_always,
                                        plat::file_attribute_normal);
  if (file == plat::invalid_handle_value) return plat::get_last_error();
  auto* chunk = static_cast<unsigned char*>(malloc(payload_chunk_size));
  uint32_t result = chunk ? inflate_stream(stream, file, chunk) : plat::error_not_enough_memory;
  free(chunk);
  plat::close_handle(file);
  return result;
}
