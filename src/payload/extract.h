// Inflating one payload resource into its target file.
#pragma once

#include <cstdint>

// The output chunk: every full chunk is written with one call, the rest once the stream has ended.
constexpr uint32_t payload_chunk_size = 0x80000;

// Creates (or truncates) the file at target_path and writes the inflated resource into it. Returns 0 when
// the file is complete; 32 when another process holds the file open; 1392 for every inflation failure
// (empty resource, corrupt or truncated stream, wrong checksum); otherwise the last error of the resource
// lookup, the file creation or the write that failed. Bytes after the end of the stream are ignored. Prints
// nothing. A failed extraction leaves the file empty or holding the full chunks written so far.
uint32_t extract_payload(uint16_t resource_id, const char* target_path);
