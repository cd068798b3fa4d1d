// The state of the simulated Windows, shared by the fake implementations of every platform area. Only the
// fake backend includes this; tests use fake.h.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/fake/fake.h"
#include "platform/fake/service_database.h"
#include "platform/version.h"

namespace fake {

struct fs_node {
  bool is_folder;
  std::string spelling;  // the path as it was created
  std::string data;
  uint64_t index;  // the file index on its volume: one per node, for identity
};

// A file opened through create_file.
struct open_file {
  std::string key;  // the node's normalised path
  uint32_t access;
  uint32_t share_mode;
};

enum class handle_kind { none, file, service_manager, service, process, local_memory };

// A stream opened through stream_open: a file handle plus the runtime's translation mode.
// A file that can hold only `limit` bytes. A write past it fails with `code` and stores nothing; or, with
// `short_write`, it stores what still fits and succeeds with the shorter count, and only a write into the
// full file fails.
struct write_fault {
  uint64_t limit;
  uint32_t code;
  bool short_write;
};

struct open_stream {
  std::string key;  // the node's normalised path
  bool text;        // "\n" goes to the file as "\r\n"
  bool flush_fails; // the runtime keeps the text in its buffer and cannot write it out at fclose
};

struct machine_state {
  uint32_t last_error;

  bool stdout_is_console;
  bool console_info_fails;
  uint16_t console_attributes;
  int console_attribute_changes;
  std::string stdout_buffer;  // written, not flushed yet
  std::vector<console_write> console;

  std::map<std::string, std::string> env;  // by upper-case name

  std::map<std::string, fs_node> nodes;  // by normalised path
  std::map<std::string, std::string> aliases;  // other path forms (short names): normalised alias -> path
  uint64_t next_file_index;
  std::map<uintptr_t, open_file> open_files;
  std::map<std::string, uint32_t> create_directory_faults;
  std::vector<std::string> created_directory_calls;

  std::map<std::string, plat::fixed_file_info> versions;  // by lower-case file name
  version_fault version_failure;

  uint32_t tick;
  std::vector<uint32_t> sleeps;
  plat::system_time time;

  std::map<uintptr_t, handle_kind> handles;
  uintptr_t next_handle;

  // ---- resources and scripted file faults (payload extraction) ----
  std::map<uint32_t, std::string> resources;  // by type << 16 | id: the resource's bytes
  std::map<uint32_t, uint32_t> load_resource_faults;  // by type << 16 | id: LoadResource's code
  std::map<std::string, std::pair<uint32_t, int>> create_file_faults;  // path -> (code, calls left; < 0 ever)
  std::map<std::string, write_fault> write_faults;  // by normalised path
  std::map<std::string, int> create_file_calls;  // by normalised path
  std::map<std::string, std::vector<uint32_t>> write_calls;  // by normalised path: each call's length

  // ---- services, processes, local heap ----
  std::vector<service_record> services;  // in enumeration order
  std::map<service_call, uint32_t> manager_faults;  // open_manager, enum_services, create
  bool enum_services_like_wine;
  int enum_services_calls;
  int enum_services_fail_after = -1;  // see fail_enum_services_after; -1: never
  uint32_t enum_services_fail_code;
  std::map<uintptr_t, service_handle_info> service_handles;
  std::vector<std::string> service_calls;
  std::vector<process_record> processes;  // in enumeration order
  bool enum_processes_fails;
  uint32_t enum_processes_fault;
  std::vector<uint32_t> enum_processes_sizes;
  std::map<uintptr_t, process_handle_info> process_handles;
  int local_alloc_failure_countdown;  // 0: none; n: the nth LocalAlloc from now fails

  // ---- C runtime file streams (default certificate) ----
  std::map<uintptr_t, open_stream> streams;  // by the file handle a stream writes through
  std::map<std::string, uint32_t> stream_open_faults;  // by normalised path: fopen fails with this code
  std::map<std::string, size_t> stream_size_limits;  // by normalised path: bytes the file can hold
  std::set<std::string> stream_flush_faults;  // by normalised path: see fail_stream_flush
};

machine_state& machine();

// ASCII letter case folding, for names Windows compares without regard to case.
std::string lower(std::string text);
std::string upper(std::string text);

// Sets the last error and passes a result through: `return fail(false, 5);`.
template <typename T>
T fail(T result, uint32_t code) {
  machine().last_error = code;
  return result;
}

// The key under which a path is stored: backslashes, lower case, no trailing backslash, drive C: for a
// path that starts at the root.
std::string normalise_path(const std::string& path);
std::string parent_of(const std::string& normalised);
// normalise_path, with every other path form (a short name) resolved to the path it stands for.
std::string resolve_path(const std::string& path);
// The node for a path (of any form), or null.
fs_node* find_node(const std::string& path);

// A new node at a resolved path, with an index of its own.
fs_node& make_node(const std::string& key, bool is_folder, const std::string& spelling);
uint32_t volume_serial_of(const std::string& key);

void* open_handle(handle_kind kind);
handle_kind kind_of(void* handle);
bool close_handle(void* handle, handle_kind kind);

// ---- resources and scripted file faults (payload extraction) ----

// The module's resources on a fresh machine: the three payload streams.
void add_default_resources();
// CreateFileA's scripted fault for a resolved path, counting the call: 0 when the call may go on.
uint32_t take_create_file_fault(const std::string& key);
// Records a WriteFile call and gives its scripted fault: the code when `length` more bytes would take the
// file past its limit, else 0.
// Counts a WriteFile call and applies its scripted fault: the code it fails with (0: none), and in *take how
// many of its bytes the file takes.
uint32_t record_write(const std::string& key, uint64_t size_now, uint32_t length, uint32_t* take);

// ---- COM and the Windows Firewall (firewall.cpp keeps its own state) ------------------------------------

void reset_firewall();

}  // namespace fake
