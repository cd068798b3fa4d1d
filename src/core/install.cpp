#include "core/install.h"

#include "core/destination.h"
#include "core/host_os.h"
#include "services/discovery.h"
#include "services/process_termination.h"
#include "services/registration.h"
#include "services/service_control.h"

namespace {

// ---- services and processes ----
// The payload files in table order (resources 101, 102, 103), until the payload table takes their place.
const char* const service_payload_files[] = {"qor.ua.matrix2.ctrl.exe", "qor.ua.matrix2.dev.exe",
                                             "qor.ua.matrix2.exe"};

bool discover_payload_services(install_context* ctx) {
  for (const char* file_name : service_payload_files)
    if (!discover_services(ctx, file_name)) return false;
  return true;
}

bool terminate_all_payload_processes(install_context* ctx) {
  for (const char* file_name : service_payload_files)
    if (!terminate_payload_processes(ctx, file_name)) return false;
  return true;
}

}  // namespace

bool install_run(install_context* ctx) {
  classify_host_os(ctx);
  if (!read_program_files(ctx)) return false;
  if (!prepare_destination(ctx)) return false;
  if (!discover_payload_services(ctx)) return false;
  stop_running_services(ctx);
  if (!terminate_all_payload_processes(ctx)) return false;

  if (!register_service(ctx, "qor.ua.matrix2.exe", "ZEVAREVI.MATRIX2", "qor VARAV server for MAZAK MAZATROL MATRIX2",
                        "", ""))
    return false;

  return start_recorded_services(ctx);
}
