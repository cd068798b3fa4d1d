// The one record of an installation run. The entry point owns it; every stage borrows it.
#pragma once

#include <cstdint>

#include "platform/types.h"

// Service states as the service manager reports them.
constexpr uint32_t service_state_stopped = 1;
constexpr uint32_t service_state_running = 4;

// One service found bound to one payload file.
struct service_entry {
  char* file_name;     // the payload's file name, as the stage passed it
  char* service_name;  // the service's key name, as the manager reported it
  uint32_t state;      // the state seen at discovery; running for the service registered by this run
};

// The services bound to payload files, in the order found. Entries are only ever appended.
struct service_list {
  service_entry* items;  // null while empty
  uint32_t count;
};

// The flavour of C runtime the host's Windows release calls for; shown on the "os" line only.
enum runtime_flavour : uint32_t {
  flavour_nt4 = 1,
  flavour_w2k = 3,
  flavour_xpsp3 = 5,
  flavour_current = 7,
};

struct install_context {
  uint32_t os_major;
  uint32_t os_minor;
  uint32_t os_build;
  uint32_t os_revision;
  uint32_t runtime_flavour;
  char program_files[plat::max_path];  // 8-bit, ANSI code page
  char destination[plat::max_path];    // ends with a backslash once set
  service_list services;
};
