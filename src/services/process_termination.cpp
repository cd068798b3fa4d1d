#include "services/process_termination.h"

#include <cstdlib>

#include "core/console.h"
#include "platform/files.h"
#include "platform/processes.h"
#include "services/payload_file.h"
#include "services/same_file.h"

namespace {

constexpr uint32_t first_id_buffer_size = 1024;

// The identifiers of all processes. EnumProcesses cannot say how many there are, so a buffer it fills to
// the last byte may have been too small: double it and ask again. 0, or the code of a listing that failed.
uint32_t list_processes(uint32_t** ids, uint32_t* id_count) {
  *ids = nullptr;
  *id_count = 0;
  for (uint32_t size = first_id_buffer_size;; size *= 2) {
    auto* grown = static_cast<uint32_t*>(realloc(*ids, size));
    if (!grown) break;
    *ids = grown;
    uint32_t filled = 0;
    if (!plat::enum_processes(*ids, size, &filled)) {
      free(*ids);
      *ids = nullptr;
      return plat::get_last_error();
    }
    if (filled < size) {
      *id_count = filled / sizeof(uint32_t);
      return 0;
    }
  }
  return 0;
}

// Whether the process runs the payload. Processes we may not look into (the system's, or ones that ended
// meanwhile) are not ours.
bool runs_payload(uint32_t id, const char* payload_path) {
  plat::handle process =
      plat::open_process(plat::process_query_information | plat::process_vm_read, false, id);
  if (!process) return false;
  char image[plat::max_path];
  uint32_t length = plat::get_module_file_name_ex(process, image, plat::max_path);
  plat::close_handle(process);
  return length != 0 && same_file(payload_path, image);
}

// The identifiers to kill, complete before the first kill.
void collect_kill_list(const uint32_t* ids, uint32_t id_count, const char* payload_path, uint32_t** kill,
                       uint32_t* kill_count) {
  for (uint32_t i = 0; i < id_count; i++) {
    if (!runs_payload(ids[i], payload_path)) continue;
    auto* grown = static_cast<uint32_t*>(realloc(*kill, (*kill_count + 1) * sizeof(uint32_t)));
    if (!grown) continue;
    *kill = grown;
    (*kill)[(*kill_count)++] = ids[i];
  }
}

uint32_t kill_process(uint32_t id) {
  plat::handle process = plat::open_process(plat::process_terminate, false, id);
  if (!process) return plat::get_last_error();
  uint32_t code = plat::terminate_process(process, 0) ? 0 : plat::get_last_error();
  plat::close_handle(process);
  return code;
}

}  // namespace

bool terminate_payload_processes(install_context* ctx, const char* file_name) {
  char payload_path[plat::max_path];
  payload_file_check check = check_payload_file(ctx, file_name, payload_path);
  if (check != payload_file_check::present) return check == payload_file_check::skip;
  print_info("Checking processes for \"%s\"...\n", file_name);
  uint32_t* ids = nullptr;
  uint32_t id_count = 0;
  uint32_t code = list_processes(&ids, &id_count);
  if (code != 0) {
    print_warning("  failed to enum processes: 0x%08lx. Will attempt to continue...\n", code_arg(code));
    return true;
  }
  uint32_t* kill = nullptr;
  uint32_t kill_count = 0;
  collect_kill_list(ids, id_count, payload_path, &kill, &kill_count);
  free(ids);
  for (uint32_t i = 0; i < kill_count; i++) {
    print_info("  will kill process %u... ", kill[i]);
    uint32_t result = kill_process(kill[i]);
    if (result == 0) print_info("ok\n");
    else print_warning("failed: 0x%08lx. Will attempt to continue...\n", code_arg(result));
  }
  free(kill);
  return true;
}
