// Payload extraction against arbitrary resource bytes: the bytes become payload 101 of a fresh simulated
// machine, the stage inflates it into a file that already holds an older version, and the outcome is
// checked against zlib's own reading of the same bytes.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <zlib.h>

#include "payload/extract.h"
#include "platform/fake/fake.h"

namespace {

const char* const target_path = "C:\\Program Files\\t.exe";
constexpr uint16_t payload_id = 101;
constexpr uint16_t payload_type = 1001;
constexpr uint32_t error_file_corrupt = 1392;

// What zlib makes of the bytes by itself, held against the file piece by piece rather than kept (a stream
// of 4 KiB can inflate to megabytes): how much it inflated before it stopped, whether every byte of that
// output the file also holds is the same, and whether it reached the end of the stream with a matching
// Adler-32. Bytes after the end of the stream play no part.
struct reference_reading {
  size_t inflated;
  bool agrees;
  bool complete;
};

void require(bool holds, const char* broken_property) {
  if (holds) return;
  fprintf(stderr, "\nfuzz_extract: %s\n", broken_property);
  abort();
}

void hold_against_file(reference_reading* reading, const std::string& file, const unsigned char* piece,
                       size_t length) {
  size_t at = reading->inflated;
  size_t overlap = at >= file.size() ? 0 : std::min(length, file.size() - at);
  if (overlap && memcmp(file.data() + at, piece, overlap) != 0) reading->agrees = false;
  reading->inflated += length;
}

// With Z_FINISH, zlib answers Z_BUF_ERROR with a full buffer when it only needs more room; with room left
// over it means the input ended inside the stream.
reference_reading inflate_reference(const uint8_t* data, size_t size, const std::string& file) {
  reference_reading reading{0, true, false};
  z_stream inflater{};
  require(inflateInit(&inflater) == Z_OK, "zlib's inflater does not start");
  inflater.next_in = const_cast<Bytef*>(data);  // this translation unit's zlib takes a non-const pointer
  inflater.avail_in = static_cast<uInt>(size);
  static unsigned char room[65536];
  for (;;) {
    inflater.next_out = room;
    inflater.avail_out = sizeof room;
    int status = inflate(&inflater, Z_FINISH);
    hold_against_file(&reading, file, room, sizeof room - inflater.avail_out);
    if (status == Z_STREAM_END) reading.complete = true;
    if (status != Z_BUF_ERROR || inflater.avail_out != 0) break;
  }
  inflateEnd(&inflater);
  return reading;
}

// The file is written in whole chunks, one call each, and the rest in one call once the stream has ended;
// a failed extraction never writes a partly filled chunk.
void check_write_calls(bool complete, size_t file_size) {
  std::vector<uint32_t> calls = fake::write_calls(target_path);
  size_t written = 0;
  for (size_t i = 0; i < calls.size(); i++) {
    bool last = i + 1 == calls.size();
    if (!complete || !last) require(calls[i] == payload_chunk_size, "a write that is not one whole chunk");
    written += calls[i];
  }
  require(written == file_size, "the writes do not add up to the file");
  if (complete) require(!calls.empty(), "a complete extraction that never wrote the file");
}

void check_success(const reference_reading& reference, const std::string& file) {
  require(reference.agrees && file.size() == reference.inflated, "the file differs from what zlib inflates");
  check_write_calls(true, file.size());
}

void check_failure(uint32_t result, const reference_reading& reference, const std::string& file) {
  require(result == error_file_corrupt, "an inflation failure that is not 1392");
  require(file.size() % payload_chunk_size == 0, "a failure left a partly filled chunk in the file");
  require(reference.agrees && file.size() <= reference.inflated, "a failure left bytes zlib does not inflate");
  check_write_calls(false, file.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fake::reset();
  fake::add_resource(payload_type, payload_id, std::string(reinterpret_cast<const char*>(data), size));
  fake::add_file(target_path, "the bytes of the version installed before");
  uint32_t result = extract_payload(payload_id, target_path);

  require(fake::open_handles() == 0, "a handle is left open");
  require(fake::file_exists(target_path), "the target file is gone");
  std::string file = fake::file_data(target_path);
  reference_reading reference = inflate_reference(data, size, file);
  if (reference.complete) {
    require(result == 0, "zlib inflates the stream but the extraction failed");
    check_success(reference, file);
  } else {
    require(result != 0, "the extraction succeeded on a stream zlib rejects");
    check_failure(result, reference, file);
  }
  return 0;
}
