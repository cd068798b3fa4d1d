#include "core/install.h"

#include "core/destination.h"
#include "core/host_os.h"
#include "firewall/firewall.h"
#include "payload/deploy.h"

bool install_run(install_context* ctx) {
  classify_host_os(ctx);
  if (!read_program_files(ctx)) return false;
  if (!prepare_destination(ctx)) return false;
  for (const payload_entry& row : payload_table)
    if (!deploy_payload(ctx, &row)) return false;
  if (!configure_firewall(ctx, "qor.ua.matrix2.exe")) return false;
  return true;
}
