#include "services/discovery.h"

#include <cstdlib>
#include <cstring>

#include "core/console.h"
#include "platform/command_line.h"
#include "platform/services.h"
#include "services/command_line.h"
#include "services/payload_file.h"
#include "services/same_file.h"
#include "services/service_list.h"

namespace {

constexpr uint32_t enum_buffer_size = 16384;

// Whether the service's command line starts with the payload file. Only the first word names the
// executable; arguments play no part.
bool command_line_runs(const char* command_line, const char* payload_path) {
  uint32_t count = 0;
  char** words = split_command_line(command_line, &count);
  if (!words) return false;
  bool match = count > 0 && same_file(payload_path, words[0]);
  plat::local_free(words);
  return match;
}

// Reads the service's configuration and tells whether it runs the payload. A service that cannot be opened
// or read is not ours to judge and counts as not bound.
bool service_runs(plat::handle manager, const char* service_name, const char* payload_path) {
  plat::handle service = plat::open_service(manager, service_name, plat::service_query_config);
  if (!service) return false;
  bool match = false;
  uint32_t needed = 0;
  if (!plat::query_service_config(service, nullptr, 0, &needed) &&
      plat::get_last_error() == plat::error_insufficient_buffer) {
    void* config = malloc(needed);
    if (config && plat::query_service_config(service, config, needed, &needed)) {
      const char* binary_path = static_cast<plat::service_config*>(config)->binary_path_name;
      match = binary_path && command_line_runs(binary_path, payload_path);
    }
    free(config);
  }
  plat::close_service_handle(service);
  return match;
}

// The manager packs the names into the same buffer as the entries. A name that is not there, terminated, was
// not written by this batch.
bool name_in_buffer(const char* name, const void* buffer) {
  // Compared as addresses: a stray pointer is not an element of the buffer.
  uintptr_t at = reinterpret_cast<uintptr_t>(name), start = reinterpret_cast<uintptr_t>(buffer);
  if (at < start || at >= start + enum_buffer_size) return false;
  return memchr(name, 0, start + enum_buffer_size - at) != nullptr;
}

// Only entries the manager wrote are read. Wine answers a batch it cannot fill with 234 and a count, but
// writes nothing: the buffer is cleared before each batch, so those entries have no names and are passed
// over, and a count beyond what the buffer can hold is cut to it.
void append_bound(plat::handle manager, const void* buffer, uint32_t count, const char* payload_path,
                  const char* file_name, service_list* list) {
  const auto* entries = static_cast<const plat::enum_service_status*>(buffer);
  uint32_t capacity = enum_buffer_size / sizeof(plat::enum_service_status);
  for (uint32_t i = 0; i < count && i < capacity; i++) {
    if (!name_in_buffer(entries[i].service_name, buffer)) continue;
    if (service_runs(manager, entries[i].service_name, payload_path))
      service_list_append(list, file_name, entries[i].service_name, entries[i].status.current_state);
  }
}

// One batch after another with the same buffer and resume handle. A manager that asks for more but does
// not move the resume handle (Wine does this) would hand back the same batch for ever: that ends the
// enumeration with its 234.
uint32_t enumerate_batches(plat::handle manager, void* buffer, const char* payload_path, const char* file_name,
                           service_list* list) {
  uint32_t needed = 0, count = 0, resume = 0;
  for (;;) {
    uint32_t resume_before = resume;
    memset(buffer, 0, enum_buffer_size);
    uint32_t result = plat::enum_services_status(manager, plat::service_win32, plat::service_state_all, buffer,
                                                 enum_buffer_size, &needed, &count, &resume)
                          ? plat::error_success
                          : plat::get_last_error();
    append_bound(manager, buffer, count, payload_path, file_name, list);
    if (result != plat::error_more_data || resume == resume_before) return result;
  }
}

void print_entries_of(const service_list* list, const char* file_name) {
  for (uint32_t i = 0; i < list->count; i++)
    if (strcmp(list->items[i].file_name, file_name) == 0)
      print_info("  %s -> %s\n", list->items[i].service_name, service_state_text(list->items[i].state));
}

}  // namespace

const char* service_state_text(uint32_t state) {
  static const char* const texts[] = {"stopped", "start pending", "stop pending", "running",
                                      "continue pending", "pause pending", "paused"};
  return state >= 1 && state <= 7 ? texts[state - 1] : "unknown";
}

uint32_t enumerate_bound_services(const char* payload_path, const char* file_name, service_list* list) {
  plat::handle manager = plat::open_sc_manager(plat::sc_manager_enumerate_service);
  if (!manager) return plat::get_last_error();
  void* buffer = malloc(enum_buffer_size);
  uint32_t result = buffer ? enumerate_batches(manager, buffer, payload_path, file_name, list)
                           : 8;  // ERROR_NOT_ENOUGH_MEMORY
  free(buffer);
  plat::close_service_handle(manager);
  return result;
}

bool discover_services(install_context* ctx, const char* file_name) {
  char payload_path[plat::max_path];
  payload_file_check check = check_payload_file(ctx, file_name, payload_path);
  if (check != payload_file_check::present) return check == payload_file_check::skip;
  print_info("Discovering services for \"%s\"...\n", file_name);
  uint32_t code = enumerate_bound_services(payload_path, file_name, &ctx->services);
  if (code != 0) {
    print_warning("  failed to enum services: 0x%08lx. Will attempt to continue...\n", code_arg(code));
    return true;
  }
  print_entries_of(&ctx->services, file_name);
  return true;
}
