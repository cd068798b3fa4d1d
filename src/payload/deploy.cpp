#include "payload/deploy.h"

#include "core/console.h"
#include "core/destination.h"
#include "core/path.h"
#include "payload/extract.h"
#include "platform/clock.h"

namespace {

constexpr int retry_limit = 3;
constexpr int retry_wait_seconds = 5;

// A dot a second shows the user that the installer is waiting, not hanging.
void wait_before_retry() {
  print_info("\n  retry in %d sec", retry_wait_seconds);
  for (int second = 0; second < retry_wait_seconds; ++second) {
    plat::sleep(1000);
    print_info(".");
  }
}

// A file held open by another process (a service still shutting down, a tool a user just closed) is
// usually let go within seconds, so only that failure is tried again, and a bounded number of times: at
// most four attempts and 15 seconds of waiting. Every other failure will not go away by waiting.
uint32_t extract_with_retries(uint16_t resource_id, const char* path) {
  uint32_t result = extract_payload(resource_id, path);
  for (int retries = 0; result == plat::error_sharing_violation && retries < retry_limit; ++retries) {
    wait_before_retry();
    result = extract_payload(resource_id, path);
  }
  return result;
}

}  // namespace

bool deploy_payload(install_context* ctx, const payload_entry* entry) {
  print_info("Copying \"%s\"...", entry->file_name);
  if (!ensure_parent_folders(ctx, entry->file_name)) return false;
  char path[plat::max_path];
  if (!path_below_destination(ctx, entry->file_name, path)) return false;
  uint32_t result = extract_with_retries(entry->resource_id, path);
  if (result != plat::error_success) {
    print_error(" failed: 0x%08lx\n", code_arg(result));
    return false;
  }
  print_info(" ok\n");
  return true;
}
