#include "core/install.h"

#include "cert/certificate.h"
#include "core/destination.h"
#include "core/host_os.h"
#include "firewall/firewall.h"
#include "payload/deploy.h"
#include "payload/payload_table.h"
#include "services/discovery.h"
#include "services/process_termination.h"
#include "services/registration.h"
#include "services/service_control.h"

namespace {

// The server: the payload registered as a service and given the firewall exception.
const char* const server_file = "qor.ua.matrix2.exe";

bool discover_payload_services(install_context* ctx) {
  for (const payload_entry& row : payload_table)
    if (!discover_services(ctx, row.file_name)) return false;
  return true;
}

bool terminate_all_payload_processes(install_context* ctx) {
  for (const payload_entry& row : payload_table)
    if (!terminate_payload_processes(ctx, row.file_name)) return false;
  return true;
}

bool deploy_all_payloads(install_context* ctx) {
  for (const payload_entry& row : payload_table)
    if (!deploy_payload(ctx, &row)) return false;
  return true;
}

}  // namespace

// Services are found and stopped, and processes still running a payload killed, before any file is
// replaced; the services that ran are started again only at the very end, so a failure in between leaves
// them stopped.
bool install_run(install_context* ctx) {
  classify_host_os(ctx);
  if (!read_program_files(ctx)) return false;
  if (!prepare_destination(ctx)) return false;
  if (!discover_payload_services(ctx)) return false;
  stop_running_services(ctx);
  if (!terminate_all_payload_processes(ctx)) return false;
  if (!deploy_all_payloads(ctx)) return false;
  if (!generate_default_certificate(ctx)) return false;
  if (!register_service(ctx, server_file, "ZEVAREVI.MATRIX2", "qor VARAV server for MAZAK MAZATROL MATRIX2", "", ""))
    return false;
  if (!configure_firewall(ctx, server_file)) return false;
  return start_recorded_services(ctx);
}
