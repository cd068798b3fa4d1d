// The service database, the process table and the local heap of the simulated Windows: the records that
// machine_state keeps for them. Only the fake backend includes this; tests use fake.h.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/fake/fake.h"

namespace fake {

// One service, with the script that moves its state over virtual time.
struct service_record {
  std::string name;
  std::string display_name;
  std::string binary_path;
  std::string description;
  std::string account;  // empty: the local system account
  uint32_t type;
  uint32_t start_type;
  uint32_t error_control;
  uint32_t state;
  uint32_t check_point;
  uint32_t wait_hint;
  uint32_t transition_started;  // tick of the stop or start request that made the state pending
  uint32_t stop_wait_hint;
  uint32_t stops_after;
  uint32_t start_wait_hint;
  uint32_t settles_after;
  uint32_t settled_state;
  uint32_t check_point_every;
  std::map<service_call, uint32_t> faults;
};

// What a service manager handle or a service handle stands for.
struct service_handle_info {
  std::string service_name;  // empty for a manager handle
  uint32_t access;
};

struct process_record {
  uint32_t id;
  std::string image_path;
  std::map<process_fault, uint32_t> faults;
};

struct process_handle_info {
  uint32_t id;
  uint32_t access;
};

}  // namespace fake
