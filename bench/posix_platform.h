// The benchmark's stand-in for the module's resource and its write counter.
#pragma once

#include <cstdint>

struct bench_resource {
  const unsigned char* bytes;
  uint32_t length;
};

// The stream every resource lookup finds from now on.
void bench_set_resource(bench_resource resource);
uint64_t bench_write_calls();
void bench_reset_write_calls();
// A function called at every write, for sampling the process's memory while an extraction runs.
void bench_on_write(void (*hook)());
