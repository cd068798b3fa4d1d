// The three executables the installer carries, each stored in its own module as one zlib stream.
#pragma once

#include <cstddef>
#include <cstdint>

// The numeric resource type of the payload streams; none of Windows' predefined types uses it.
constexpr uint16_t payload_resource_type = 1001;

struct payload_entry {
  uint16_t resource_id;   // the numeric name of the payload's resource
  const char* file_name;  // relative to the destination, 8-bit ANSI
};

constexpr size_t payload_count = 3;

// Every stage that works per payload walks these rows in this order; the server comes last.
extern const payload_entry payload_table[payload_count];
